#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "launcher/CommandLine.h"
#include "profile/AnsiText.h"

TEST(CommandLine, OptionsComeAsDashesOrSlashInAnyLetterCaseARefusalSaysWhy) {
    const auto unknown = [](const wchar_t* option) { return L"Unknown option \"" + std::wstring(option) + L"\".\r\n\r\n" + kUsage; };
    const std::wstring noName = L"--mod needs the name of a mod of the list, for example --mod \"Name.mdf\".";
    const std::pair<std::vector<std::wstring>, std::wstring> rows[] = {  // arguments, what the start asks for or why not
        {{}, L"no options"},
        {{L"--mod", L"night moths.mdf", L"--run"}, L"mod night moths.mdf run"},  // the name as typed: the list picks
        {{L"/MOD", L"Alpha.mdf", L"/PLAIN", L"--RUN"}, L"refused --mod and --plain cannot go together: the game has one current mod."},
        {{L"/Plain", L"/Run"}, L" plain run"},
        {{L"/?", L"-H", L"/Help", L"--help"}, L" help"},
        {{L"--Bogus", L"--run"}, L"refused " + unknown(L"--Bogus")},
        {{L"/run", L"plain"}, L"refused " + unknown(L"plain")},
        {{L"--mod"}, L"refused " + noName},
        {{L"--run", L"/mod", L""}, L"refused " + noName},
    };
    for (const auto& [arguments, asked] : rows) {
        const LaunchRequest r = ReadCommandLine(arguments);
        const std::wstring options = (r.sMod ? L"mod " + *r.sMod : L"") + (r.bPlain ? L" plain" : L"") + (r.bRun ? L" run" : L"") + (r.bHelp ? L" help" : L"");
        EXPECT_EQ(!r.HasOptions() ? L"no options" : r.sRefusal.empty() ? options : L"refused " + r.sRefusal, asked);
    }
    // --help shows every form of every option, as a table, and that letter case does not matter.
    for (const wchar_t* row : {L"\n--mod\t/mod\t", L"\n--plain\t/plain\t", L"\n--run\t/run\t", L"\n--help\t/help\t", L"\n-h\t/?\t", L"any letter case"})
        EXPECT_NE(std::wstring_view(kUsage).find(row), std::wstring::npos) << ToAnsi(row).value_or("?");
}

// A desktop shortcut's --mod argument: the system's own splitter gives every name back whole.
TEST(CommandLine, AQuotedNameComesBackWhole) {
    for (const std::wstring name : {L"Night Moths.mdf", L"say \"hi\".mdf", L"ends in\\", L"a\\\"b\\\\", L"",
                                    L"\\\\server\\mods\\x.mdf", L"caf\u00E9 \u6F22\U0001F600.mdf", L"tab\there.mdf"}) {
        int count = 0;
        const std::wstring commandLine = L"Varpick.exe --mod " + QuoteArgument(name) + L" --run";
        wchar_t** arguments = CommandLineToArgvW(commandLine.c_str(), &count);
        ASSERT_TRUE(arguments);
        EXPECT_EQ(std::vector<std::wstring>(arguments, arguments + count),
                  (std::vector<std::wstring>{L"Varpick.exe", L"--mod", name, L"--run"}));
        LocalFree(arguments);
    }
}
