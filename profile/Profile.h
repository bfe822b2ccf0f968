#pragma once
// Reading and writing one key of an INI profile file, shared by Varpick and Vartune.
// Always pass a full path: the platform resolves a bare file name to the Windows folder.
#include <string>

// The key's value, or sDefault when the key is missing or empty. A non-empty default is written
// back into the file at once, so the file then holds the value in use. Values longer than 254
// characters come back cut to their first 254. A file over 1 MB is no settings file: it gives the
// default and is not written.
std::wstring GetFromINI(const std::wstring& sSection, const std::wstring& sKey,
                        const std::wstring& sDefault, const std::wstring& sIniFile);

// Writes the key, creating the file, section or key line as needed, and leaves every other line
// alone. False when the write failed (GetLastError says why), including when a text has
// characters that the file's 8-bit code page cannot hold (ERROR_NO_UNICODE_TRANSLATION) or a
// line break (ERROR_INVALID_DATA), and when the file is over 1 MB (ERROR_FILE_TOO_LARGE).
bool AddToINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
              const std::wstring& sIniFile);

// The folder that holds the running program's executable, where both programs keep their files.
std::wstring ProgramFolder();
