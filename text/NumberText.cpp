#include "NumberText.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Drops the blanks around the number and its sign; true when the sign was a minus.
bool TakeSign(std::wstring_view& text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == L'-';
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) text.remove_prefix(1);
    return negative;
}

}  // namespace

std::optional<std::int16_t> ParseInt16(std::wstring_view text) {
    const bool negative = TakeSign(text);
    if (text.empty()) return std::nullopt;
    long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > 32768) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::optional<double> ParseDecimal(std::wstring_view text) {
    const bool negative = TakeSign(text);
    double value = 0;
    double scale = 1;
    bool seenDigit = false;
    bool seenPoint = false;
    for (wchar_t c : text) {
        if (c == L'.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= L'0' && c <= L'9') {
            seenDigit = true;
            if (seenPoint) {
                scale /= 10;
                value += (c - L'0') * scale;
            } else {
                value = value * 10 + (c - L'0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;
    return negative ? -value : value;
}
