#include <windows.h>

#include "../profile/Profile.h"
#include "../win32/Dialog.h"
#include "../win32/Libraries.h"
#include "frmMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    RestrictLibrarySearch();
    frmMain form(ProgramFolder());
    if (!form.Load(showCommand)) return 1;
    return RunMessageLoop();
}
