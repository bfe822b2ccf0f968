#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "launcher/CommandLine.h"
#include "profile/AnsiText.h"

namespace {

// What a start asks for, on one line, or what its refusal says.
std::wstring Describe(const LaunchRequest& request) {
    if (!request.HasOptions()) return L"no options";
    if (!request.sRefusal.empty()) return L"refused: " + request.sRefusal;
    return (request.sMod ? L"mod " + *request.sMod : L"") + (request.bPlain ? L" plain" : L"") + (request.bRun ? L" run" : L"") +
           (request.bHelp ? L" help" : L"");
}

}  // namespace

TEST(CommandLine, OptionsComeAsDashesOrSlashInAnyLetterCaseAndARefusalSaysWhy) {
    const auto unknown = [](const wchar_t* option) { return L"refused: Unknown option \"" + std::wstring(option) + L"\".\r\n\r\n" + kUsage; };
    const std::wstring noName = L"refused: --mod needs the name of a mod of the list, for example --mod \"Name.mdf\".";
    const std::pair<std::vector<std::wstring>, std::wstring> rows[] = {
        {{}, L"no options"},
        {{L"--mod", L"night moths.mdf", L"--run"}, L"mod night moths.mdf run"},  // the name as typed: the list picks the line
        {{L"/MOD", L"Alpha.mdf", L"/Run"}, L"mod Alpha.mdf run"},
        {{L"/PLAIN", L"--RUN"}, L" plain run"},
        {{L"/?"}, L" help"},
        {{L"-H"}, L" help"},
        {{L"/Help"}, L" help"},
        {{L"--help", L"--plain"}, L" plain help"},
        {{L"--Bogus", L"--run"}, unknown(L"--Bogus")},
        {{L"plain"}, unknown(L"plain")},
        {{L"--mod"}, noName},
        {{L"--run", L"/mod", L""}, noName},
        {{L"--mod", L"a.mdf", L"--plain"}, L"refused: --mod and --plain cannot go together: the game has one current mod."},
    };
    for (const auto& [arguments, request] : rows) EXPECT_EQ(Describe(ReadCommandLine(arguments)), request) << arguments.size() << " arguments";

    // --help shows every form of every option, as a table, and that letter case does not matter.
    for (const wchar_t* row : {L"\n--mod\t/mod\t", L"\n--plain\t/plain\t", L"\n--run\t/run\t", L"\n--help\t/help\t", L"\n-h\t/?\t", L"any letter case"})
        EXPECT_NE(std::wstring_view(kUsage).find(row), std::wstring::npos) << ToAnsi(row).value_or("?");
}

// The shortcut's --mod argument, split again as the system splits a command line.
TEST(CommandLine, AQuotedArgumentComesBackWhole) {
    for (const std::wstring argument : {L"Night Moths.mdf", L"", L"say \"hi\".mdf", L"C:\\mods\\", L"a\\\\\"b c"}) {
        int count = 0;
        const std::unique_ptr<LPWSTR, decltype(&LocalFree)> split(CommandLineToArgvW((L"Varpick.exe " + QuoteArgument(argument)).c_str(), &count), &LocalFree);
        EXPECT_TRUE(count == 2 && split.get()[1] == argument) << ToAnsi(argument).value_or("?");
    }
}
