#include "TestSupport.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "profile/AnsiText.h"
#include "profile/FileIO.h"
#include "win32/Dialog.h"

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(Name name) {
    static std::atomic<int> counter{0};
    path_ = (fs::temp_directory_path() / L"varmoth-tests").wstring() +
            (name == Name::Plain ? L"\\game " : L"\\game \u6F22 ") + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    static std::atomic<int> stamp{0};
    std::ofstream(fs::path(path), std::ios::binary) << bytes;
    fs::last_write_time(path, fs::file_time_type(std::chrono::hours(++stamp)));  // never an earlier version's time
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    FileRead read = ReadWholeFile(path);
    return read.error == ERROR_SUCCESS ? std::optional(std::move(read.bytes)) : std::nullopt;
}

std::wstring ShortPath(const std::wstring& path) {
    std::wstring shortPath(MAX_PATH, L'\0');
    shortPath.resize(GetShortPathNameW(path.c_str(), shortPath.data(), MAX_PATH));
    return shortPath;
}

// True when a write to `path` fails as the fault makes it: the fault is in force.
static bool WriteRefused(const std::wstring& path) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                            FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    return !file && (GetLastError() == ERROR_SHARING_VIOLATION || GetLastError() == ERROR_ACCESS_DENIED);
}

bool WhileUnwritable(const std::wstring& path, Fault fault, const std::function<void()>& action) {
    using Clock = std::chrono::steady_clock;
    if (fault == Fault::Passing) {  // the holder takes the file before the action starts, and lets go 1 s later
        // An event: this libstdc++'s std::binary_semaphore, waited for without a futex, can miss its release.
        const UniqueKernelHandle holding(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        Clock::time_point taken, released;
        std::jthread holder([&] {
            UniqueFileHandle held(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            taken = Clock::now();
            SetEvent(holding.get());
            Sleep(1000);  // half the programs' patience of about 2 s: a much shorter one gives up first
            held.reset();
            released = Clock::now();
        });
        WaitForSingleObject(holding.get(), INFINITE);
        EXPECT_TRUE(WriteRefused(path)) << "held";
        const Clock::time_point started = Clock::now();
        action();
        const Clock::time_point ended = Clock::now();
        holder.join();
        // Tested only when the action had the hold in its way for a while, and the holder, not
        // starved, let go well before a save gives up.
        if (released - started < 100ms || released - taken > 1500ms) return false;
        EXPECT_GT(ended, released) << "the action waited for the hold to pass";
        return true;
    }
    const std::wstring aside = path + L".aside";
    const bool folder = fault == Fault::FolderInPlace, moved = folder && MoveFileW(path.c_str(), aside.c_str());
    if (folder) CreateDirectoryW(path.c_str(), nullptr);
    const UniqueFileHandle held(fault != Fault::Held ? INVALID_HANDLE_VALUE
                                                     : CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                                   nullptr, OPEN_ALWAYS, 0, nullptr));
    EXPECT_TRUE(fault == Fault::None || WriteRefused(path)) << "the fault is in force";
    action();
    if (folder && RemoveDirectoryW(path.c_str()) && moved) MoveFileW(aside.c_str(), path.c_str());
    return true;
}

bool PumpMessages() {
    bool quit = false;
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        if (msg.message == WM_QUIT) quit = true;
        else if (!RouteDialogMessage(msg)) DispatchMessageW(&msg);
    }
    return quit;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    for (const auto end = std::chrono::steady_clock::now() + deadline; !condition(); Sleep(20)) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
    }
    return true;
}

void Choose(HWND box, int index) {
    SendMessageW(box, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE), LPARAM(box));
}

bool IsCentred(HWND window) {
    RECT frame;
    return GetWindowRect(window, &frame) && std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)) <= 2 &&
           std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 2;
}

void PressKey(HWND control, UINT key, bool alt) {
    PostMessageW(control, alt ? WM_SYSCHAR : WM_KEYDOWN, key, alt ? 1 << 29 : 1);
    PumpMessages();
}

