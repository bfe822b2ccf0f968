#include "SystemError.h"

#include <string_view>

std::wstring SystemErrorText(DWORD code, const std::wstring& name) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"Error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    // The system's texts have places for inserts ("%1 is not a valid application"): the name
    // goes there, or the place goes.
    for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at)) {
        if (at + 1 < text.size() && text[at + 1] >= L'1' && text[at + 1] <= L'9') {
            text.replace(at, 2, name.empty() ? L"The file" : name);
            at += name.empty() ? 8 : name.size();
        } else {
            ++at;
        }
    }
    return text;
}

namespace {

// This program's file name ("Varpick.exe"), as the player finds it in the folder and in Windows' lists.
std::wstring ProgramName() {
    wchar_t path[MAX_PATH * 4] = {};
    const std::wstring full(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
    return full.substr(full.find_last_of(L'\\') + 1);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// True when this program may make a new file in `folder`: one of a unique name, made and deleted
// again at once. A folder too long for the system's unique names is not asked about.
bool NewFileAllowed(const std::wstring& folder) {
    wchar_t made[MAX_PATH] = {};
    if (folder.size() > MAX_PATH - 14) return true;
    if (!GetTempFileNameW(folder.c_str(), L"vpk", 0, made)) return false;
    DeleteFileW(made);
    return true;
}

// A network drive: mapped to a letter, or named by its server. A program run as administrator
// does not see the letters the player mapped, so that is no way out there.
bool OnNetworkDrive(const std::wstring& folder) {
    if (folder.starts_with(L"\\\\") && !folder.starts_with(L"\\\\?\\") && !folder.starts_with(L"\\\\.\\"))
        return true;
    return folder.size() >= 2 && folder[1] == L':' &&
           GetDriveTypeW((folder.substr(0, 2) + L"\\").c_str()) == DRIVE_REMOTE;
}

// The folder Windows keeps for administrators that `folder` lies in, as the player knows it
// ("Program Files", "Windows"); empty when it lies in none.
std::wstring ProtectedPlace(const std::wstring& folder, bool& programFiles) {
    for (const wchar_t* variable : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"}) {
        wchar_t place[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(variable, place, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || folder.size() < length ||
            CompareStringOrdinal(folder.c_str(), static_cast<int>(length), place, static_cast<int>(length), TRUE) !=
                CSTR_EQUAL ||
            (folder.size() > length && folder[length] != L'\\'))
            continue;
        programFiles = std::wstring_view(variable) != L"SystemRoot";
        const std::wstring name(place);
        return L"\"" + name.substr(name.find_last_of(L'\\') + 1) + L"\"";
    }
    return L"";
}

// Why Windows may have refused `code` for `file`, and what the player can do about it; empty when
// there is nothing to add to the system's own text. Controlled folder access refuses a new file
// with ERROR_ACCESS_DENIED or ERROR_FILE_NOT_FOUND alike.
std::wstring RefusalAdvice(const std::wstring& file, DWORD code) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return L"A folder of that name stands where the file belongs: move or rename the folder.";
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return L"The file is read-only: clear its \"Read-only\" attribute (Properties, General tab) and try again.";
    }
    const std::wstring folder = file.substr(0, file.find_last_of(L"\\/"));
    if (!IsFolder(folder)) return L"";
    const bool newFilesRefused = !NewFileAllowed(folder);
    if (code != ERROR_ACCESS_DENIED && !newFilesRefused) return L"";
    const std::wstring program = ProgramName();
    bool programFiles = false;
    std::wstring advice;
    if (OnNetworkDrive(folder)) {
        advice = L"The folder is on a network drive, whose owner decides who may change files there.";
    } else if (const std::wstring place = ProtectedPlace(folder, programFiles); !place.empty()) {
        // The 32-bit build declares no execution level, so Windows lets it write there, into the
        // player's VirtualStore; a 64-bit program is never redirected so.
        advice = L"Windows lets only administrators change files in " + place + L": start " + program +
                 L" as administrator" +
                 (programFiles && sizeof(void*) == 8 ? L", or use the x86 build of Varpick and Vartune, whose files "
                                                       L"Windows keeps for you in your VirtualStore"
                                                     : L"") +
                 L", or keep the game outside " + place + L".";
    } else if (!newFilesRefused) {
        advice = L"Your account may not change the file: check its permissions (Properties, Security tab).";
    }
    if (!advice.empty() && newFilesRefused) advice += L" ";
    if (newFilesRefused)
        advice += L"Security software may be keeping " + program +
                  L" from making files in the folder: Windows Security's ransomware protection (Controlled folder "
                  L"access) blocks programs it does not know. Allow " + program + L" under Windows Security, Virus & "
                  L"threat protection, Ransomware protection, \"Allow an app through Controlled folder access\", or in "
                  L"your other security software.";
    return advice;
}

}  // namespace

std::wstring FileError::Describe() const {
    std::wstring text = L"\"" + sFile + L"\"\r\n" + SystemErrorText(code, sFile);
    if (code == ERROR_FILE_TOO_LARGE)
        return text + L"\r\n\r\nIt is over 1 MB, far more than a settings file holds, so it is likely damaged: move "
                      L"it aside or delete it, and a new one is written with the defaults.";
    if (const std::wstring advice = RefusalAdvice(sFile, code); !advice.empty()) text += L"\r\n\r\n" + advice;
    return text;
}
