#include "Prompts.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "ComApartment.h"
#include "Libraries.h"

int Prompts::Message(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

void Prompts::Beep() { MessageBeep(MB_OK); }

namespace {

// The file-open dialog; the chosen names in its buffer, in the platform's form.
std::vector<wchar_t> RunOpenDialog(HWND owner, const std::wstring& title, const std::wstring& filter, DWORD flags) {
    std::vector<wchar_t> names(32768, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = static_cast<DWORD>(names.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | flags;
    // The dialog's library is loaded on first use: importing it would slow every start, and most
    // runs never open a file dialog. It stays loaded for the rest of the run.
    static const auto getOpenFileName = reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEW*)>(
        reinterpret_cast<void*>(GetProcAddress(LoadSystemLibrary(L"comdlg32.dll"), "GetOpenFileNameW")));
    if (!getOpenFileName || !getOpenFileName(&ofn)) names.assign(2, L'\0');
    return names;
}

}  // namespace

std::optional<std::wstring> Prompts::OpenFile(HWND owner, const std::wstring& title, const std::wstring& filter) {
    // Nothing but the Explorer style: the name goes back as typed, an existing file or not.
    const std::vector<wchar_t> names = RunOpenDialog(owner, title, filter, 0);
    if (names[0] == L'\0') return std::nullopt;
    return std::wstring(names.data());
}

std::vector<std::wstring> Prompts::OpenFiles(HWND owner, const std::wstring& title, const std::wstring& filter) {
    // One file comes as its full path; several as the folder and then each name, NUL after each.
    const std::vector<wchar_t> names = RunOpenDialog(
        owner, title, filter,
        OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
    std::vector<std::wstring> parts;
    for (const wchar_t* part = names.data(); *part; part += wcslen(part) + 1) parts.emplace_back(part);
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> files;
    for (size_t i = 1; i < parts.size(); ++i)
        files.push_back(parts[0] + (parts[0].ends_with(L'\\') ? L"" : L"\\") + parts[i]);
    return files;
}

DWORD Prompts::StartElevated(HWND owner, const std::wstring& program, const std::wstring& parameters,
                             const std::wstring& folder, int showCommand) {
    // Loaded on first use, like the file dialog's library: few starts ever need it.
    static const auto shellExecuteEx = reinterpret_cast<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(
        reinterpret_cast<void*>(GetProcAddress(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteExW")));
    if (!shellExecuteEx) return ERROR_PROC_NOT_FOUND;
    // ShellExecuteExW may hand the start to COM objects: it requires COM, single-threaded, on the
    // calling thread.
    const ComApartment com;
    SHELLEXECUTEINFOW info = {sizeof info};
    // NOASYNC: the start is done when this returns, even in a Varpick that ends right after it.
    // FLAG_NO_UI: a failure is told by the caller, not by the shell too.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    // The consent prompt comes to the front over its owner; without one it may only flash in the taskbar.
    info.hwnd = owner;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = showCommand;
    return shellExecuteEx(&info) ? ERROR_SUCCESS : GetLastError();
}

void Prompts::EndProgram(UINT exitCode) { ExitProcess(exitCode); }

namespace {
Prompts g_platformPrompts;
Prompts* g_prompts = &g_platformPrompts;
}  // namespace

Prompts& CurrentPrompts() { return *g_prompts; }

void SetPrompts(Prompts* prompts) { g_prompts = prompts ? prompts : &g_platformPrompts; }
