#pragma once
// How vmtconfig.ini stores an option: the 1-based position of the chosen item in decimal, "0"
// for none. No platform calls here, so this compiles anywhere and can be fuzzed on its own.
#include <string>
#include <string_view>

// The 0-based item to select for a stored value, or -1 for none: the text read as a decimal
// number, minus one, rounded to the nearest whole number (halves to the even one). A text that
// is not a number, or that names no item of a list of `itemCount`, selects nothing.
int SelectionFromStored(std::wstring_view stored, int itemCount);

// The text stored for a selection: the 0-based index plus one, "0" when nothing is selected.
std::wstring StoredFromSelection(int index);
