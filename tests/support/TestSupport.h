#pragma once
// Helpers for tests that work with real files, real windows and real processes under Wine.
#include <windows.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "profile/Profile.h"  // ProgramFolder: where the programs and the stand-in game are built too
#include "win32/Controls.h"
#include "win32/Prompts.h"
#include "win32/UniqueHandle.h"

using namespace std::chrono_literals;

// A new empty folder, removed with its contents afterwards. Its name holds a character outside
// the 8-bit code page, unless Plain: for paths that must pass through that code page.
class ScratchFolder {
public:
    enum class Name { OutsideCodePage, Plain };
    explicit ScratchFolder(Name name = Name::OutsideCodePage);
    ScratchFolder(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != text.npos; }
// Each write gets a new time stamp, so the platform's cache of INI files never serves an older one.
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
std::wstring ShortPath(const std::wstring& path);  // its 8.3 form
// Runs `action` while the file cannot be written (read-only does not stop an administrator): held open
// unshared, or a folder in its place; with Passing, held unshared for a second, as a virus checker does,
// to be waited out; with None, while nothing stops it. Fails the test when the fault was not in force;
// false when a loaded machine kept the passing hold from overlapping the action: to be repeated.
enum class Fault { None, Held, FolderInPlace, Passing };
bool WhileUnwritable(const std::wstring& path, Fault fault, const std::function<void()>& action);

// Dispatches this thread's waiting messages as the programs' loop does; true when WM_QUIT came.
bool PumpMessages();
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 20s);
void Choose(HWND comboBox, int index);                    // as the user picks an item: the window is told
void PressKey(HWND control, UINT key, bool alt = false);  // with Alt: an access key
bool IsCentred(HWND window);
// The colour that covers most of the window's client area on screen, once it painted what it had to.
COLORREF DominantColour(HWND window);
SIZE TextExtent(HWND control, const std::wstring& text, int width = 0);  // in its font; wrapped to a width given
// What a user would see wrong in the layout, a line each: text that does not fit, controls that overlap.
std::string LayoutFaults(HWND window);
LOGFONTW Font(HWND control);   // the font it shows: lfHeight in pixels, negative
int ScreenDpi();               // a failure when it is not the one the run set (VARMOTH_DPI, else 96)
// The name a screen reader reads for the control, through the platform's accessibility interface.
std::wstring AccessibleName(HWND control);

// The stand-in game copied to `path`; under another name it stands in for other programs.
bool InstallStandIn(const std::wstring& path);
// One report per start of a stand-in in `folder`: command_line, working_folder, show_state, current_mod.
std::vector<std::map<std::wstring, std::wstring>> StandInReports(const std::wstring& folder);
std::wstring HostFolder(const char* variable);  // a folder the environment names, as Wine sees it

// Real processes: started with `arguments`; their shown window of that caption (any: nullptr), class
// and kind (nothing when none shows); closed by the close box, with the exit code.
UniqueKernelHandle StartProgram(const std::wstring& program, const std::wstring& arguments = L"");
HWND WindowOf(HANDLE process, const wchar_t* caption, std::chrono::milliseconds deadline = 20s,
              const wchar_t* kind = nullptr, bool (*wanted)(HWND) = nullptr);
std::optional<DWORD> CloseProgram(HANDLE process, HWND window);
std::wstring CopyInto(const ScratchFolder& folder, const std::wstring& program);  // the copy's path
// Answers the processes' message boxes with OK until `done` or 15 s, adding their texts to `told`.
void AnswerMessageBoxes(std::initializer_list<HANDLE> processes, std::vector<std::wstring>& told,
                        const std::function<bool()>& done);

// Points this program's imports of `function`, which the product calls too, at `replacement` while it lives.
class ImportPatch {
public:
    template <class Function>
    ImportPatch(Function* function, Function* replacement)
        : function_(reinterpret_cast<void*>(function)), replacement_(reinterpret_cast<void*>(replacement)) {
        Patch(function_, replacement_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ~ImportPatch() { Patch(replacement_, function_); }

private:
    static void Patch(void* from, void* to);
    // Volatile: the compiler takes an import's address for a constant, and would read it anew to restore.
    void* volatile function_;
    void* replacement_;
};

// The full paths of the files this program flushed to disk, in order; the product's flushes too.
std::vector<std::wstring>& FlushedFiles();

// Stands in for the user at message boxes and file dialogs, and records what was shown.
class RecordingPrompts : public Prompts {
public:
    RecordingPrompts() { SetPrompts(this); }
    ~RecordingPrompts() override { SetPrompts(nullptr); }
    int Message(HWND, const std::wstring& text, const std::wstring& title, UINT style) override;
    void Beep() override { ++beeps; }
    std::optional<std::wstring> OpenFile(HWND owner, const std::wstring& title, const std::wstring& filter) override {
        const std::vector<std::wstring> picked = OpenFiles(owner, title, filter, L"");
        return picked.empty() ? std::nullopt : std::optional(picked[0]);
    }
    std::vector<std::wstring> OpenFiles(HWND owner, const std::wstring& title, const std::wstring& filter,
                                        const std::wstring& folder) override;
    void EndProgram(UINT exitCode) override { endedWith = exitCode; }
    DWORD Recycle(const std::wstring& path) override {  // Wine's shell deletes: it has no Recycle Bin
        recycled.push_back(path);
        return Prompts::Recycle(path);
    }
    DWORD StartElevated(HWND owner, const std::wstring& program, const std::wstring& parameters,
                        const std::wstring& folder, int show) override;

    std::vector<std::wstring> messages;  // "title|style|text"
    int beeps = 0;
    std::optional<UINT> endedWith;
    std::deque<std::vector<std::wstring>> files;  // what the next file dialogs pick; nothing: cancelled
    std::deque<int> answers;                      // else a message box gets its first button
    std::vector<std::wstring> fileDialogs;        // "title|filter|folder", the filter's NULs as '|'
    std::vector<std::wstring> shellStarts;        // "program|parameters|folder|show|owner's caption"
    std::deque<DWORD> consents;                   // what the shell's starts answer; else ERROR_SUCCESS
    std::vector<std::wstring> recycled;           // the files moved to the Recycle Bin
};
