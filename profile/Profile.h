#pragma once
// Reading and writing keys of an INI profile file, shared by Varpick and Vartune.
// Always pass a full path: the platform resolves a bare file name to the Windows folder.
#include <optional>
#include <string>
#include <vector>

// The key's value as the platform's profile reader gives it: "" when the key is missing or empty
// or there is no file. Nothing when the file is there but could not be read, so that nobody takes
// the key for missing: another program held it, or a range of it, past a passing hold (which is
// waited out); access is denied; the value is one the platform cannot read (65,536 characters or
// more); or the file is over 1 MB, which is no settings file. A value comes back whole, whatever
// its length.
std::optional<std::wstring> ReadFromINI(const std::wstring& sSection, const std::wstring& sKey,
                                        const std::wstring& sIniFile);

// The key's value, or sDefault when the key is missing or empty. A non-empty default is written
// back into the file at once, so the file then holds the value in use; but only for a key truly
// missing from a file that was read: where ReadFromINI gives nothing, the default comes back
// unwritten and `bUnread`, if given, is set.
std::wstring GetFromINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                        const std::wstring& sIniFile, bool* bUnread = nullptr);

// Writes one key, as one IniEdit.
bool AddToINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
              const std::wstring& sIniFile);

// Keys written into one INI file together, all or none. The platform's profile function writes
// them into a copy of the file beside it, creating the file, section or key line as needed and
// leaving every other line alone; the copy reaches the disk and one rename puts it in place. So
// a crash at any moment leaves the old file or the new one, whole.
class IniEdit {
public:
    explicit IniEdit(std::wstring sIniFile) : file_(std::move(sIniFile)) {}

    // Adds a key to write; nothing reaches the file before Save.
    IniEdit& Set(std::wstring sSection, std::wstring sKey, std::wstring sValue);

    // Writes every key set, in order. False when the file was left as it was (GetLastError says
    // why), including when a text has characters that the file's 8-bit code page cannot hold
    // (ERROR_NO_UNICODE_TRANSLATION) or a line break (ERROR_INVALID_DATA), when the file is over
    // 1 MB (ERROR_FILE_TOO_LARGE) and when it is read-only (ERROR_ACCESS_DENIED).
    bool Save() const;

private:
    struct Key {
        std::wstring section, key, value;
    };
    unsigned long Replace() const;

    std::wstring file_;
    std::vector<Key> keys_;
};

// The folder that holds the running program's executable, where both programs keep their files.
std::wstring ProgramFolder();
