#include "ConfigValues.h"

#include <cmath>

#include "../text/NumberText.h"

int SelectionFromStored(std::wstring_view stored, int itemCount) {
    const std::optional<double> value = ParseDecimal(stored);
    if (!value) return -1;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double index = std::nearbyint(*value - 1);
    if (index < 0 || index >= itemCount) return -1;
    return static_cast<int>(index);
}

std::wstring StoredFromSelection(int index) { return std::to_wstring(index < 0 ? 0 : index + 1); }