COLORREF DominantColour(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);  // what was to be painted, and no more
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2) ++counts[GetPixel(dc, x, y)];
    ReleaseDC(window, dc);
    return std::ranges::max_element(counts, [](auto& a, auto& b) { return a.second < b.second; })->first;
}

SIZE TextExtent(HWND control, const std::wstring& text, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | (width ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{rect.right, rect.bottom};
}

std::string LayoutFaults(HWND window) {
    const auto rectOf = [&](HWND control) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    std::string faults;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string id = "control " + std::to_string(GetDlgCtrlID(control));
        const RECT rect = rectOf(control);
        const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
        const bool ellipsis = GetWindowLongPtrW(control, GWL_STYLE) & SS_ENDELLIPSIS;
        if (IsWindowClass(control, L"Static") && (GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT) {
            // Labels: wrapped, or on one line with an ellipsis.
            const SIZE extent = TextExtent(control, WindowText(control), ellipsis ? 0 : width);
            if (extent.cy > height || (ellipsis && extent.cx > width)) faults += id + ": its text does not fit\n";
        } else if (IsWindowClass(control, L"Button") && !WindowText(control).empty()) {
            // Room for a button's edges, a frame's corners.
            const SIZE extent = TextExtent(control, WindowText(control));
            if (extent.cx + 8 > width || extent.cy + (IsGroupBox(control) ? 0 : 4) > height)
                faults += id + ": its caption does not fit\n";
        }
        for (HWND other = GetWindow(control, GW_HWNDNEXT); other; other = GetWindow(other, GW_HWNDNEXT)) {
            const RECT otherRect = rectOf(other);
            RECT overlap;  // a frame may hold others
            if (IntersectRect(&overlap, &rect, &otherRect) &&
                !(IsGroupBox(control) && EqualRect(&overlap, &otherRect)) &&
                !(IsGroupBox(other) && EqualRect(&overlap, &rect)))
                faults += id + ": overlaps control " + std::to_string(GetDlgCtrlID(other)) + "\n";
        }
    }
    return faults;
}

LOGFONTW Font(HWND control) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dpi, std::getenv("VARMOTH_DPI") ? std::atoi(std::getenv("VARMOTH_DPI")) : 96) << "the DPI the run set";
    return dpi;
}

std::wstring AccessibleName(HWND control) {
    ComPtr<IAccessible> object;
    VARIANT self = {};
    self.vt = VT_I4;  // and lVal CHILDID_SELF (0): the control itself
    BSTR name = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(object.put()))) ||
        FAILED(object.get()->get_accName(self, &name)) || !name)
        return L"<no name>";
    const std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

std::wstring HostFolder(const char* variable) {
    const std::wstring folder = std::getenv(variable) ? FromAnsi(std::getenv(variable)) : L"";
    return folder.starts_with(L"/") ? L"Z:" + folder : folder;  // a folder of Wine's host
}

bool InstallStandIn(const std::wstring& path) {
    SetEnvironmentVariableW(L"MOTHVAR_STANDIN_QUIET", L"1");  // they report and end, showing nothing
    return CopyFileW((ProgramFolder() + L"\\Mothvar.exe").c_str(), path.c_str(), FALSE);
}

std::vector<std::map<std::wstring, std::wstring>> StandInReports(const std::wstring& folder) {
    std::vector<std::map<std::wstring, std::wstring>> reports;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().wstring().find(L"-report-") == std::wstring::npos || entry.path().extension() != L".txt")
            continue;
        const std::string bytes = *ReadBytes(entry.path().wstring());
        std::wistringstream lines(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
        auto& report = reports.emplace_back();
        for (std::wstring line; std::getline(lines, line);)  // "name=value\r"
            if (const size_t equals = line.find(L'='); equals != std::wstring::npos)
                report[line.substr(0, equals)] = line.substr(equals + 1, line.size() - equals - 2);
    }
    return reports;
}

