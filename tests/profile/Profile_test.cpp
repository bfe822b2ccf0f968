#include "profile/Profile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

TEST(GetFromINI, MissingKeyWithEmptyDefaultReadsEmptyAndCreatesNothing) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_FALSE(PathExists(ini));

    WriteBytes(ini, "[mods]\r\nother=1\r\n");
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_EQ(ReadBytes(ini), "[mods]\r\nother=1\r\n");
}

TEST(GetFromINI, ReadsStoredValuesWithAnyLetterCaseAndCutsLongOnes) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    WriteBytes(ini, "[MAIN]\r\nSKIN=3\r\nlong=" + std::string(300, 'v') + "\r\nspaced =  caf\xE9  \r\n");
    EXPECT_EQ(GetFromINI(L"Main", L"skin", L"1", ini), L"3");
    EXPECT_EQ(GetFromINI(L"main", L"long", L"", ini), std::wstring(254, L'v'));
    EXPECT_EQ(GetFromINI(L"Main", L"spaced", L"", ini), L"caf\u00E9") << "read in the 8-bit code page";
}

TEST(AddToINI, UpdatesInPlaceAndLeavesOtherSectionsAndKeys) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"Varmoth.ini";
    WriteBytes(ini, "[video]\r\nwidth=800\r\n\r\n[MODS]\r\nCURRENTMOD=old.mdf\r\nkeep=yes\r\n[sound]\r\nvolume=7\r\n");
    EXPECT_TRUE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini));

    const std::string text = *ReadBytes(ini);
    EXPECT_EQ(text.find("old.mdf"), std::string::npos);
    EXPECT_EQ(text.find("[mods]"), std::string::npos) << "no second section:\n" << text;
    EXPECT_EQ(ReadIniKey(ini, L"mods", L"currentmod"), L"new.mdf");
    EXPECT_EQ(ReadIniKey(ini, L"video", L"width"), L"800");
    EXPECT_EQ(ReadIniKey(ini, L"mods", L"keep"), L"yes");
    EXPECT_EQ(ReadIniKey(ini, L"sound", L"volume"), L"7");

    const std::wstring created = folder / L"new.ini";
    EXPECT_TRUE(AddToINI(L"Main", L"VarmothPath", L"C:\\M\u00FCll\\Mothvar.exe", created));
    EXPECT_EQ(ReadBytes(created), "[Main]\r\nVarmothPath=C:\\M\xFCll\\Mothvar.exe\r\n");
}

TEST(AddToINI, ReportsFailuresInsteadOfWritingWrongText) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"Varmoth.ini";
    const std::string before = "[mods]\r\nCurrentmod=old.mdf\r\n";
    WriteBytes(ini, before);

    SetLastError(0);
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"\u6F22.mdf", ini));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(ReadBytes(ini), before) << "no '?' may reach the file";
    {
        UniqueFileHandle held = HoldExclusively(ini);
        EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini)) << "held open by another program";
    }
    EXPECT_EQ(ReadBytes(ini), before);

    const std::wstring folderInPlace = folder / L"dir.ini";
    ASSERT_TRUE(CreateDirectoryW(folderInPlace.c_str(), nullptr));
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", folderInPlace));
}
