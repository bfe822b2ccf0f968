#include "Profile.h"

#include <windows.h>

#include "../text/ProfileText.h"
#include "AnsiText.h"
#include "FileIO.h"

namespace {

constexpr size_t kValueBufferLength = 256;
// A settings file is a few hundred bytes. A much larger one is no settings file, and the
// platform reads and rewrites such a file whole for every key, which takes minutes.
constexpr ULONGLONG kLargestSettingsFile = 1 << 20;

bool IsOversized(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) > kLargestSettingsFile;
}

bool IsOversized(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) && IsOversized(data);
}

// The copy the keys are written into: the file's bytes as they are. Written here rather than
// copied, it gets a time stamp of its own: the platform caches INI files by name and time stamp,
// and a copy under the same name and time as an earlier one could be served its old contents.
DWORD WriteCopy(const std::wstring& copy, const std::string& bytes) {
    DWORD error = ERROR_SUCCESS;
    const UniqueFileHandle file = CreateTemporaryFile(copy, error);
    if (!file) return error;
    DWORD written = 0;
    if (!bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    return ERROR_SUCCESS;
}

DWORD FlushCopy(const std::wstring& copy) {
    UniqueFileHandle file;
    const DWORD error = RetryWhileHeld(copy, [&] {
        file.reset(CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? ERROR_SUCCESS : GetLastError();
    });
    if (error != ERROR_SUCCESS) return error;
    return FlushFileBuffers(file.get()) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

std::optional<std::wstring> ReadFromINI(const std::wstring& sSection, const std::wstring& sKey,
                                        const std::wstring& sIniFile) {
    if (IsOversized(sIniFile)) return std::nullopt;
    // The platform gets an empty default: only the count tells whether the key gave anything. A
    // count of the buffer's length less one may be a value cut to fit: read again with more room.
    const auto platformRead = [&] {
        std::wstring buffer(kValueBufferLength, L'\0');
        DWORD count = 0;
        while ((count = GetPrivateProfileStringW(sSection.c_str(), sKey.c_str(), L"", buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), sIniFile.c_str())) ==
               buffer.size() - 1)
            buffer.resize(buffer.size() * 2);
        return buffer.substr(0, count);
    };
    if (std::wstring value = platformRead(); !value.empty()) return value;
    // Nothing: the key is missing or empty, or the platform could not read the file, which it does
    // not tell. Read it here, waiting out a passing hold; once it is read, ask the platform again.
    const FileRead read = ReadWholeFile(sIniFile);
    if (read.error == ERROR_FILE_NOT_FOUND || read.error == ERROR_PATH_NOT_FOUND) return L"";
    if (read.error != ERROR_SUCCESS) return std::nullopt;
    if (std::wstring value = platformRead(); !value.empty()) return value;
    // Still nothing, for a value the text holds: held again, or one too long for the platform.
    if (ProfileMayHoldValue(FromAnsi(read.bytes), sSection, sKey)) return std::nullopt;
    return L"";
}

std::wstring GetFromINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                        const std::wstring& sIniFile, bool* bUnread) {
    const std::optional<std::wstring> value = ReadFromINI(sSection, sKey, sIniFile);
    if (bUnread) *bUnread = !value;
    if (value && !value->empty()) return *value;
    if (value && !sDefault.empty()) AddToINI(sSection, sKey, sDefault, sIniFile);
    return sDefault;
}

bool AddToINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
              const std::wstring& sIniFile) {
    return IniEdit(sIniFile).Set(sSection, sKey, sValue).Save();
}

IniEdit& IniEdit::Set(std::wstring sSection, std::wstring sKey, std::wstring sValue) {
    keys_.push_back({std::move(sSection), std::move(sKey), std::move(sValue)});
    return *this;
}

bool IniEdit::Save() const {
    const DWORD error = Replace();
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

unsigned long IniEdit::Replace() const {
    for (const Key& key : keys_) {
        for (const std::wstring* text : {&key.section, &key.key, &key.value}) {
            // The file is in the 8-bit code page; the platform would write '?' for what it can't hold.
            if (!FitsAnsi(*text)) return ERROR_NO_UNICODE_TRANSLATION;
            // A line break inside a text would split its line: readers would see another key, or none.
            if (text->find_first_of(L"\r\n") != std::wstring::npos) return ERROR_INVALID_DATA;
        }
    }
    const FileLock lock(file_);
    if (!lock.Held()) return ERROR_TIMEOUT;
    WIN32_FILE_ATTRIBUTE_DATA original = {};
    if (GetFileAttributesExW(file_.c_str(), GetFileExInfoStandard, &original) && IsOversized(original))
        return ERROR_FILE_TOO_LARGE;
    // Fails as the platform's own write would while another program holds the file unshared.
    const FileRead read = ReadWholeFile(file_);
    if (read.error != ERROR_SUCCESS && read.error != ERROR_FILE_NOT_FOUND) return read.error;

    const std::wstring copy = TemporaryFileFor(file_);
    DWORD error = WriteCopy(copy, read.bytes);
    // The copy is a new file: a scanner may hold it between these steps.
    for (const Key& key : keys_) {
        if (error == ERROR_SUCCESS)
            error = RetryWhileHeld(copy, [&] {
                return WritePrivateProfileStringW(key.section.c_str(), key.key.c_str(), key.value.c_str(), copy.c_str())
                           ? ERROR_SUCCESS
                           : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
            });
    }
    if (error == ERROR_SUCCESS) error = FlushCopy(copy);
    if (error == ERROR_SUCCESS) error = MoveIntoPlace(copy, file_);
    if (error != ERROR_SUCCESS) RemoveTemporaryFile(copy);
    return error;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}
