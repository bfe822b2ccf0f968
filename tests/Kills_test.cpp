// Varpick killed at random moments while it saves: every file it writes is replaced in one step,
// so each kill leaves it exactly as before or exactly as the save makes it, with every line of
// the game's still there.
#include <iostream>

#include "launcher/Launcher.h"

namespace {

const std::string kLists[] = {"1\r\n\r\na.mdf\r\n", "2\r\n\r\nb.mdf\r\n3\r\nB\r\nbb.mdf\r\n"};
const std::string kGameIni[] = {"[video]\r\ngamma=1.2\r\n[mods]\r\ncurrentmod=a.mdf\r\nlanguage=en\r\n",
                                "[video]\r\ngamma=1.2\r\n[mods]\r\ncurrentmod=bb.mdf\r\nlanguage=en\r\n"};
const std::string kSettings[] = {"; mine\r\n[Window]\r\nLeft=10\r\n[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=1\r\n",
                                 "; mine\r\n[Window]\r\nLeft=10\r\n[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=2\r\n"};

// Saving again and again in a child test program: the two lists in turn, Set mod pressed on the
// two lines in turn, or the options applied with the two skins in turn.
void SaveAgainAndAgain(const std::wstring& folder, const std::function<void(int round)>& save) {
    RecordingPrompts prompts;
    modMain::SetAppFolder(folder);
    frmMain::Instance().Load();
    frmOptions::Instance().Show();
    for (int round = 0;; ++round) save(round);
}
void Press(HWND window, int id) { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }

const bool registered = [] {
    SaveLoops()[L"mods-cfg"] = [](const std::wstring& folder) { SaveAgainAndAgain(folder, [](int round) {
        modMain::CreateMods();
        for (cMod& mod : ParseCatalogue(FromAnsi(kLists[round % 2]), 1000).entries) modMain::Mods(modMain::NextModIndex()) = mod;
        modMain::SaveMods();
    }); };
    SaveLoops()[L"set-mod"] = [](const std::wstring& folder) { SaveAgainAndAgain(folder, [](int round) {
        SendMessageW(GetDlgItem(frmMain::Instance().hwnd(), IDC_CBOMODS), LB_SETCURSEL, round % 2, 0);
        Press(frmMain::Instance().hwnd(), IDC_CMDSETMOD);
    }); };
    SaveLoops()[L"options-apply"] = [](const std::wstring& folder) { SaveAgainAndAgain(folder, [](int round) {
        Choose(GetDlgItem(frmOptions::Instance().hwnd(), IDC_CBOSKIN), 1 + round % 2);
        Press(frmOptions::Instance().hwnd(), IDC_CMDAPPLY);
    }); };
    return true;
}();

}  // namespace

TEST(Kills, DuringSavesEveryFileIsTheOldOrTheNewOneWhole) {
    ScratchFolder folder;
    const std::tuple<const wchar_t*, const wchar_t*, const std::string*> rows[] = {  // loop, file, its two versions
        {L"mods-cfg", L"Mods.cfg", kLists}, {L"set-mod", L"Varmoth.ini", kGameIni}, {L"options-apply", L"Varpick.ini", kSettings}};
    for (const auto& [loop, file, versions] : rows) {
        WriteBytes(folder / L"Mods.cfg", "1\r\n\r\na.mdf\r\n2\r\n\r\nbb.mdf\r\n");  // Set mod's two lines
        WriteBytes(folder / file, versions[0]);
        const KillCount count = KillDuringSaves(loop, folder.path(), 50, [&] {
            const std::string now = ReadBytes(folder / file).value_or("<gone>");
            return now == versions[0] || now == versions[1];
        });
        EXPECT_TRUE(count.kills >= 45 && count.damaged == 0) << ToAnsi(file).value_or("?") << ": " << count.damaged << " of " << count.kills;
        std::cout << "Kills during saves: " << ToAnsi(file).value_or("?") << " " << count.damaged << " of " << count.kills << " damaged\n";
    }
}
