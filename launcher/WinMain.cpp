#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../win32/Dialog.h"
#include "../win32/Libraries.h"
#include "../win32/Prompts.h"
#include "CommandLine.h"
#include "SingleInstance.h"
#include "frmMain.h"
#include "modMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    RestrictLibrarySearch();
    const std::vector<std::wstring> arguments(__wargv + 1, __wargv + __argc);
    const LaunchRequest request = ReadCommandLine(arguments);
    if (request.bHelp || !request.sRefusal.empty()) {
        CurrentPrompts().Message(nullptr, request.bHelp ? kUsage : request.sRefusal, L"Varpick", MB_OK | MB_ICONINFORMATION);
        return request.bHelp ? 0 : 1;
    }
    // Before any file is read or written: a second Varpick in the folder only points to the
    // first, or hands its command line to it.
    const SingleInstance instance(modMain::AppFolder());
    if (instance.OutOfReach()) {
        CurrentPrompts().Message(nullptr, L"Varpick already runs in this folder as administrator, where this start cannot reach it. "
                                 L"Use that Varpick, or close it and start this one again.", L"Varpick", MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    if (!instance.IsFirst()) return request.HasOptions() ? instance.HandOver(arguments) : (instance.ActivateFirst() ? 0 : 1);
    if (request.HasOptions()) return frmMain::Launch(request, showCommand);
    if (!frmMain::Instance().Load()) return 1;
    frmMain::Instance().Show(showCommand);
    return RunMessageLoop();
}
