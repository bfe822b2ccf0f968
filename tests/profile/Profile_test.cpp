#include "profile/Profile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/TestSupport.h"
#include "win32/SystemError.h"

// GetPrivateProfileStringW as Windows answers for a value of 65,536 characters or more: nothing.
DWORD WINAPI ReadsNothing(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR value, DWORD, LPCWSTR) {
    *value = L'\0';
    return 0;
}

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

    // A key is missing only from a file that was read: one held past a passing hold (which is waited
    // out), or a value the platform's reader cannot read, gives the default unwritten. (Wine does not
    // stop a read at a locked range, as Windows does.)
    const auto read = [&] {
        bool unread = false;
        const std::wstring value = GetFromINI(L"main", L"new", L"1", ini, &unread);
        return value + (unread ? L" unread" : L"");
    };
    const std::string stored = *ReadBytes(ini);
    bool tested = false;  // a loaded machine may spoil a passing hold
    for (int attempt = 0; attempt < 5 && !tested; ++attempt)
        tested = WhileUnwritable(ini, Fault::Passing, [&] { EXPECT_EQ(read(), L"M\u00FCll"); });
    EXPECT_TRUE(tested);
    WhileUnwritable(ini, Fault::Held, [&] { EXPECT_EQ(read(), L"1 unread"); });
    const ImportPatch blind(&GetPrivateProfileStringW, &ReadsNothing);
    EXPECT_TRUE(read() == L"1 unread" && ReadBytes(ini) == stored);
}

// GetTempFileNameW as Windows answers where security software keeps the program from making new
// files, with the error `g_refusal`; GetDriveTypeW for a network drive.
DWORD g_refusal = ERROR_ACCESS_DENIED;
UINT WINAPI NewFilesRefused(LPCWSTR, LPCWSTR, UINT, LPWSTR) {
    SetLastError(g_refusal);
    return 0;
}
UINT WINAPI OnNetwork(LPCWSTR) { return DRIVE_REMOTE; }

// What a refused write says: why Windows refused it, fitting the place, and what to do.
TEST(FileError, SaysWhyWindowsRefusedAndWhatToDo) {
    ScratchFolder folder;
    const std::wstring file = folder / L"Mods.cfg", readOnly = folder / L"Varpick.ini", inPlace = folder / L"Folder";
    WriteBytes(readOnly, "");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(inPlace.c_str(), nullptr);
    const auto advice = [&](const std::wstring& path, DWORD code) {  // what follows the system's reason
        const std::wstring text = FileError{path, code}.Describe();
        return text.substr(std::min(text.find(L"\r\n\r\n"), text.size() - 4) + 4);
    };
    EXPECT_TRUE(advice(inPlace, ERROR_ACCESS_DENIED).starts_with(L"A folder of that name stands where the file"));
    EXPECT_TRUE(advice(readOnly, ERROR_ACCESS_DENIED).starts_with(L"The file is read-only: clear its"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);  // else the folder cannot be removed
    EXPECT_TRUE(advice(file, ERROR_ACCESS_DENIED).starts_with(L"Your account may not change the file"));
    EXPECT_EQ(advice(file, ERROR_FILE_NOT_FOUND) + advice(file, ERROR_SHARING_VIOLATION), L"");
    EXPECT_TRUE(advice(file, ERROR_FILE_TOO_LARGE).starts_with(L"It is over 1 MB"));
    SetEnvironmentVariableW(L"ProgramW6432", folder.path().c_str());  // the game under Program Files
    EXPECT_TRUE(advice(file, ERROR_ACCESS_DENIED).starts_with(L"Windows lets only administrators change files in \"" +
                                                              folder.path().substr(folder.path().rfind(L'\\') + 1) +
                                                              L"\": start profile_tests.exe as administrator, or use "
                                                              L"the x86 build"));
    {
        const ImportPatch refused(&GetTempFileNameW, &NewFilesRefused);
        for (const DWORD code : {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND})
            EXPECT_NE((g_refusal = code, advice(file, code)).find(L"Security software may be keeping profile_tests.exe "
                                                                  L"from making files"), std::wstring::npos);
    }
    SetEnvironmentVariableW(L"ProgramW6432", L"C:\\Program Files");
    const ImportPatch remote(&GetDriveTypeW, &OnNetwork);
    EXPECT_EQ(advice(file, ERROR_ACCESS_DENIED),
              L"The folder is on a network drive, whose owner decides who may change files there.");
}

// An edit leaves the file as the platform's own writes would, replaced in one step: all its keys or
// none, attributes kept, a crash's leftover never read, each edit seen. (A read-only file: Mods.cfg's.)
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
    EXPECT_EQ(GetFromINI(L"mods", L"currentmod", L"", ini), L"d.mdf");
    EXPECT_TRUE(AddToINI(L"new", L"key", L"v", folder / L"new.ini") && ReadBytes(folder / L"new.ini") == "[new]\r\nkey=v\r\n");
}
