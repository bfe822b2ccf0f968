// Varpick killed at random moments while it saves: Mods.cfg is replaced crash-safely and must
// always be the old or the new list, whole; Varmoth.ini goes through the platform's profile
// functions, and the test counts how often a kill left it damaged or empty.
#include <iostream>

#include "launcher/Launcher.h"

namespace {

const std::string kCatalogues[] = {"1\r\n\r\na.mdf\r\n", "2\r\n\r\nb.mdf\r\n3\r\nB\r\nbb.mdf\r\n"};
const std::string kGameIni = "[video]\r\ngamma=1.2\r\n[mods]\r\ncurrentmod=a.mdf\r\nlanguage=en\r\n";

// The loops run in a child test program, with Varpick's windows where the user would press.
const bool registered = [] {
    SaveLoops()[L"mods-cfg"] = [](const std::wstring& folder) {
        modMain::SetAppFolder(folder);
        for (int round = 0;; ++round) {
            modMain::CreateMods();
            ParsedCatalogue parsed = ParseCatalogue(FromAnsi(kCatalogues[round % 2]), 1000);
            for (cMod& mod : parsed.entries) modMain::Mods(modMain::NextModIndex()) = mod;
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

TEST(Kills, DuringSavesMods_cfgIsAlwaysWholeAndVarmoth_iniIsCounted) {
    ScratchFolder folder(ScratchFolder::Name::Plain);  // the child gets it through the 8-bit code page
    WriteBytes(folder / L"Mods.cfg", kCatalogues[0]);
    const KillCount catalogue = KillDuringSaves(L"mods-cfg", folder.path(), 50, [&] {
        const std::string now = ReadBytes(folder / L"Mods.cfg").value_or("<gone>");
        return now == kCatalogues[0] || now == kCatalogues[1];
    });
    EXPECT_GE(catalogue.kills, 45);
    EXPECT_EQ(catalogue.damaged, 0) << "Mods.cfg damaged or gone";

    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\na.mdf\r\n2\r\n\r\nbb.mdf\r\n");
    WriteBytes(folder / L"Varmoth.ini", kGameIni);
    const std::wstring ini = folder / L"Varmoth.ini";
    const KillCount game = KillDuringSaves(L"set-mod", folder.path(), 50, [&] {
        const std::wstring mod = ReadIniKey(ini, L"mods", L"currentmod");
        const bool intact = (mod == L"a.mdf" || mod == L"bb.mdf") && ReadIniKey(ini, L"video", L"gamma") == L"1.2" && ReadIniKey(ini, L"mods", L"language") == L"en";
        if (!intact) WriteBytes(ini, kGameIni);  // each round starts from a whole file
        return intact;
    });
    EXPECT_GE(game.kills, 45);
    std::cout << "Kills during saves: Mods.cfg " << catalogue.kills << " kills, " << catalogue.damaged << " damaged or gone; Varmoth.ini (Set mod) "
              << game.kills << " kills, " << game.damaged << " damaged or empty\n";
}
