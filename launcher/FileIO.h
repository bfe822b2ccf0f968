#pragma once
// Whole-file reading and writing for the launcher's text files.
#include <windows.h>

#include <string>

struct FileRead {
    std::string bytes;
    DWORD error = ERROR_SUCCESS;  // ERROR_FILE_NOT_FOUND when there is no such file
};

FileRead ReadWholeFile(const std::wstring& path);

// Creates an empty file unless one exists already; returns the system's error code.
DWORD CreateEmptyFile(const std::wstring& path);

// Replaces `path` with `bytes` so that, whatever happens, the file is either the old one or the
// new one, whole: the bytes go to a temporary file beside it, reach the disk, and a single
// rename puts them in place. On failure the old file is untouched and the temporary file gone.
DWORD ReplaceFileContents(const std::wstring& path, const std::string& bytes);
