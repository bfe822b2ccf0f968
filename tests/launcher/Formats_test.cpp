// The text forms other programs and players hand the launcher: its command line and the catalogue.
#include <gtest/gtest.h>

#include "launcher/CommandLine.h"
#include "launcher/ModsFormat.h"

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
}

namespace {

// "id:name:path" per entry, joined by '|', then "+more" when entries were left out.
std::wstring Describe(const ParsedCatalogue& parsed) {
    std::wstring text;
    for (const cMod& mod : parsed.entries) text += (text.empty() ? L"" : L"|") + std::to_wstring(mod.iID()) + L":" + mod.sName() + L":" + mod.Path();
    return parsed.bTruncated ? text + L"+more" : text;
}

}  // namespace

TEST(ParseCatalogue, ReadsEntriesOfThreeLinesAndCopesWithDamagedFiles) {
    std::wstring thousand;
    for (int i = 1; i <= 1000; ++i) thousand += L"0\r\n\r\nm.mdf\r\n";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"12\r\n\r\na.mdf\r\n5400\r\n\r\nb.mdf\r\n", L"12::a.mdf|5400::b.mdf"},
        {L"12\n\na.mdf\n-5\n\r\nb.mdf", L"12::a.mdf|-5::b.mdf"},  // LF only, mixed, the last line without end
        {L"1\r\nMy Mod\r\nsub dir\\x.mdf\r\n", L"1:My Mod:sub dir\\x.mdf"},
        {L"12\r\n\r\na.mdf\r\n7\r\n\r\n", L"12::a.mdf"},  // an incomplete last entry is dropped
        {L"abc\r\n\r\na.mdf\r\n70000\r\n\r\nb.mdf\r\n\r\n\r\nc.mdf\r\n", L"0::a.mdf|0::b.mdf|0::c.mdf"},  // bad IDs
        {thousand + L"1\r\n\r\nmore.mdf\r\n", Describe(ParseCatalogue(thousand, 1000)) + L"+more"},
        {thousand + L"\r\n", Describe(ParseCatalogue(thousand, 1000))},  // an incomplete entry is no further mod
    };
    for (const auto& [text, entries] : cases) EXPECT_EQ(Describe(ParseCatalogue(text, 1000)), entries) << testing::PrintToString(text.substr(0, 60));
    EXPECT_EQ(ParseCatalogue(thousand, 1000).entries.size(), 1000u);
}
