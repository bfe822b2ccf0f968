#include <windows.h>

#include "../profile/Window.h"
#include "frmMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    frmMain form;
    if (!form.Load(showCommand)) return 1;
    return RunMessageLoop();
}
