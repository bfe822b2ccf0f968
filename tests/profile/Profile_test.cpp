#include "profile/Profile.h"

#include <gtest/gtest.h>

#include "profile/AnsiText.h"
#include "support/TestSupport.h"

// The test prefix runs in code page 1252, like a western Windows installation.
TEST(AnsiText, TheCodePagesTextRoundTripsAndOtherTextIsRefusedNotReplaced) {
    const std::wstring text = L"mod caf\u00E9 \u20AC5 M\u00FCnchen.mdf";
    ASSERT_EQ(ToAnsi(text), std::string("mod caf\xE9 \x80" "5 M\xFCnchen.mdf"));
    EXPECT_EQ(FromAnsi(*ToAnsi(text)), text);
    // Each of these would otherwise reach the file as '?' or as a look-alike letter.
    for (const wchar_t* other : {L"\u6F22.mdf", L"\u0101bc.mdf", L"x\U0001F600.mdf"}) EXPECT_FALSE(ToAnsi(other));
}

TEST(GetFromINI, ReadsAnyLetterCaseCutsLongValuesAndWritesBackOnlyNonEmptyDefaults) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_FALSE(ReadBytes(ini)) << "an empty default creates nothing";
    const std::string text = "[MAIN]\r\nSKIN=3\r\nlong=" + std::string(300, 'v') + "\r\nspaced =  caf\xE9  \r\n";
    WriteBytes(ini, text);
    EXPECT_EQ(GetFromINI(L"Main", L"skin", L"1", ini) + L"|" + GetFromINI(L"Main", L"spaced", L"", ini) + L"|" +
                  GetFromINI(L"main", L"none", L"", ini), L"3|caf\u00E9|");
    EXPECT_EQ(GetFromINI(L"main", L"long", L"", ini), std::wstring(254, L'v'));
    EXPECT_EQ(ReadBytes(ini), text);
    EXPECT_EQ(GetFromINI(L"main", L"none", L"d", ini), L"d");
    EXPECT_EQ(ReadIniKey(ini, L"MAIN", L"none"), L"d");
}

TEST(AddToINI, UpdatesInPlaceKeepsTheRestAndReportsFailuresInsteadOfWritingWrongText) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"Varmoth.ini";
    const std::string before = "[video]\r\nwidth=800\r\n[MODS]\r\nCURRENTMOD=old.mdf\r\nkeep=yes\r\n[sound]\r\nvolume=7\r\n";
    WriteBytes(ini, before);
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"\u6F22.mdf", ini));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    {
        UniqueFileHandle held = HoldExclusively(ini);
        EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini)) << "held open by another program";
    }
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_TRUE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini));
    EXPECT_EQ(ReadBytes(ini), "[video]\r\nwidth=800\r\n[MODS]\r\nCURRENTMOD=new.mdf\r\nkeep=yes\r\n[sound]\r\nvolume=7\r\n");
    EXPECT_TRUE(AddToINI(L"Main", L"VarmothPath", L"C:\\M\u00FCll\\Mothvar.exe", folder / L"new.ini"));
    EXPECT_EQ(ReadBytes(folder / L"new.ini"), "[Main]\r\nVarmothPath=C:\\M\xFCll\\Mothvar.exe\r\n");
    ASSERT_TRUE(CreateDirectoryW((folder / L"dir.ini").c_str(), nullptr));
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", folder / L"dir.ini"));
}
