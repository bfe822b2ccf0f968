#include "Profile.h"

#include <windows.h>

#include "AnsiText.h"

namespace {

constexpr DWORD kValueBufferLength = 255;
// A settings file is a few hundred bytes. A much larger one is no settings file, and the
// platform reads and rewrites such a file whole for every key, which takes minutes.
constexpr ULONGLONG kLargestSettingsFile = 1 << 20;

bool IsOversized(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) &&
           (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) > kLargestSettingsFile;
}

}  // namespace

std::wstring GetFromINI(const std::wstring& sSection, const std::wstring& sKey,
                        const std::wstring& sDefault, const std::wstring& sIniFile) {
    if (IsOversized(sIniFile)) return sDefault;  // neither read nor completed
    wchar_t buffer[kValueBufferLength] = {};
    // The platform gets an empty default: only the count tells whether the key gave anything.
    const DWORD count = GetPrivateProfileStringW(sSection.c_str(), sKey.c_str(), L"", buffer,
                                                 kValueBufferLength, sIniFile.c_str());
    if (count != 0) return std::wstring(buffer);
    if (!sDefault.empty()) AddToINI(sSection, sKey, sDefault, sIniFile);
    return sDefault;
}

bool AddToINI(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
              const std::wstring& sIniFile) {
    // The file is stored in the 8-bit code page; the platform would write '?' for what it can't hold.
    if (!FitsAnsi(sSection) || !FitsAnsi(sKey) || !FitsAnsi(sValue)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    // A line break inside a text would split its line: readers would see another key, or none.
    for (const std::wstring* text : {&sSection, &sKey, &sValue}) {
        if (text->find_first_of(L"\r\n") != std::wstring::npos) {
            SetLastError(ERROR_INVALID_DATA);
            return false;
        }
    }
    if (IsOversized(sIniFile)) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    return WritePrivateProfileStringW(sSection.c_str(), sKey.c_str(), sValue.c_str(),
                                      sIniFile.c_str()) != FALSE;
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
