#include "AnsiText.h"

#include <windows.h>

#include <algorithm>

namespace {
// ASCII reads the same in every 8-bit code page of the system: it needs no conversion and
// cannot be lost, and it is nearly all of what the files hold.
template <class Text>
bool IsAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(), [](auto c) { return static_cast<unsigned>(c) < 0x80; });
}
}  // namespace

std::optional<std::string> ToAnsi(std::wstring_view text) {
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    const int length = static_cast<int>(text.size());
    // WC_NO_BEST_FIT_CHARS: no silent look-alikes ("ā" as "a"); usedDefault reports the rest.
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                         nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size,
                        nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    // Some code pages map a character without reporting the default; a round trip catches it.
    if (FromAnsi(bytes) != text) return std::nullopt;
    return bytes;
}

std::wstring FromAnsi(std::string_view bytes) {
    if (IsAscii(bytes)) return std::wstring(bytes.begin(), bytes.end());
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
}

bool FitsAnsi(std::wstring_view text) { return ToAnsi(text).has_value(); }
