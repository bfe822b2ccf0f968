#include "Prompts.h"

#include <commdlg.h>

#include <vector>

int Prompts::Message(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

void Prompts::Beep() { MessageBeep(MB_OK); }

std::optional<std::wstring> Prompts::OpenFile(HWND owner, const std::wstring& title,
                                              const std::wstring& filter) {
    std::vector<wchar_t> fileName(32768, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = fileName.data();
    ofn.nMaxFile = static_cast<DWORD>(fileName.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_EXPLORER;
    // The dialog's library is loaded on first use: importing it would slow every start, and most
    // runs never open a file dialog. It stays loaded for the rest of the run.
    static const auto getOpenFileName = reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEW*)>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"comdlg32.dll"), "GetOpenFileNameW")));
    if (!getOpenFileName || !getOpenFileName(&ofn) || fileName[0] == L'\0') return std::nullopt;
    return std::wstring(fileName.data());
}

void Prompts::EndProgram(UINT exitCode) { ExitProcess(exitCode); }

namespace {
Prompts g_platformPrompts;
Prompts* g_prompts = &g_platformPrompts;
}  // namespace

Prompts& CurrentPrompts() { return *g_prompts; }

void SetPrompts(Prompts* prompts) { g_prompts = prompts ? prompts : &g_platformPrompts; }
