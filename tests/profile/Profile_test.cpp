#include "profile/Profile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

int CountOccurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

TEST(GetFromINI, MissingKeyWithEmptyDefaultReadsEmptyAndCreatesNothing) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"none.ini";
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_FALSE(PathExists(ini));

    WriteBytes(ini, "[mods]\r\nother=1\r\n");
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_EQ(*ReadBytes(ini), "[mods]\r\nother=1\r\n");
}

TEST(GetFromINI, MissingOrEmptyKeyGetsItsDefaultWrittenBack) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"settings.ini";

    EXPECT_EQ(GetFromINI(L"Main", L"Skin", L"1", ini), L"1");
    EXPECT_EQ(ReadIniKey(ini, L"Main", L"Skin"), L"1") << "a missing file is created with the default";

    WriteBytes(ini, "[Main]\r\nSkin=\r\nVarmothPath=C:\\x.exe\r\n");
    EXPECT_EQ(GetFromINI(L"Main", L"Skin", L"1", ini), L"1");
    EXPECT_EQ(ReadIniKey(ini, L"Main", L"Skin"), L"1") << "an empty value counts as missing";
    EXPECT_EQ(ReadIniKey(ini, L"Main", L"VarmothPath"), L"C:\\x.exe");
}

TEST(GetFromINI, ReadsStoredValuesWithAnyLetterCaseAndCutsLongOnes) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    const std::string longValue(300, 'v');
    WriteBytes(ini, "[MAIN]\r\nSKIN=3\r\nlong=" + longValue + "\r\nspaced =  caf\xE9  \r\n");

    EXPECT_EQ(GetFromINI(L"Main", L"skin", L"1", ini), L"3");
    EXPECT_EQ(GetFromINI(L"main", L"long", L"", ini), std::wstring(254, L'v'));
    EXPECT_EQ(GetFromINI(L"Main", L"spaced", L"", ini), L"caf\u00E9") << "bytes are read in the 8-bit code page";
}

TEST(AddToINI, UpdatesInPlaceAndLeavesOtherSectionsAndKeys) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"Varmoth.ini";
    WriteBytes(ini, "[video]\r\nwidth=800\r\n\r\n[MODS]\r\nCURRENTMOD=old.mdf\r\nkeep=yes\r\n[sound]\r\nvolume=7\r\n");

    EXPECT_TRUE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini));

    const std::string text = *ReadBytes(ini);
    EXPECT_EQ(CountOccurrences(text, "old.mdf"), 0);
    EXPECT_EQ(CountOccurrences(text, "new.mdf"), 1) << text;
    EXPECT_EQ(CountOccurrences(text, "[MODS]") + CountOccurrences(text, "[mods]"), 1) << text;
    EXPECT_EQ(ReadIniKey(ini, L"video", L"width"), L"800");
    EXPECT_EQ(ReadIniKey(ini, L"mods", L"keep"), L"yes");
    EXPECT_EQ(ReadIniKey(ini, L"sound", L"volume"), L"7");
}

TEST(AddToINI, WritesNewFilesInTheCodePageWithCrLf) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"new.ini";
    EXPECT_TRUE(AddToINI(L"Main", L"VarmothPath", L"C:\\Spiele\\M\u00FCll\\Mothvar.exe", ini));
    EXPECT_TRUE(AddToINI(L"Main", L"Skin", L"0", ini));
    EXPECT_EQ(*ReadBytes(ini), "[Main]\r\nVarmothPath=C:\\Spiele\\M\xFCll\\Mothvar.exe\r\nSkin=0\r\n");
}

TEST(AddToINI, ReportsFailuresInsteadOfWritingWrongText) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"Varmoth.ini";
    WriteBytes(ini, "[mods]\r\nCurrentmod=old.mdf\r\n");

    SetLastError(0);
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"\u6F22.mdf", ini));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(*ReadBytes(ini), "[mods]\r\nCurrentmod=old.mdf\r\n") << "no '?' may reach the file";

    {
        UniqueFileHandle held = HoldExclusively(ini);
        ASSERT_TRUE(held);
        EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", ini)) << "file held open by another program";
    }
    EXPECT_EQ(ReadIniKey(ini, L"mods", L"Currentmod"), L"old.mdf");

    const std::wstring folderInPlace = folder / L"dir.ini";
    ASSERT_TRUE(CreateDirectoryW(folderInPlace.c_str(), nullptr));
    EXPECT_FALSE(AddToINI(L"mods", L"Currentmod", L"new.mdf", folderInPlace)) << "a folder where the file should be";
}
