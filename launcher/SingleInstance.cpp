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

// Objects that every signed-in user may read and only their owner may change; see kReadableByUser.
class ReadableByUser {
public:
    ReadableByUser() {
        ConvertStringSecurityDescriptorToSecurityDescriptorW(kReadableByUser, SDDL_REVISION_1, &descriptor_, nullptr);
        attributes_ = {sizeof attributes_, descriptor_, FALSE};  // without it, the objects get the creator's default
    }
    ReadableByUser(const ReadableByUser&) = delete;
    ~ReadableByUser() { LocalFree(descriptor_); }
    SECURITY_ATTRIBUTES* get() { return &attributes_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_;
};

// A command line sent to the first Varpick's window, from a thread that owns it: the first may
// take as long as its player needs, and this start may stop waiting should the first hang.
struct HandOverCall {
    HWND window;
    std::wstring text;

    // The thread's exit code is the first's answer: 0 done, 1 refused or failed; kUnanswered when
    // the window went away before it answered.
    static constexpr DWORD kUnanswered = 2;
    static DWORD WINAPI Send(void* parameter) {
        const std::unique_ptr<HandOverCall> call(static_cast<HandOverCall*>(parameter));
        const COPYDATASTRUCT data = {kHandOverCommandLine, static_cast<DWORD>(call->text.size() * sizeof(wchar_t)),
                                     call->text.data()};
        DWORD_PTR answer = 1;
        if (!SendMessageTimeoutW(call->window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, INFINITE,
                                 &answer))
            return kUnanswered;
        return answer == 0 ? 0 : 1;
    }
};

}  // namespace

SingleInstance::SingleInstance(const std::wstring& folder) : name_(FolderObjectName(L"Varpick", folder)) {
    ReadableByUser security;
    // Owned by the first's thread for as long as it runs: when that Varpick ends, however it
    // ends, the mutex is abandoned, and a start still trying to reach it takes its place.
    mutex_.reset(CreateMutexW(security.get(), TRUE, name_.c_str()));
    // A mutex that exists but that this process may not have all access to: CreateMutexW fails
    // with ERROR_ACCESS_DENIED, as documented, and another Varpick runs in the folder.
    const DWORD error = GetLastError();
    denied_ = !mutex_ && error == ERROR_ACCESS_DENIED;
    first_ = !denied_ && (!mutex_ || error != ERROR_ALREADY_EXISTS || TakeOverFromEnded());
    if (first_) PublishProcessId();
}

bool SingleInstance::TakeOverFromEnded() {
    // Named and existing, the mutex was opened unowned: it is free only once its owner has ended.
    const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), 0) : WAIT_FAILED;
    first_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return first_;
}

void SingleInstance::PublishProcessId() {
    ReadableByUser security;
    processId_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0, sizeof(DWORD),
                                        ProcessIdName(name_).c_str()));
    if (void* view = processId_ ? MapViewOfFile(processId_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr) {
        *static_cast<DWORD*>(view) = GetCurrentProcessId();
        UnmapViewOfFile(view);
    }
}

HWND SingleInstance::FirstWindow() {
    // The other Varpick may still be loading: it publishes its process id just after it takes
    // the mutex, and its window shows once its list is read. Or it is ending (a --run start).
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (TakeOverFromEnded()) {
            PublishProcessId();
            return nullptr;
        }
        Search search{PublishedProcessId(name_)};
        if (search.processId) EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    }
    return nullptr;
}

bool SingleInstance::ActivateFirst() {
    HWND first = FirstWindow();
    if (!first) return false;
    // Asynchronous: a window that does not respond would hold a synchronous call, and this start with it.
    ShowWindowAsync(first, IsIconic(first) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(first);
    return !IsHungAppWindow(first);
}

std::optional<int> SingleInstance::HandOver(const std::vector<std::wstring>& arguments) {
    HWND first = FirstWindow();
    if (!first || IsHungAppWindow(first)) return std::nullopt;
    AllowSetForegroundWindow(ASFW_ANY);  // the first may come forward
    auto call = std::make_unique<HandOverCall>(HandOverCall{first, JoinArguments(arguments)});
    const UniqueKernelHandle thread(CreateThread(nullptr, 0, &HandOverCall::Send, call.get(), 0, nullptr));
    if (!thread) return std::nullopt;
    call.release();  // the thread's now
    // As long as the first responds: it may show a message on the way and wait for its player.
    while (WaitForSingleObject(thread.get(), 250) == WAIT_TIMEOUT)
        if (IsHungAppWindow(first)) return std::nullopt;
    DWORD answer = HandOverCall::kUnanswered;
    GetExitCodeThread(thread.get(), &answer);
    if (answer == HandOverCall::kUnanswered) {
        TakeOverFromEnded();  // it may have ended before it answered
        return std::nullopt;
    }
    return static_cast<int>(answer);
}
