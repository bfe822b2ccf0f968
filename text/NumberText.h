#pragma once
// Numbers as the programs' files store them. No platform calls here, so this compiles anywhere
// and can be fuzzed on its own. Both parsers accept blanks (spaces, tabs) around the number
// and an optional sign.
#include <cstdint>
#include <optional>
#include <string_view>

// A whole decimal number in -32768..32767; nothing for any other text.
std::optional<std::int16_t> ParseInt16(std::wstring_view text);

// A decimal number with an optional fraction ("2", "2.5", ".5"); nothing for any other text.
std::optional<double> ParseDecimal(std::wstring_view text);
