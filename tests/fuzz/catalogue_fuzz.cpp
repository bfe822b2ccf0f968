// The catalogue reader on any text: what it reads, written with the unlisted rest after it and
// read again, gives the same entries and the same rest.
#include <cstdlib>

#include "FuzzText.h"
#include "launcher/ModsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParsedCatalogue first = ParseCatalogue(FuzzText(data, size), 1000);
    if (first.entries.size() > 1000) std::abort();
    const ParsedCatalogue again =
        ParseCatalogue(FormatCatalogue(first.entries.data(), first.entries.size()) + first.unlisted, 1000);
    if (again.entries != first.entries || again.bTruncated != first.bTruncated || again.unlisted != first.unlisted)
        std::abort();
    return 0;
}
