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
    // Windows lets users make UTF-8 the system's code page. It holds every character, but for it
    // WideCharToMultiByte takes no flag but WC_ERR_INVALID_CHARS and no used-default pointer
    // (ERROR_INVALID_FLAGS, ERROR_INVALID_PARAMETER); Wine takes them.
    // Elsewhere WC_NO_BEST_FIT_CHARS: no silent look-alikes ("ā" as "a"); usedDefault reports the rest.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const reportDefault = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, reportDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, bytes.data(), size, nullptr, reportDefault);
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

namespace {
std::optional<std::wstring> ShortPath(const std::wstring& path) {
    std::wstring shortPath(32768, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) return std::nullopt;
    shortPath.resize(length);
    return FitsAnsi(shortPath) ? std::optional(shortPath) : std::nullopt;
}
}  // namespace

std::optional<std::wstring> StorablePath(const std::wstring& path) {
    if (FitsAnsi(path)) return path;
    if (std::optional<std::wstring> shortPath = ShortPath(path)) return shortPath;
    // Only an existing file has a short form: for one not there yet, its folder's and its name.
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos || !FitsAnsi(std::wstring_view(path).substr(separator))) return std::nullopt;
    std::optional<std::wstring> folder = ShortPath(path.substr(0, separator));
    return folder ? std::optional(*folder + path.substr(separator)) : std::nullopt;
}
