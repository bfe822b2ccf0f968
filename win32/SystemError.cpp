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

std::wstring FileError::Describe() const {
    return L"\"" + sFile + L"\"\r\n" + SystemErrorText(code, sFile);
}
