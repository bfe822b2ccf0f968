#pragma once
// Helpers for tests that work with real files, real windows and real processes under Wine.
#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profile/Prompts.h"
#include "profile/UniqueHandle.h"

// A new empty folder for one test, removed with everything in it afterwards. Its name holds a
// character outside the 8-bit code page, so every test also proves that such a folder works.
class ScratchFolder {
public:
    enum class Name { OutsideCodePage, Plain };
    // A plain name is for what must pass through the 8-bit code page, such as a child
    // process's command line or a path stored in an INI file.
    explicit ScratchFolder(Name name = Name::OutsideCodePage);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Writes a file's bytes as they stand. Each write gets a new modification time, so the
// platform's cache of profile files never serves an older version of it.
void WriteBytes(const std::wstring& path, const std::string& bytes);
// The file's bytes; nothing when it cannot be read.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);

// Opens the file (creating it if need be) with no sharing, so every other open of it fails
// until the handle is closed. Tests use this to make writes fail, since the read-only
// attribute does not stop an administrator.
UniqueFileHandle HoldExclusively(const std::wstring& path);

// Reads one key straight from the file, as the game would.
std::wstring ReadIniKey(const std::wstring& path, const std::wstring& section, const std::wstring& key);

// Dispatches every waiting message of this thread as the programs' message loop does, except
// WM_QUIT, which it reports.
bool PumpMessages();
// Pumps messages until `condition` holds or the deadline passes; returns the condition.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

// The version record of an executable: the binary file version as "a.b.c.d" and a few of its
// strings (US English, Unicode).
struct VersionRecord {
    std::wstring fileVersion;
    std::wstring fileVersionText;
    std::wstring originalFilename;
    std::wstring productName;
};
VersionRecord ReadVersionRecord(const std::wstring& path);

// The folder of the running test program, where the programs under test and the stand-in game
// are built.
std::wstring TestProgramFolder();

// Copies `program` from the test program's folder into `folder`, starts it there, waits for
// its window `caption` to show, closes that window and waits for the program to end.
// Returns its exit code, or nothing when any step failed.
std::optional<DWORD> StartAndCloseProgram(const std::wstring& program, const std::wstring& folder,
                                          const std::wstring& caption);

// Presses a button the way a click does.
void Click(HWND button);
std::wstring TextOf(HWND hwnd);

// Stands in for the user at message boxes and file dialogs, and records what was shown.
class RecordingPrompts : public Prompts {
public:
    struct Shown {
        std::wstring text;
        std::wstring title;
        UINT style;
    };

    RecordingPrompts() { SetPrompts(this); }
    ~RecordingPrompts() override { SetPrompts(nullptr); }

    int Message(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) override;
    void Beep() override { ++beeps; }
    std::optional<std::wstring> OpenFile(HWND owner, const std::wstring& title,
                                         const std::wstring& filter) override;
    void EndProgram(UINT exitCode) override { endedWith = exitCode; }

    std::vector<Shown> messages;
    int beeps = 0;
    std::optional<UINT> endedWith;

    // Answers for the next file dialogs (nothing = cancel) and message boxes; by default a
    // message box is answered with its first button.
    std::deque<std::optional<std::wstring>> files;
    std::deque<int> answers;

    struct FileDialog {
        std::wstring title;
        std::wstring filter;
    };
    std::vector<FileDialog> fileDialogs;
};
