#include <windows.h>

#include "../win32/Dialog.h"
#include "../win32/Libraries.h"
#include "SingleInstance.h"
#include "frmMain.h"
#include "modMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    RestrictLibrarySearch();
    // Before any file is read or written: a second Varpick in the folder only points to the first.
    const SingleInstance instance(modMain::AppFolder());
    if (!instance.IsFirst()) return instance.ActivateFirst() ? 0 : 1;
    if (!frmMain::Instance().Load()) return 1;
    frmMain::Instance().Show(showCommand);
    return RunMessageLoop();
}
