#pragma once
#include <windows.h>

#include <string>

// The system's own description of an error code, without the trailing line break. Where the
// text has a place for a name ("%1"), `name` stands there, or "The file" when it is empty.
std::wstring SystemErrorText(DWORD code, const std::wstring& name = L"");

// A file operation that failed: which file, and the system's error code for it.
struct FileError {
    std::wstring sFile;
    DWORD code = ERROR_SUCCESS;

    // "<file>" followed by the system's reason on a line of its own; for access denied, or a new
    // file refused, what may have kept the program out (a read-only file, a folder in the way, a
    // folder Windows keeps for administrators, a network drive, security software) and what to do;
    // for a settings file over 1 MB, what to do with it.
    std::wstring Describe() const;
};
