#include <gtest/gtest.h>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

TEST(LauncherSettings, LoadReadsOrCompletesVarpickIniAndSaveKeepsEverythingElse) {
    ScratchFolder folder(ScratchFolder::Name::Plain);
    modMain::SetAppFolder(folder.path());
    const std::wstring settings = folder / L"Varpick.ini", defaultPath = folder / L"Mothvar.exe";
    modMain::LoadLauncherSettings();  // first start: both keys, in this order
    EXPECT_EQ(ReadBytes(settings), "[Main]\r\nVarmothPath=" + std::string(defaultPath.begin(), defaultPath.end()) + "\r\nSkin=0\r\n");

    const std::tuple<const char*, std::wstring, int, const char*> cases[] = {  // file, path, skin, the file afterwards holds
        {"[Main]\r\nSkin=\r\nVarmothPath=D:\\M.exe\r\n", L"D:\\M.exe", 1, "Skin=1"},  // missing or empty: 1, written back
        {"[MAIN]\r\nvarmothpath=E:\\M.exe\r\nSKIN=2\r\n", L"E:\\M.exe", 2, "SKIN=2"},
        {"[Main]\r\nSkin= -1 \r\n", defaultPath, -1, "VarmothPath=C:"},           // a missing path: the default, written back
        {"[Main]\r\nSkin=7\r\n", defaultPath, 7, "Skin=7"},                       // any 16-bit whole number is taken
        {"[Main]\r\nSkin=1.5\r\n", defaultPath, 1, "Skin=1.5"},                   // other text counts as 1 and stays
        {"[Main]\r\nSkin=32768\r\n", defaultPath, 1, "Skin=32768"},
    };
    for (const auto& [text, path, skin, fileHas] : cases) {
        WriteBytes(settings, text);
        modMain::LoadLauncherSettings();
        EXPECT_EQ(modMain::sVarmothPath + L" " + std::to_wstring(modMain::iSkin), path + L" " + std::to_wstring(skin)) << text;
        EXPECT_NE(ReadBytes(settings)->find(fileHas), std::string::npos) << *ReadBytes(settings);
    }

    WriteBytes(settings, "[Window]\r\nLeft=10\r\n[MAIN]\r\nvarmothpath=E:\\M.exe\r\nExtra=keep\r\n");
    modMain::sVarmothPath = L"F:\\Other\\Mothvar.exe";
    modMain::iSkin = -1;
    EXPECT_FALSE(modMain::SaveLauncherSettings());
    EXPECT_EQ(ReadBytes(settings), "[Window]\r\nLeft=10\r\n[MAIN]\r\nvarmothpath=F:\\Other\\Mothvar.exe\r\nExtra=keep\r\nSkin=-1\r\n");

    WhileUnwritable(settings, Fault::Held, [] { modMain::LoadLauncherSettings(); });  // unreadable counts as missing
    EXPECT_EQ(modMain::sVarmothPath + L" " + std::to_wstring(modMain::iSkin), defaultPath + L" 0");
}
