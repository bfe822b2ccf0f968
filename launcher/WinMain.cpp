#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "../win32/Dialog.h"
#include "../win32/Libraries.h"
#include "../win32/Prompts.h"
#include "CommandLine.h"
#include "SingleInstance.h"
#include "frmMain.h"
#include "modMain.h"

namespace {

// Why a second start in the folder ends without doing anything, and what to do.
constexpr wchar_t kElevatedElsewhere[] =
    L"Varpick already runs in this folder as administrator, where this start cannot reach it. "
    L"Use that Varpick, or close it and start this one again.";
constexpr wchar_t kUnreachable[] =
    L"Varpick already runs in this folder, but it did not answer: it may be waiting at Windows' permission "
    L"prompt, be busy, or have its window hidden.\r\n\r\n"
    L"Answer or close that Varpick (if it does not close, end \"Varpick.exe\" in Task Manager), "
    L"then start this one again.";

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    RestrictLibrarySearch();
    const std::vector<std::wstring> arguments(__wargv + 1, __wargv + __argc);
    const LaunchRequest request = ReadCommandLine(arguments);
    if (request.bHelp || !request.sRefusal.empty()) {
        CurrentPrompts().Message(nullptr, request.bHelp ? kUsage : request.sRefusal, L"Varpick",
                                 MB_OK | MB_ICONINFORMATION);
        return request.bHelp ? 0 : 1;
    }
    // Before any file is read or written: a second Varpick in the folder only points to the
    // first, or hands its command line to it.
    SingleInstance instance(modMain::AppFolder());
    if (!instance.IsFirst()) {
        // Windows keeps this start's hand-over out of a Varpick run as administrator.
        const bool unreachable = request.HasOptions() && instance.FirstIsElevated();
        const std::optional<int> done = unreachable                ? std::nullopt
                                        : request.HasOptions()     ? instance.HandOver(arguments)
                                        : instance.ActivateFirst() ? std::optional(0)
                                                                   : std::nullopt;
        if (done) return *done;
        if (!instance.IsFirst()) {
            CurrentPrompts().Message(nullptr, instance.FirstIsElevated() ? kElevatedElsewhere : kUnreachable,
                                     L"Varpick", MB_OK | MB_ICONINFORMATION);
            return 1;
        }
        // The Varpick that ran in the folder has ended meanwhile: this start goes on as the first.
    }
    if (request.HasOptions()) return frmMain::Launch(request, showCommand);
    if (!frmMain::Instance().Load()) return 1;
    frmMain::Instance().Show(showCommand);
    return RunMessageLoop();
}
