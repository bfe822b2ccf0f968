// Varpick killed at random moments while it saves. Mods.cfg is replaced crash-safely: always the
// old list or the new one, whole. Varmoth.ini goes through the platform's profile functions; the
// test counts how often a kill left it damaged or empty.
#include <iostream>

#include "launcher/Launcher.h"

namespace {

const std::string kLists[] = {"1\r\n\r\na.mdf\r\n", "2\r\n\r\nb.mdf\r\n3\r\nB\r\nbb.mdf\r\n"};
const std::string kGameIni = "[video]\r\ngamma=1.2\r\n[mods]\r\ncurrentmod=a.mdf\r\nlanguage=en\r\n";

// Saving again and again in a child test program: the two lists in turn, or Set mod pressed on
// the two lines in turn.
const bool registered = [] {
    SaveLoops()[L"mods-cfg"] = [](const std::wstring& folder) {
        modMain::SetAppFolder(folder);
        for (int round = 0;; ++round) {
            modMain::CreateMods();
            for (cMod& mod : ParseCatalogue(FromAnsi(kLists[round % 2]), 1000).entries) modMain::Mods(modMain::NextModIndex()) = mod;
            modMain::SaveMods();
        }
    };
    SaveLoops()[L"set-mod"] = [](const std::wstring& folder) {
        RecordingPrompts prompts;
        modMain::SetAppFolder(folder);
        frmMain::Instance().Load();
        for (int round = 0;; ++round) {
            SendMessageW(GetDlgItem(frmMain::Instance().hwnd(), IDC_CBOMODS), LB_SETCURSEL, round % 2, 0);
            SendMessageW(GetDlgItem(frmMain::Instance().hwnd(), IDC_CMDSETMOD), BM_CLICK, 0, 0);
        }
    };
    return true;
}();

}  // namespace

TEST(Kills, DuringSavesMods_cfgStaysWholeAndDamagedVarmoth_iniFilesAreCounted) {
    ScratchFolder folder;
    WriteBytes(folder / L"Mods.cfg", kLists[0]);
    const KillCount list = KillDuringSaves(L"mods-cfg", folder.path(), 50, [&] {
        const std::string now = ReadBytes(folder / L"Mods.cfg").value_or("<gone>");
        return now == kLists[0] || now == kLists[1];
    });
    EXPECT_TRUE(list.kills >= 45 && list.damaged == 0) << list.damaged << " of " << list.kills;

    const std::wstring ini = folder / L"Varmoth.ini";
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\na.mdf\r\n2\r\n\r\nbb.mdf\r\n");
    WriteBytes(ini, kGameIni);
    const KillCount game = KillDuringSaves(L"set-mod", folder.path(), 50, [&] {
        const std::wstring mod = ReadIniKey(ini, L"mods", L"currentmod");
        const bool whole = (mod == L"a.mdf" || mod == L"bb.mdf") && ReadIniKey(ini, L"video", L"gamma") == L"1.2" && ReadIniKey(ini, L"mods", L"language") == L"en";
        if (!whole) WriteBytes(ini, kGameIni);  // the next round starts from a whole file
        return whole;
    });
    EXPECT_GE(game.kills, 45);
    std::cout << "Kills during saves: Mods.cfg " << list.damaged << " of " << list.kills << " damaged or gone; Varmoth.ini (Set mod) " << game.damaged << " of "
              << game.kills << " damaged or empty\n";
}
