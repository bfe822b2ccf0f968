// Varpick's command-line reader and the hand-over's split, on what another program may send: never
// a crash; a split list joins back to the very bytes it came from, and a joined list splits back
// to the list.
#include <cstdlib>
#include <cstring>

#include "FuzzText.h"
#include "launcher/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto arguments = SplitArguments(data, size)) {
        ReadCommandLine(*arguments);
        const std::wstring joined = JoinArguments(*arguments);
        if (joined.size() * sizeof(wchar_t) != size || std::memcmp(joined.data(), data, size) != 0) std::abort();
    }
    // The same bytes as text, cut at its NULs into arguments, as a command line.
    std::vector<std::wstring> arguments(1);
    for (wchar_t c : FuzzText(data, size)) {
        if (c) arguments.back() += c;
        else arguments.emplace_back();
    }
    ReadCommandLine(arguments);
    const std::wstring joined = JoinArguments(arguments);
    if (SplitArguments(joined.data(), joined.size() * sizeof(wchar_t)) != arguments) std::abort();
    return 0;
}
