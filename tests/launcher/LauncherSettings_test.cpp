#include <gtest/gtest.h>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

namespace {

class LauncherSettings : public testing::Test {
protected:
    void SetUp() override {
        modMain::SetAppFolder(folder.path());
        modMain::sVarmothPath.clear();
        modMain::iSkin = 0;
    }
    std::wstring Settings() const { return folder / L"Varpick.ini"; }

    ScratchFolder folder;
};

}  // namespace

TEST_F(LauncherSettings, FirstStartCreatesTheFileWithDefaults) {
    modMain::LoadLauncherSettings();
    EXPECT_EQ(modMain::sVarmothPath, folder / L"Mothvar.exe");
    EXPECT_EQ(modMain::iSkin, 0);
    // The folder's name cannot be written in the 8-bit code page, so only the skin line is
    // checked byte for byte; the path is refused rather than stored with '?'.
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), L"0");
}

TEST_F(LauncherSettings, FirstStartInAPlainFolderWritesBothKeysInOrder) {
    ScratchFolder plain(ScratchFolder::Name::Plain);
    modMain::SetAppFolder(plain.path());

    modMain::LoadLauncherSettings();
    const std::optional<std::string> text = ReadBytes(plain / L"Varpick.ini");
    ASSERT_TRUE(text);
    std::string expectedPath(plain.path().begin(), plain.path().end());
    EXPECT_EQ(*text, "[Main]\r\nVarmothPath=" + expectedPath + "\\Mothvar.exe\r\nSkin=0\r\n");
}

TEST_F(LauncherSettings, MissingOrEmptySkinMeansOneAndIsWrittenBack) {
    for (const char* skinLine : {"", "Skin=\r\n"}) {
        SCOPED_TRACE(skinLine);
        WriteBytes(Settings(), std::string("[Main]\r\nVarmothPath=D:\\Games\\Mothvar.exe\r\n") + skinLine);
        modMain::LoadLauncherSettings();
        EXPECT_EQ(modMain::sVarmothPath, L"D:\\Games\\Mothvar.exe");
        EXPECT_EQ(modMain::iSkin, 1);
        EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), L"1");
    }
}

TEST_F(LauncherSettings, SkinValuesThatAreNoWholeNumberCountAsOneAndStayInTheFile) {
    const struct {
        const char* stored;
        int skin;
    } cases[] = {
        {"0", 0}, {"3", 3}, {" 2 ", 2}, {"-1", -1}, {"7", 7}, {"32767", 32767}, {"-32768", -32768},
        {"abc", 1}, {"1.5", 1}, {"32768", 1}, {"99999", 1}, {"2x", 1}, {"-", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteBytes(Settings(), std::string("[Main]\r\nVarmothPath=x\r\nSkin=") + c.stored + "\r\n");
        modMain::LoadLauncherSettings();
        EXPECT_EQ(modMain::iSkin, c.skin);
        std::string stored = c.stored;
        while (!stored.empty() && stored.back() == ' ') stored.pop_back();
        while (!stored.empty() && stored.front() == ' ') stored.erase(0, 1);
        EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), std::wstring(stored.begin(), stored.end()));
    }
}

TEST_F(LauncherSettings, OtherLetterCaseAndOtherSectionsSurviveLoadAndSave) {
    WriteBytes(Settings(), "[Window]\r\nLeft=10\r\n[MAIN]\r\nvarmothpath=E:\\M.exe\r\nSKIN=2\r\nExtra=keep\r\n");
    modMain::LoadLauncherSettings();
    EXPECT_EQ(modMain::sVarmothPath, L"E:\\M.exe");
    EXPECT_EQ(modMain::iSkin, 2);

    modMain::sVarmothPath = L"F:\\Other\\Mothvar.exe";
    modMain::iSkin = -1;
    modMain::SaveLauncherSettings();

    const std::string text = *ReadBytes(Settings());
    EXPECT_EQ(ReadIniKey(Settings(), L"Window", L"Left"), L"10");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Extra"), L"keep");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"VarmothPath"), L"F:\\Other\\Mothvar.exe");
    EXPECT_EQ(ReadIniKey(Settings(), L"Main", L"Skin"), L"-1");
    EXPECT_EQ(text.find("[Main]"), std::string::npos) << "no second section may appear:\n" << text;
}

TEST_F(LauncherSettings, AnUnreadableSettingsFileCountsAsMissing) {
    WriteBytes(Settings(), "[Main]\r\nVarmothPath=E:\\M.exe\r\nSkin=2\r\n");
    UniqueFileHandle held = HoldExclusively(Settings());
    ASSERT_TRUE(held);
    modMain::LoadLauncherSettings();  // its writes fail, silently
    EXPECT_EQ(modMain::sVarmothPath, folder / L"Mothvar.exe");
    EXPECT_EQ(modMain::iSkin, 0);
}
