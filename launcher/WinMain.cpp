#include <windows.h>

#include "../win32/Dialog.h"
#include "frmMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    if (!frmMain::Instance().Load()) return 1;
    frmMain::Instance().Show(showCommand);
    return RunMessageLoop();
}
