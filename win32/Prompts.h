#pragma once
// The modal and external pieces of the user interface, behind one seam: message boxes with their
// beep, the file-open dialog, the shell's start and Recycle Bin, and ending the program after a
// fatal error. Tests install their own
// Prompts so that windows can be driven without anyone at the keyboard.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class Prompts {
public:
    virtual ~Prompts() = default;

    // MessageBoxW: returns the button pressed (IDOK, IDYES, IDNO).
    virtual int Message(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);
    virtual void Beep();
    // The full path of the chosen file, or nothing when the user cancelled. `filter` is in the
    // platform's double-NUL form. The dialog takes any name, of an existing file or not, and may
    // change the program's current folder, which the programs never rely on.
    virtual std::optional<std::wstring> OpenFile(HWND owner, const std::wstring& title,
                                                 const std::wstring& filter);
    // The open dialog letting the user pick several existing files, opened in `folder` whatever
    // it remembers: their full paths, none when cancelled. It leaves the current folder as it was.
    virtual std::vector<std::wstring> OpenFiles(HWND owner, const std::wstring& title, const std::wstring& filter,
                                                const std::wstring& folder);
    // Starts `program` through the shell, which asks the user's consent where it must run as
    // administrator, in front of `owner` (none: of the desktop); the system's error code,
    // ERROR_CANCELLED when the user declined.
    virtual DWORD StartElevated(HWND owner, const std::wstring& program, const std::wstring& parameters,
                                const std::wstring& folder, int showCommand);
    // Moves the file `path` to the Recycle Bin, from where the player can restore it, as Explorer's
    // Delete does but without asking; where its drive has no Recycle Bin, the file is deleted.
    // The system's error code.
    virtual DWORD Recycle(const std::wstring& path);
    // Ends the program at once, after a fatal error.
    virtual void EndProgram(UINT exitCode);
};

// The prompts in use; the platform's own unless a test installed others.
Prompts& CurrentPrompts();
// Installs `prompts` (nullptr restores the platform's own). The caller keeps it alive.
void SetPrompts(Prompts* prompts);
