// Each damaged file of tests/data/damaged, and a 20 MB one made here, as each file the programs
// read: the program starts to its window within ten seconds, shows what the rules say, does not
// rewrite the catalogue, the game's file or a file too large to be settings, and closes cleanly.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "launcher/ModsFormat.h"
#include "launcher/resource.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

TEST(DamagedFiles, BothProgramsStartOnEachAndShowWhatTheRulesSay) {
    std::vector<std::pair<std::wstring, std::string>> corpus;
    for (const auto& entry : std::filesystem::directory_iterator(HostFolder("VARMOTH_TEST_DATA") + L"\\damaged"))
        corpus.emplace_back(entry.path().filename().wstring(), *ReadBytes(entry.path().wstring()));
    ASSERT_GE(corpus.size(), 10u);
    std::string huge;
    while (huge.size() < 20'000'000) huge += "[Main]\r\nSkin=1\r\n12\r\n\r\nCrimson Dusk.mdf\r\n";
    corpus.emplace_back(L"20 MB", huge);
    const std::wstring varpick = L"Varpick.exe", caption = L"Varmoth - Pick MOD";
    const std::array<std::wstring, 3> readers[] = {{varpick, caption, L"Mods.cfg"}, {varpick, caption, L"Varmoth.ini"}, {varpick, caption, L"Varpick.ini"},
                                                   {L"Vartune.exe", L"Varmoth Configuration Utility", L"vmtconfig.ini"}};  // program, caption, file
    for (const auto& [name, bytes] : corpus) {
        for (const auto& [program, caption, fileName] : readers) {
            SCOPED_TRACE(testing::Message() << ToAnsi(name).value_or("?") << " as " << ToAnsi(fileName).value_or("?"));
            ScratchFolder game;
            const std::wstring file = game / fileName;
            WriteBytes(file, bytes);
            std::wstring currentMod(1 << 20, L'\0');  // what the platform's own reading of the file gives
            currentMod.resize(GetPrivateProfileStringW(L"mods", L"currentmod", L"", currentMod.data(), 1 << 20, file.c_str()));
            UniqueKernelHandle process = StartProgram(CopyInto(game, ProgramFolder() + L"\\" + program));
            HWND window = nullptr;
            Told told;
            AnswerMessageBoxes(process.get(), told, [&] { return (window = WindowOf(process.get(), caption.c_str(), 0ms)) != nullptr; }, 10s);
            if (!window) TerminateProcess(process.get(), 1);
            ASSERT_TRUE(window) << "no window within ten seconds";
            if (fileName == L"Mods.cfg") {  // what the load found comes once the window shows
                AnswerMessageBoxes(process.get(), told, [] { return false; }, 1s);
                const ParsedCatalogue parsed = ParseCatalogue(FromAnsi(bytes), 1000);
                EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_CBOMODS), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(parsed.entries.size()));
                EXPECT_EQ(told.texts.size(), parsed.bTruncated ? 1u : 0u) << "only a list of over 1000 mods is told";
            }
            EXPECT_TRUE(told.overShownWindows && (fileName == L"Mods.cfg" || told.texts.empty())) << ToAnsi(told.texts.empty() ? L"" : told.texts.front()).value_or("?");
            const std::wstring label = WindowText(GetDlgItem(window, IDC_LBLCURRENTMOD));
            EXPECT_TRUE(fileName != L"Varmoth.ini" || label == L"Current mod: " + currentMod) << ToAnsi(label.substr(0, 80)).value_or("?");
            EXPECT_EQ(CloseProgram(process.get(), window), 0u);
            const bool completedByDesign = (fileName == L"Varpick.ini" || fileName == L"vmtconfig.ini") && bytes.size() < 1'000'000;
            EXPECT_TRUE(completedByDesign || ReadBytes(file) == bytes) << "rewritten";
        }
    }
}
