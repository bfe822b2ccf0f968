#pragma once
// The text form of the mod catalogue. No platform calls here, so this compiles anywhere and
// can be fuzzed on its own.
//
// The catalogue is a sequence of entries of three lines each: ID, name, path. No header, no
// count. Lines are written with CR LF; when reading, a lone LF ends a line too, and the last
// line may lack its end.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cMod.h"

struct ParsedCatalogue {
    std::vector<cMod> entries;
    bool bTruncated = false;  // more complete entries followed the ones kept
    std::wstring unlisted;    // then the text from the first entry not kept on, as it stands
};

// Reads at most `capacity` entries. A last entry of fewer than three lines is dropped; an ID
// line that is not a 16-bit whole number gives ID 0. Formatting the entries and appending
// `unlisted` gives a catalogue that reads the same.
ParsedCatalogue ParseCatalogue(std::wstring_view text, std::size_t capacity);

// The catalogue text of `entries`, each line ending in CR LF.
std::wstring FormatCatalogue(const cMod* entries, std::size_t count);
