#include "Prompts.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <cwchar>
#include <vector>

#include "ComApartment.h"
#include "Libraries.h"
#include "UniqueHandle.h"

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

std::vector<std::wstring> Prompts::OpenFiles(HWND owner, const std::wstring& title, const std::wstring& filter,
                                             const std::wstring& folder) {
    // The common item dialog, loaded on first use as the older one is. Unlike GetOpenFileNameW,
    // which may open where the program's last dialog looked (for Varpick.exe, another game's
    // folder), it opens in the folder SetFolder gives, whatever it remembers.
    static const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll"), shell32 = LoadSystemLibrary(L"shell32.dll");
    static const auto coCreateInstance = reinterpret_cast<decltype(&CoCreateInstance)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
    static const auto coTaskMemFree =
        reinterpret_cast<decltype(&CoTaskMemFree)>(reinterpret_cast<void*>(GetProcAddress(ole32, "CoTaskMemFree")));
    static const auto itemFromPath = reinterpret_cast<decltype(&SHCreateItemFromParsingName)>(
        reinterpret_cast<void*>(GetProcAddress(shell32, "SHCreateItemFromParsingName")));
    const ComApartment com;
    ComPtr<IFileOpenDialog> dialog;
    if (!coCreateInstance || !coTaskMemFree || !itemFromPath ||
        FAILED(coCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(dialog.put()))))
        return {};
    // The filter's "name\0pattern\0" pairs.
    std::vector<COMDLG_FILTERSPEC> types;
    for (const wchar_t* part = filter.c_str(); *part; part += wcslen(part) + 1) {
        const wchar_t* pattern = part + wcslen(part) + 1;
        types.push_back({part, pattern});
        part = pattern;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.get()->GetOptions(&options);
    dialog.get()->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR |
                             FOS_FORCEFILESYSTEM);
    dialog.get()->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    dialog.get()->SetTitle(title.c_str());
    ComPtr<IShellItem> start;
    if (SUCCEEDED(itemFromPath(folder.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(start.put()))))
        dialog.get()->SetFolder(start.get());
    ComPtr<IShellItemArray> picked;
    DWORD count = 0;
    if (FAILED(dialog.get()->Show(owner)) || FAILED(dialog.get()->GetResults(picked.put())) ||
        FAILED(picked.get()->GetCount(&count)))
        return {};  // cancelled
    std::vector<std::wstring> files;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        wchar_t* path = nullptr;
        if (FAILED(picked.get()->GetItemAt(i, item.put())) ||
            FAILED(item.get()->GetDisplayName(SIGDN_FILESYSPATH, &path)))
            continue;
        files.emplace_back(path);
        coTaskMemFree(path);
    }
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

DWORD Prompts::Recycle(const std::wstring& path) {
    static const auto fileOperation = reinterpret_cast<int(WINAPI*)(SHFILEOPSTRUCTW*)>(
        reinterpret_cast<void*>(GetProcAddress(LoadSystemLibrary(L"shell32.dll"), "SHFileOperationW")));
    if (!fileOperation) return DeleteFileW(path.c_str()) ? ERROR_SUCCESS : GetLastError();
    const ComApartment com;  // the shell's file operations expect a single-threaded apartment
    const std::wstring from = path + L'\0';  // a list of names, each ending with NUL, then one more
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int result = fileOperation(&operation);
    if (result == 0) return operation.fAnyOperationsAborted ? ERROR_CANCELLED : ERROR_SUCCESS;
    // Some results are the shell's own codes (DE_*, 0x71 and above), not the system's: a file it
    // could not delete, which Windows tells as refused access.
    return result >= 0x71 ? ERROR_ACCESS_DENIED : static_cast<DWORD>(result);
}

void Prompts::EndProgram(UINT exitCode) { ExitProcess(exitCode); }

namespace {
Prompts g_platformPrompts;
Prompts* g_prompts = &g_platformPrompts;
}  // namespace

Prompts& CurrentPrompts() { return *g_prompts; }

void SetPrompts(Prompts* prompts) { g_prompts = prompts ? prompts : &g_platformPrompts; }
