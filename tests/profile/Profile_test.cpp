#include "profile/Profile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

// Letter case, write-back, in-place updates and failed writes are shown by the programs' own tests.
TEST(Profile, ReadsAndWritesTheCodePageCutsLongValuesAndRefusesWhatItCannotHold) {
    ScratchFolder folder;
    const std::wstring ini = folder / L"a.ini";
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"");
    EXPECT_FALSE(ReadBytes(ini)) << "an empty default creates nothing";
    const std::string text = "[main]\r\nlong=" + std::string(300, 'v') + "\r\nspaced =  caf\xE9 \x80  \r\n";  // code page 1252
    WriteBytes(ini, text);
    EXPECT_EQ(GetFromINI(L"main", L"long", L"", ini), std::wstring(254, L'v'));
    EXPECT_EQ(GetFromINI(L"Main", L"spaced", L"", ini), L"caf\u00E9 \u20AC");
    // Each of these would otherwise reach the file as '?' or as a look-alike letter.
    for (const wchar_t* other : {L"\u6F22.mdf", L"\u0101bc.mdf", L"x\U0001F600.mdf"})
        EXPECT_TRUE(!AddToINI(L"main", L"spaced", other, ini) && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) << static_cast<int>(other[0]);
    for (const wchar_t* broken : {L"a\rb.mdf", L"a\nb.mdf"})  // a line break would split the key's line
        EXPECT_TRUE(!AddToINI(L"main", L"spaced", broken, ini) && GetLastError() == ERROR_INVALID_DATA);
    EXPECT_EQ(ReadBytes(ini), text);
    const std::wstring huge = folder / L"huge.ini";  // no settings file: neither read, completed nor written
    WriteBytes(huge, "[main]\r\nkey=value\r\n" + std::string(1 << 20, ';'));
    EXPECT_TRUE(GetFromINI(L"main", L"key", L"default", huge) == L"default" && !AddToINI(L"main", L"key", L"v", huge) && GetLastError() == ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(ReadBytes(huge)->size(), 19u + (1 << 20));
    EXPECT_TRUE(AddToINI(L"main", L"new", L"M\u00FCll", ini));
    EXPECT_TRUE(ReadBytes(ini)->ends_with("\r\nnew=M\xFCll\r\n"));
}
