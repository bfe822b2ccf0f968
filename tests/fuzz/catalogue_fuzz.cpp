// The catalogue reader on any text: what it reads, written and read again, gives the same entries.
#include <cstdlib>

#include "FuzzText.h"
#include "launcher/ModsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParsedCatalogue first = ParseCatalogue(FuzzText(data, size), 1000);
    if (first.entries.size() > 1000) std::abort();
    const ParsedCatalogue again = ParseCatalogue(FormatCatalogue(first.entries.data(), first.entries.size()), 1000);
    if (again.entries != first.entries || again.bTruncated) std::abort();
    return 0;
}
