#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "win32/Dialog.h"

namespace {

void ForEachFile(const std::wstring& folder, const wchar_t* pattern, const std::function<void(const std::wstring&, bool)>& each) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") each(folder + L"\\" + name, found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void RemoveTree(const std::wstring& path) {
    ForEachFile(path, L"*", [](const std::wstring& child, bool folder) { folder ? RemoveTree(child) : void(DeleteFileW(child.c_str())); });
    RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(Name name) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    CreateDirectoryW((std::wstring(temp) + L"varmoth-tests").c_str(), nullptr);
    path_ = std::wstring(temp) + (name == Name::Plain ? L"varmoth-tests\\game " : L"varmoth-tests\\game \u6F22 ") +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    static std::atomic<long long> stamp{0};
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("WriteBytes: cannot create file");
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const long long ticks = 126227808000000000LL + (++stamp) * 36000000000LL;  // an hour apart, in 2001
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

UniqueFileHandle HoldExclusively(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
        if (msg.message == WM_QUIT) quit = true;
        else if (!RouteDialogMessage(msg)) DispatchMessageW(&msg);
    }
    return quit;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    for (const auto end = std::chrono::steady_clock::now() + deadline; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
    }
    return true;
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void PressKey(HWND control, UINT key, bool alt) {
    PostMessageW(control, alt ? WM_SYSCHAR : WM_KEYDOWN, key, alt ? 1 << 29 : 1);
    PumpMessages();
}

COLORREF DominantColour(HWND window, int rows) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < std::min<int>(client.bottom, rows); y += 2)
        for (int x = 0; x < client.right; x += 2) ++counts[GetPixel(dc, x, y)];
    ReleaseDC(window, dc);
    return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

namespace {
std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return std::wstring(path).substr(0, std::wstring(path).find_last_of(L'\\'));
}
}  // namespace

bool InstallStandIn(const std::wstring& path) { return CopyFileW((TestProgramFolder() + L"\\Mothvar.exe").c_str(), path.c_str(), FALSE); }

std::vector<std::map<std::wstring, std::wstring>> StandInReports(const std::wstring& folder) {
    std::vector<std::map<std::wstring, std::wstring>> reports;
    ForEachFile(folder, L"*-report-*.txt", [&](const std::wstring& path, bool) {
        const std::string bytes = ReadBytes(path).value_or("");
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        auto& report = reports.emplace_back();
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
            const size_t equals = text.find(L'=', start);
            report[text.substr(start, equals - start)] = text.substr(equals + 1, end - equals - 1);
        }
    });
    return reports;
}

std::wstring VersionRecord(const std::wstring& path) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(path.c_str(), &ignored) + 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        return L"";
    std::wstring record;
    for (DWORD part : {fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF})
        record += (record.empty() ? L"" : L".") + std::to_wstring(part);
    for (const wchar_t* name : {L"FileVersion", L"OriginalFilename", L"ProductName"}) {
        wchar_t* value = nullptr;
        const bool found = VerQueryValueW(data.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(), reinterpret_cast<void**>(&value), &length);
        record += L"|" + std::wstring(found ? value : L"");
    }
    return record;
}

std::optional<DWORD> StartAndCloseProgram(const std::wstring& program, const std::wstring& folder, const std::wstring& caption) {
    std::wstring commandLine = L"\"" + folder + L"\\" + program + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CopyFileW((TestProgramFolder() + L"\\" + program).c_str(), (folder + L"\\" + program).c_str(), FALSE) ||
        !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return std::nullopt;
    UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    HWND window = nullptr;
    DWORD owner = 0, exitCode = 1;
    const bool shown = WaitUntil([&] {
        window = FindWindowW(nullptr, caption.c_str());
        return window && GetWindowThreadProcessId(window, &owner) && owner == process.dwProcessId && IsWindowVisible(window);
    });
    if (shown) PostMessageW(window, WM_CLOSE, 0, 0);
    if (!shown || WaitForSingleObject(processHandle.get(), 20000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
        return std::nullopt;
    }
    GetExitCodeProcess(processHandle.get(), &exitCode);
    return exitCode;
}

int RecordingPrompts::Message(HWND, const std::wstring& text, const std::wstring& title, UINT style) {
    messages.push_back(title + L"|" + std::to_wstring(style) + L"|" + text);
    const int answer = answers.empty() ? ((style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK) : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
}

std::optional<std::wstring> RecordingPrompts::OpenFile(HWND, const std::wstring& title, const std::wstring& filter) {
    fileDialogs.push_back(title + L"|" + filter);
    std::replace(fileDialogs.back().begin(), fileDialogs.back().end(), L'\0', L'|');
    std::optional<std::wstring> file = files.empty() ? std::nullopt : files.front();
    if (!files.empty()) files.pop_front();
    return file;
}
