#include "ProfileText.h"

namespace {

std::wstring_view Trimmed(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
    a = Trimmed(a);
    b = Trimmed(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

bool ProfileMayHoldValue(std::wstring_view text, std::wstring_view section, std::wstring_view key) {
    bool inSection = false;
    while (!text.empty()) {
        const size_t end = text.find_first_of(L"\r\n");
        const std::wstring_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
        if (line.starts_with(L'[')) {
            inSection = SameName(line.substr(1, line.find(L']') - 1), section);
            continue;
        }
        const size_t equals = line.find(L'=');
        if (!inSection || equals == std::wstring_view::npos || !SameName(line.substr(0, equals), key)) continue;
        const std::wstring_view value = Trimmed(line.substr(equals + 1));
        if (!value.empty() && value != L"\"\"" && value != L"''") return true;
    }
    return false;
}
