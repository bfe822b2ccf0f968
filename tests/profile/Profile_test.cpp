#include "profile/Profile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

// Letter case, write-back, in-place updates and failed writes are shown by the programs' own tests.
TEST(Profile, ReadsAndWritesTheCodePageReadsLongValuesWholeAndRefusesWhatItCannotHold) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_FALSE(ReadBytes(ini)) << "an empty default creates nothing";
    const std::string text = "[main]\r\nlong=" + std::string(300, 'v') + "\r\nspaced =  caf\xE9 \x80  \r\n";  // code page 1252
    WriteBytes(ini, text);
    EXPECT_EQ(GetFromINI(L"main", L"long", L"", ini), std::wstring(300, L'v'));
    EXPECT_EQ(GetFromINI(L"Main", L"spaced", L"", ini), L"caf\u00E9 \u20AC");
    // Each of these would otherwise reach the file as '?' or as a look-alike letter.
    for (const wchar_t* other : {L"\u6F22.mdf", L"\u0101bc.mdf", L"x\U0001F600.mdf"})
        EXPECT_TRUE(!AddToINI(L"main", L"spaced", other, ini) && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) << static_cast<int>(other[0]);
    EXPECT_EQ(ReadBytes(ini), text);
    const std::wstring huge = folder / L"huge.ini";  // no settings file: neither read, completed nor written
    WriteBytes(huge, "[main]\r\nkey=value\r\n" + std::string(1 << 20, ';'));
    EXPECT_TRUE(GetFromINI(L"main", L"key", L"default", huge) == L"default" && !AddToINI(L"main", L"key", L"v", huge) && GetLastError() == ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(ReadBytes(huge)->size(), 19u + (1 << 20));
    EXPECT_TRUE(AddToINI(L"main", L"new", L"M\u00FCll", ini));
    EXPECT_TRUE(ReadBytes(ini)->ends_with("\r\nnew=M\xFCll\r\n"));
}

// An edit leaves the file as the platform's own writes would, replaced in one step: all its keys or
// none, attributes kept, a read-only file left alone, a crash's leftover never read, each edit seen.
TEST(Profile, AnEditIsThePlatformsWriteOfAllItsKeysOrNone) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"game.ini", platform = folder / L"platform.ini";
    const std::string game = "; the game's\r\n[Video]\r\nGamma = 1.2\r\n\r\n[mods]\r\nCurrentMod=a.mdf\r\n[MODS]\r\nlanguage=en\r\n";
    WriteBytes(ini, game);
    WriteBytes(platform, game);
    WriteBytes(ini + L".tmp", "[mods]\r\ncurrentmod=left by a crash\r\n");
    const std::pair<const wchar_t*, const wchar_t*> keys[] = {{L"MODS", L"currentmod"}, {L"sound", L"volume"}, {L"mods", L"language"}};
    IniEdit edit(ini);
    for (const auto& [section, key] : keys) {
        edit.Set(section, key, L"b.mdf");
        WritePrivateProfileStringW(section, key, L"b.mdf", platform.c_str());
    }
    EXPECT_TRUE(edit.Save());
    EXPECT_EQ(ReadBytes(ini), ReadBytes(platform));
    EXPECT_FALSE(ReadBytes(ini + L".tmp")) << "no temporary file stays";
    EXPECT_FALSE(IniEdit(ini).Set(L"mods", L"currentmod", L"c.mdf").Set(L"mods", L"x", L"a\nb").Save() || GetLastError() != ERROR_INVALID_DATA) << "a line break would split the key's line";
    EXPECT_EQ(ReadBytes(ini), ReadBytes(platform)) << "none of the keys";
    for (int round = 0; round < 20; ++round) {  // within one tick of the file system's clock too
        ASSERT_TRUE(AddToINI(L"mods", L"round", std::to_wstring(round), ini));
        ASSERT_EQ(GetFromINI(L"mods", L"round", L"", ini), std::to_wstring(round));
    }
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(AddToINI(L"mods", L"currentmod", L"d.mdf", ini) && (GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(!AddToINI(L"mods", L"currentmod", L"e.mdf", ini) && GetLastError() == ERROR_ACCESS_DENIED);
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"d.mdf");
    EXPECT_TRUE(AddToINI(L"new", L"key", L"v", folder / L"new.ini") && ReadBytes(folder / L"new.ini") == "[new]\r\nkey=v\r\n");
}
