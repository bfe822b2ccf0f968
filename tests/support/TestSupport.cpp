#include "TestSupport.h"

#include "profile/Window.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(Name name) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring root = std::wstring(temp) + L"varmoth-tests";
    CreateDirectoryW(root.c_str(), nullptr);
    path_ = root + (name == Name::Plain ? L"\\game " : L"\\game \u6F22 ") +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    static std::atomic<long long> stamp{0};
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("WriteBytes: cannot create file");
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    // Distinct times, an hour apart, in 2001: never equal to the time of an earlier version.
    const long long ticks = 126227808000000000LL + (++stamp) * 36000000000LL;
    FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(file.get(), nullptr, nullptr, &time);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return bytes;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

UniqueFileHandle HoldExclusively(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::wstring ReadIniKey(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<missing>", buffer, 1024, path.c_str());
    return buffer;
}

bool PumpMessages() {
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (RouteDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return quit;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

int RecordingPrompts::Message(HWND, const std::wstring& text, const std::wstring& title, UINT style) {
    messages.push_back({text, title, style});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

std::optional<std::wstring> RecordingPrompts::OpenFile(HWND, const std::wstring& title, const std::wstring& filter) {
    fileDialogs.push_back({title, filter});
    if (files.empty()) return std::nullopt;
    std::optional<std::wstring> file = files.front();
    files.pop_front();
    return file;
}

VersionRecord ReadVersionRecord(const std::wstring& path) {
    VersionRecord record;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return record;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return record;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        record.fileVersion = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                             std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                             std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                             std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            return std::wstring();
        return std::wstring(value);
    };
    record.fileVersionText = text(L"FileVersion");
    record.originalFilename = text(L"OriginalFilename");
    record.productName = text(L"ProductName");
    return record;
}

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::optional<DWORD> StartAndCloseProgram(const std::wstring& program, const std::wstring& folder,
                                          const std::wstring& caption) {
    const std::wstring target = folder + L"\\" + program;
    if (!CopyFileW((TestProgramFolder() + L"\\" + program).c_str(), target.c_str(), FALSE)) return std::nullopt;
    std::wstring commandLine = L"\"" + target + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return std::nullopt;
    UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);

    HWND window = nullptr;
    const bool shown = WaitUntil([&] {
        window = FindWindowW(nullptr, caption.c_str());
        DWORD owner = 0;
        if (window) GetWindowThreadProcessId(window, &owner);
        return window && owner == process.dwProcessId && IsWindowVisible(window);
    }, std::chrono::seconds(20));
    if (!shown) {
        TerminateProcess(processHandle.get(), 1);
        return std::nullopt;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(processHandle.get(), 20000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
        return std::nullopt;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    return exitCode;
}
