// The number conversions, Vartune's stored-value rules and the look into an INI file's text on any
// text: a whole number read is read the same from its own decimal form, a decimal is a number; a
// selection is in range and survives being stored and read again; a value under its section is
// found after whatever comes before it.
#include <cmath>
#include <cstdlib>
#include <string>

#include "FuzzText.h"
#include "configurator/ConfigValues.h"
#include "text/NumberText.h"
#include "text/ProfileText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = FuzzText(data, size);
    if (const auto number = ParseInt16(text); number && ParseInt16(std::to_wstring(*number)) != number) std::abort();
    if (const auto number = ParseDecimal(text); number && std::isnan(*number)) std::abort();
    const int itemCount = size ? data[0] % 8 : 0;
    const int selection = SelectionFromStored(text, itemCount);
    if (selection < -1 || selection >= itemCount) std::abort();
    if (selection >= 0 && SelectionFromStored(StoredFromSelection(selection), itemCount) != selection) std::abort();
    if (!ProfileMayHoldValue(text + L"\n[ Options ]\nBIT = 2\n", L"options", L"bit")) std::abort();
    return 0;
}
