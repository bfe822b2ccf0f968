#pragma once
// Varpick's command line, read before any window exists: what a start asks for, or why not.
// No platform calls here.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct LaunchRequest {
    std::optional<std::wstring> sMod;  // --mod NAME: a line of the mod list, its exact spelling first
    bool bPlain = false;               // --plain: the plain game
    bool bRun = false;                 // --run: then start the game, with no window of Varpick's
    bool bHelp = false;                // --help, -h, /?
    std::wstring sRefusal;             // why the command line is refused; empty when it is not

    bool HasOptions() const { return sMod || bPlain || bRun || bHelp || !sRefusal.empty(); }
};

// Options in any letter case, as --name or /name. `arguments` leaves out the program's name.
LaunchRequest ReadCommandLine(std::span<const std::wstring> arguments);

// The options, for --help and under a refusal.
extern const wchar_t kUsage[];

// `argument` as a command line holds it: in quotes, so the system's splitting gives it back whole.
std::wstring QuoteArgument(const std::wstring& argument);

// The arguments as one start hands them to another: each followed by a NUL.
std::wstring JoinArguments(std::span<const std::wstring> arguments);
// The arguments of a joined list of `bytes` bytes; nothing when it is no such list (no data, an
// odd size, a last argument without its NUL), whoever sent it.
std::optional<std::vector<std::wstring>> SplitArguments(const void* data, std::size_t bytes);
