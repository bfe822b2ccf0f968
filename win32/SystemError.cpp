#include "SystemError.h"

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

// Why Windows may have refused access to `file`, and what the player can do about it.
std::wstring AccessDeniedAdvice(const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"A folder of that name stands where the file belongs: move or rename the folder.";
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return L"The file is read-only: clear its \"Read-only\" attribute (Properties, General tab) and try again.";
    const std::wstring program = ProgramName();
    return L"The folder may need administrator rights: start " + program + L" as administrator, or keep the game "
           L"outside \"Program Files\". Or Windows Security's ransomware protection may be keeping " + program +
           L" out: allow it under Windows Security, Virus & threat protection, Ransomware protection, \"Allow an app "
           L"through Controlled folder access\".";
}

}  // namespace

std::wstring FileError::Describe() const {
    std::wstring text = L"\"" + sFile + L"\"\r\n" + SystemErrorText(code, sFile);
    if (code == ERROR_ACCESS_DENIED) text += L"\r\n\r\n" + AccessDeniedAdvice(sFile);
    return text;
}