UniqueKernelHandle StartProgram(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

HWND WindowOf(HANDLE process, const wchar_t* caption, std::chrono::milliseconds deadline, const wchar_t* kind,
              bool (*wanted)(HWND)) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window = FindWindowW(kind, caption); window && !found;
             window = FindWindowExW(nullptr, window, kind, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == GetProcessId(process) && IsWindowVisible(window) && (!wanted || wanted(window)))
                found = window;
        }
        return found != nullptr;
    }, deadline);
    return found;
}

std::optional<DWORD> CloseProgram(HANDLE process, HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    return GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE ? std::optional(exitCode) : std::nullopt;
}

std::wstring CopyInto(const ScratchFolder& folder, const std::wstring& program) {
    const std::wstring copy = folder / program.substr(program.find_last_of(L'\\') + 1);
    return CopyFileW(program.c_str(), copy.c_str(), FALSE) ? copy : L"";
}

void AnswerMessageBoxes(std::initializer_list<HANDLE> processes, std::vector<std::wstring>& told,
                        const std::function<bool()>& done) {
    const auto isMessageBox = [](HWND window) { return GetDlgItem(window, 0xFFFF) != nullptr; };  // it has a text
    for (const auto end = std::chrono::steady_clock::now() + 15s; !done() && std::chrono::steady_clock::now() < end;) {
        for (HANDLE process : processes) {
            const HWND box = process ? WindowOf(process, nullptr, 25ms, L"#32770", isMessageBox) : nullptr;
            if (!box) continue;
            told.push_back(WindowText(GetDlgItem(box, 0xFFFF)));  // answered with OK
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(box, IDOK)));
            WaitUntil([&] { return !IsWindow(box); }, 5s);
        }
    }
}

void ImportPatch::Patch(void* from, void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); library->Name; ++library)
        for (auto* slot = reinterpret_cast<void**>(base + library->FirstThunk); *slot; ++slot)
            if (DWORD old; *slot == from && VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) *slot = to;
}

namespace {

std::vector<std::wstring> g_flushed;
// The platform's, taken before the patch: a call by the function's name would go through the
// patched slot again.
decltype(&FlushFileBuffers) g_platformFlush = nullptr;

BOOL WINAPI RecordFlush(HANDLE file) {
    wchar_t path[MAX_PATH * 4] = {};
    GetFinalPathNameByHandleW(file, path, MAX_PATH * 4, FILE_NAME_NORMALIZED);
    g_flushed.push_back(std::wstring(path).substr(4));  // without its "\\?\\"
    return g_platformFlush(file);
}

}  // namespace

std::vector<std::wstring>& FlushedFiles() {
    if (!g_platformFlush) g_platformFlush = &FlushFileBuffers;
    static const ImportPatch recording(&FlushFileBuffers, &RecordFlush);
    return g_flushed;
}

DWORD RecordingPrompts::StartElevated(HWND owner, const std::wstring& program, const std::wstring& parameters,
                                      const std::wstring& folder, int show) {
    shellStarts.push_back(program + L"|" + parameters + L"|" + folder + L"|" + std::to_wstring(show) + L"|" +
                          (owner ? WindowText(owner) : L"no owner"));
    const DWORD answer = consents.empty() ? ERROR_SUCCESS : consents.front();
    if (!consents.empty()) consents.pop_front();
    return answer;
}

int RecordingPrompts::Message(HWND, const std::wstring& text, const std::wstring& title, UINT style) {
    messages.push_back(title + L"|" + std::to_wstring(style) + L"|" + text);
    const int answer = answers.empty() ? ((style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK) : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
}

std::vector<std::wstring> RecordingPrompts::OpenFiles(HWND, const std::wstring& title, const std::wstring& filter,
                                                      const std::wstring& folder) {
    fileDialogs.push_back(title + L"|" + filter + L"|" + folder);
    std::replace(fileDialogs.back().begin(), fileDialogs.back().end(), L'\0', L'|');
    std::vector<std::wstring> picked = files.empty() ? std::vector<std::wstring>{} : files.front();
    if (!files.empty()) files.pop_front();
    return picked;
}
