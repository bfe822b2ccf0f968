#pragma once
// Libraries come from the system's folder only. The programs live in a game's folder, which
// users fill with downloaded files: a library planted there under a system library's name
// (uxtheme.dll, version.dll, dwmapi.dll...) must never be loaded in place of the real one.
#include <windows.h>

// Restricts every later library search of the process to the system folder. First thing in
// wWinMain, before anything may load a library.
void RestrictLibrarySearch();

// The system library `name` (for example L"comdlg32.dll"), loaded from the system folder.
HMODULE LoadSystemLibrary(const wchar_t* name);
