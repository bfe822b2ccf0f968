#pragma once
// Whole-file reading and writing for the programs' files, and the one way both replace a file:
// a finished temporary file beside it, renamed over it in one step.
#include <windows.h>

#include <functional>
#include <string>

#include "../win32/UniqueHandle.h"

struct FileRead {
    std::string bytes;
    DWORD error = ERROR_SUCCESS;  // ERROR_FILE_NOT_FOUND when there is no such file
};

// Opens `path` for reading, every sharing allowed, waiting out a passing hold as a replace does.
UniqueFileHandle OpenForReading(const std::wstring& path, DWORD& error);

// The whole file, read after any passing hold.
FileRead ReadWholeFile(const std::wstring& path);

// Creates an empty file unless one exists already; returns the system's error code.
DWORD CreateEmptyFile(const std::wstring& path);

// Replaces `path` with `bytes` so that, whatever happens, the file is either the old one or the
// new one, whole: the bytes go to a temporary file beside it, reach the disk, and a single
// rename puts them in place. On failure the old file is untouched and the temporary file gone.
DWORD ReplaceFileContents(const std::wstring& path, const std::string& bytes);

// The temporary file beside `path` that a replacement of it is made in. One replacement of a
// file at a time uses it (a file's one writer, or the holder of its FileLock), and a replacement
// overwrites one that a crash left behind.
std::wstring TemporaryFileFor(const std::wstring& path);

// Renames the finished, flushed `temporary` over `path` in one step. The new file keeps the old
// one's hidden and system attributes; a read-only file is not replaced (ERROR_ACCESS_DENIED).
DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& path);

// Creates (or empties) the temporary file `temporary` for writing, unshared. One that a crash
// left behind is reused whatever attributes it was given.
UniqueFileHandle CreateTemporaryFile(const std::wstring& temporary, DWORD& error);

// Runs `step`, a step of a replace of `path` that returns a system error code, again while it
// fails as it does when another program holds the file for a moment, for about two seconds in
// all; then returns its last error.
DWORD RetryWhileHeld(const std::wstring& path, const std::function<DWORD()>& step);

// Deletes a temporary file left by a failed replace, waiting out a passing hold as a replace does.
void RemoveTemporaryFile(const std::wstring& temporary);

// Held while a file is replaced, so that two of the programs (two Vartunes, say) never build
// their replacements of one file in the same temporary file at once.
class FileLock {
public:
    explicit FileLock(const std::wstring& path);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();
    // False when another replacement of the file did not end within a few seconds.
    bool Held() const { return held_; }

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};

// A name for a kernel object that stands for the file or folder `path` in every process of the
// session, whatever the letter case it is spelled in: `prefix` and a hash of the path.
std::wstring PathObjectName(const wchar_t* prefix, std::wstring path);

// A name for a kernel object that stands for the folder itself, however it is reached (another
// drive letter, a subst or mapped drive, a junction, a symbolic link): `prefix`, the volume's
// serial number and the folder's file id. PathObjectName's when the folder cannot be opened.
std::wstring FolderObjectName(const wchar_t* prefix, const std::wstring& folder);
