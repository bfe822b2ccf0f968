#include "SingleInstance.h"

#include <sddl.h>

#include <cwchar>
#include <memory>

#include "../profile/FileIO.h"
#include "CommandLine.h"

namespace {

constexpr wchar_t kMainCaption[] = L"Varmoth - Pick MOD";

// Objects that every signed-in user may read and only their owner may change. A Varpick run as
// administrator owns them through the Administrators group, which the user's programs without
// elevation hold only for denying: without the reading, they could not tell which Varpick runs
// in the folder. No integrity label: by default it stops only writes from a lower level.
constexpr wchar_t kReadableByUser[] = L"D:(A;;GA;;;OW)(A;;GR;;;AU)";

std::wstring ProcessIdName(const std::wstring& name) { return name + L"-process"; }

// The process id that the Varpick of the folder published; 0 while it has not.
DWORD PublishedProcessId(const std::wstring& name) {
    UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, ProcessIdName(name).c_str()));
    const void* view = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)) : nullptr;
    if (!view) return 0;
    const DWORD processId = *static_cast<const DWORD*>(view);
    UnmapViewOfFile(view);
    return processId;
}

struct Search {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    wchar_t caption[64] = {};
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window)) return TRUE;
    GetWindowTextW(window, caption, 64);
    if (std::wcscmp(caption, kMainCaption) != 0) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance(const std::wstring& folder) : name_(FolderObjectName(L"Varpick", folder)) {
    PSECURITY_DESCRIPTOR readable = nullptr;  // without it, the objects get the default: the creator's
    ConvertStringSecurityDescriptorToSecurityDescriptorW(kReadableByUser, SDDL_REVISION_1, &readable, nullptr);
    const std::unique_ptr<void, decltype(&LocalFree)> freed(readable, LocalFree);
    SECURITY_ATTRIBUTES security = {sizeof security, readable, FALSE};
    mutex_.reset(CreateMutexW(&security, FALSE, name_.c_str()));
    // A mutex that exists but that this process may not have all access to: CreateMutexW fails
    // with ERROR_ACCESS_DENIED, as documented, and another Varpick runs in the folder.
    const DWORD error = GetLastError();
    denied_ = !mutex_ && error == ERROR_ACCESS_DENIED;
    first_ = !denied_ && !(mutex_ && error == ERROR_ALREADY_EXISTS);
    if (!first_) return;
    processId_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &security, PAGE_READWRITE, 0, sizeof(DWORD),
                                        ProcessIdName(name_).c_str()));
    if (void* view = processId_ ? MapViewOfFile(processId_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr) {
        *static_cast<DWORD*>(view) = GetCurrentProcessId();
        UnmapViewOfFile(view);
    }
}

HWND SingleInstance::FirstWindow() const {
    // The other Varpick may still be loading: it publishes its process id just after it takes
    // the mutex, and its window shows once its list is read.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Search search{PublishedProcessId(name_)};
        if (search.processId) EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
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

std::optional<int> SingleInstance::HandOver(const std::vector<std::wstring>& arguments) const {
    HWND first = FirstWindow();
    if (!first) return std::nullopt;
    std::wstring text = JoinArguments(arguments);
    const COPYDATASTRUCT data = {kHandOverCommandLine, static_cast<DWORD>(text.size() * sizeof(wchar_t)), text.data()};
    DWORD_PTR result = 1;
    AllowSetForegroundWindow(ASFW_ANY);  // the first may come forward
    // As long as the first answers: it may wait for its user at a message box.
    if (!SendMessageTimeoutW(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NOTIMEOUTIFNOTHUNG, 10000,
                             &result))
        return std::nullopt;
    return result == 0 ? 0 : 1;
}
