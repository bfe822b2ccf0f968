#include "SingleInstance.h"

#include <cwchar>

#include "../profile/FileIO.h"

namespace {

constexpr wchar_t kMainCaption[] = L"Varmoth - Pick MOD";

// The long form of a path, so that a short (8.3) spelling names the same folder.
std::wstring LongPath(const std::wstring& path) {
    std::wstring longPath(32768, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    return length && length < longPath.size() ? longPath.substr(0, length) : path;
}

std::wstring ProcessFolder(DWORD processId) {
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return std::wstring();
    path.resize(length);
    return LongPath(path.substr(0, path.find_last_of(L'\\')));
}

struct Search {
    const std::wstring& folder;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    wchar_t caption[64] = {};
    DWORD processId = 0;
    GetWindowTextW(window, caption, 64);
    GetWindowThreadProcessId(window, &processId);
    if (std::wcscmp(caption, kMainCaption) != 0 || processId == GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    const std::wstring folder = ProcessFolder(processId);
    if (CompareStringOrdinal(folder.c_str(), -1, search.folder.c_str(), -1, TRUE) != CSTR_EQUAL) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance(const std::wstring& folder) : folder_(LongPath(folder)) {
    mutex_.reset(CreateMutexW(nullptr, FALSE, PathObjectName(L"Varpick", folder_).c_str()));
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

HWND SingleInstance::FirstWindow() const {
    // The other Varpick may still be loading: its window shows once its list is read.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Search search{folder_};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    }
    return nullptr;
}

bool SingleInstance::ActivateFirst() const {
    HWND first = FirstWindow();
    if (!first) return false;
    if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
    SetForegroundWindow(first);
    return true;
}

int SingleInstance::HandOver(const std::vector<std::wstring>& arguments) const {
    HWND first = FirstWindow();
    if (!first) return 1;
    std::wstring text;
    for (const std::wstring& argument : arguments) text.append(argument).push_back(L'\0');
    const COPYDATASTRUCT data = {kHandOverCommandLine, static_cast<DWORD>(text.size() * sizeof(wchar_t)), text.data()};
    DWORD_PTR result = 1;
    AllowSetForegroundWindow(ASFW_ANY);  // the first may come forward
    // As long as the first answers: it may wait for its user at a message box.
    if (!SendMessageTimeoutW(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NOTIMEOUTIFNOTHUNG, 10000, &result))
        return 1;
    return result == 0 ? 0 : 1;
}
