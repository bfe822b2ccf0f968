#include <gtest/gtest.h>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

namespace {

class LauncherSettings : public testing::Test {
protected:
    void SetUp() override { modMain::SetAppFolder(folder.path()); }
    std::wstring Settings() const { return folder / L"Varpick.ini"; }
    void LoadFrom(const std::string& text) {
        WriteBytes(Settings(), text);
        modMain::LoadLauncherSettings();
    }

    ScratchFolder folder{ScratchFolder::Name::Plain};
};

}  // namespace

TEST_F(LauncherSettings, FirstStartWritesBothKeysInOrder) {
    modMain::LoadLauncherSettings();
    EXPECT_EQ(modMain::sVarmothPath, folder / L"Mothvar.exe");
    EXPECT_EQ(modMain::iSkin, 0);
    const std::string path(modMain::sVarmothPath.begin(), modMain::sVarmothPath.end());
    EXPECT_EQ(ReadBytes(Settings()), "[Main]\r\nVarmothPath=" + path + "\r\nSkin=0\r\n");
}

TEST_F(LauncherSettings, MissingOrEmptySkinMeansOneAndIsWrittenBack) {
    for (const char* skinLine : {"", "Skin=\r\n"}) {
        SCOPED_TRACE(skinLine);
        LoadFrom(std::string("[Main]\r\nVarmothPath=D:\\Games\\Mothvar.exe\r\n") + skinLine);
        EXPECT_EQ(modMain::sVarmothPath, L"D:\\Games\\Mothvar.exe");
        EXPECT_EQ(modMain::iSkin, 1);
        EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), L"1");
    }
}

TEST_F(LauncherSettings, SkinValuesThatAreNoWholeNumberCountAsOneAndStayInTheFile) {
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {" 2 ", 2}, {"-1", -1}, {"7", 7}, {"abc", 1}, {"1.5", 1}, {"32768", 1},
    };
    for (const auto& [stored, skin] : cases) {
        SCOPED_TRACE(stored);
        LoadFrom(std::string("[Main]\r\nVarmothPath=x\r\nSkin=") + stored + "\r\n");
        EXPECT_EQ(modMain::iSkin, skin);
        EXPECT_NE(ReadBytes(Settings())->find(std::string("Skin=") + stored), std::string::npos);
    }
}

TEST_F(LauncherSettings, OtherLetterCaseAndOtherSectionsSurviveLoadAndSave) {
    LoadFrom("[Window]\r\nLeft=10\r\n[MAIN]\r\nvarmothpath=E:\\M.exe\r\nSKIN=2\r\nExtra=keep\r\n");
    EXPECT_EQ(modMain::sVarmothPath, L"E:\\M.exe");
    EXPECT_EQ(modMain::iSkin, 2);

    modMain::sVarmothPath = L"F:\\Other\\Mothvar.exe";
    modMain::iSkin = -1;
    modMain::SaveLauncherSettings();
    EXPECT_EQ(ReadIniKey(Settings(), L"Window", L"Left"), L"10");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Extra"), L"keep");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"VarmothPath"), L"F:\\Other\\Mothvar.exe");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), L"-1");
    EXPECT_EQ(ReadBytes(Settings())->find("[Main]"), std::string::npos) << "no second section";
}

TEST_F(LauncherSettings, AnUnreadableSettingsFileCountsAsMissing) {
    WriteBytes(Settings(), "[Main]\r\nVarmothPath=E:\\M.exe\r\nSkin=2\r\n");
    UniqueFileHandle held = HoldExclusively(Settings());
    modMain::LoadLauncherSettings();  // its writes fail, silently
    EXPECT_EQ(modMain::sVarmothPath, folder / L"Mothvar.exe");
    EXPECT_EQ(modMain::iSkin, 0);
}
