#include "ConfigValues.h"

#include <cmath>
#include <optional>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A decimal number with optional sign, fraction and surrounding blanks.
std::optional<double> ParseDecimal(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
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

}  // namespace

int SelectionFromStored(std::wstring_view stored, int itemCount) {
    const std::optional<double> value = ParseDecimal(stored);
    if (!value) return -1;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double index = std::nearbyint(*value - 1);
    if (index < 0 || index >= itemCount) return -1;
    return static_cast<int>(index);
}

std::wstring StoredFromSelection(int index) { return std::to_wstring(index < 0 ? 0 : index + 1); }
