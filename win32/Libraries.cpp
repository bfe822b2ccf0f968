#include "Libraries.h"

#include <cstdlib>
#include <string>

void RestrictLibrarySearch() {
    // Looked up: Windows 7 has it only with its security update KB2533623.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // takes the program's current folder out of the search where the above is missing
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Without the search flags (Windows 7 before KB2533623): the system folder's file by its full path.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
}

// An exception that escapes everything ends the program, which shows no console to print its
// name to; libstdc++'s default handler would bring its whole name demangler into the program.
// Defined here because both programs link this file (RestrictLibrarySearch is their first call).
#if defined(__GLIBCXX__)
namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
