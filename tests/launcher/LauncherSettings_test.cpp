#include <gtest/gtest.h>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

TEST(LauncherSettings, LoadReadsOrCompletesVarpickIni) {
    ScratchFolder folder(ScratchFolder::Name::Plain);
    modMain::SetAppFolder(folder.path());
    const std::wstring settings = folder / L"Varpick.ini", defaultPath = folder / L"Mothvar.exe";
    const std::tuple<const char*, std::wstring, int, const char*> cases[] = {  // file, path, skin, the file afterwards holds
        {"[Main]\r\nSkin=\r\nVarmothPath=D:\\M.exe\r\n", L"D:\\M.exe", 1, "Skin=1"},  // missing or empty: 1, written back
        {"[Main]\r\nSkin= -1 \r\n", defaultPath, -1, "VarmothPath=C:"},  // a missing path: the default, written back
        {"[Main]\r\nSkin=1.5\r\n", defaultPath, 1, "Skin=1.5"},          // no 16-bit whole number: 1, the text stays
    };
    for (const auto& [text, path, skin, fileHas] : cases) {
        WriteBytes(settings, text);
        modMain::LoadLauncherSettings();
        EXPECT_EQ(modMain::sVarmothPath + L" " + std::to_wstring(modMain::iSkin), path + L" " + std::to_wstring(skin)) << text;
        EXPECT_NE(ReadBytes(settings)->find(fileHas), std::string::npos) << *ReadBytes(settings);
    }
}
