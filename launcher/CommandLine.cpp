#include "CommandLine.h"

#include <cstring>
#include <cwctype>

// A table in the message box, which expands tabs to stops eight average characters apart: each
// cell stays shorter than that, and each line short enough not to wrap.
const wchar_t kUsage[] =
    L"Varpick.exe [--mod \"Name.mdf\" | --plain] [--run]\r\n\r\n"
    L"--mod\t/mod\tNAME: that mod of the list\r\n"
    L"--plain\t/plain\tthe plain game, no mod\r\n"
    L"--run\t/run\tthen starts the game\r\n"
    L"--help\t/help\tshows this\r\n"
    L"-h\t/?\tthe same as --help\r\n\r\n"
    L"--mod and --plain make the game's current mod; --run starts it without Varpick's window. "
    L"Options and names take any letter case. A name spelt exactly as a line of the list sets that "
    L"line; only when none is, the line that differs from it in letter case alone.\r\n\r\n"
    L"Exit code 0: done; 1: refused or failed.";

namespace {

// The option's name in lower case ("mod" for --MOD or /mod, "help" for -H), or nothing for
// another argument.
std::wstring OptionName(std::wstring argument) {
    for (wchar_t& c : argument) c = static_cast<wchar_t>(std::towlower(c));
    if (argument == L"-h" || argument == L"/?") return L"help";
    if (argument.starts_with(L"--")) return argument.substr(2);
    if (argument.starts_with(L"/")) return argument.substr(1);
    return std::wstring();
}

}  // namespace

LaunchRequest ReadCommandLine(std::span<const std::wstring> arguments) {
    LaunchRequest request;
    for (size_t i = 0; i < arguments.size() && request.sRefusal.empty(); ++i) {
        const std::wstring name = OptionName(arguments[i]);
        if (name == L"help") {
            request.bHelp = true;
        } else if (name == L"plain") {
            request.bPlain = true;
        } else if (name == L"run") {
            request.bRun = true;
        } else if (name == L"mod" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            request.sMod = arguments[++i];
        } else if (name == L"mod") {
            request.sRefusal = L"--mod needs the name of a mod of the list, for example --mod \"Name.mdf\".";
        } else {
            request.sRefusal = L"Unknown option \"" + arguments[i] + L"\".\r\n\r\n" + kUsage;
        }
    }
    if (request.sRefusal.empty() && request.sMod && request.bPlain)
        request.sRefusal = L"--mod and --plain cannot go together: the game has one current mod.";
    return request;
}

std::wstring QuoteArgument(const std::wstring& argument) {
    // Backslashes count only before a quote: doubled there, and a quote inside is escaped.
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    return quoted.append(backslashes * 2, L'\\') + L"\"";
}

std::wstring JoinArguments(std::span<const std::wstring> arguments) {
    std::wstring text;
    for (const std::wstring& argument : arguments) text.append(argument).push_back(L'\0');
    return text;
}

std::optional<std::vector<std::wstring>> SplitArguments(const void* data, std::size_t bytes) {
    if (!data || bytes == 0 || bytes % sizeof(wchar_t) != 0) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data, bytes);  // the sender's bytes need not be aligned for wchar_t
    if (text.back() != L'\0') return std::nullopt;
    std::vector<std::wstring> arguments;
    for (std::size_t start = 0, end; (end = text.find(L'\0', start)) != std::wstring::npos; start = end + 1)
        arguments.push_back(text.substr(start, end - start));
    return arguments;
}
