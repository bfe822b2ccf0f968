#pragma once
// A look into an INI file's text, for where the platform's profile reader gave nothing. No
// platform calls here, so this compiles anywhere and can be fuzzed on its own.
#include <string_view>

// True when the text may hold a value for the key: a line "key=value" with a value that is not
// blank (nor a pair of empty quotes) under a "[section]" header, names compared without regard to
// ASCII letter case and blanks around them. It errs toward true: a false true only keeps a
// default from being written, while a false false would let one replace a stored value.
bool ProfileMayHoldValue(std::wstring_view text, std::wstring_view section, std::wstring_view key);
