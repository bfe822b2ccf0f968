// A program's user interface with none of its work: the same dialog templates, manifest, icons
// and fonts, the same windows created at start (the hidden ones too), and no file read or
// written, no settings and no list filled. Built once for each program with its resources; the
// start-up bench compares each program against its floor.
#include <windows.h>

#include "win32/Dialog.h"
#include "win32/Libraries.h"

#if defined(VARPICK_FLOOR)
#include "launcher/resource.h"
#else
#include "configurator/resource.h"
#endif

namespace {

INT_PTR CALLBACK FloorProcedure(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE) PostQuitMessage(0);
    return FALSE;
}

HWND CreateForm(int templateId, HWND owner) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, FloorProcedure, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    RestrictLibrarySearch();  // as the programs do first
#if defined(VARPICK_FLOOR)
    HWND main = CreateForm(IDD_FRMMAIN, nullptr);
    SetWindowIcons(main, IDI_VARPICK);
    ControlFont boldLabels(L"MS Sans Serif", 9.75, true, {IDC_LABEL1, IDC_LBLCURRENTMOD});
    boldLabels.Apply(main, WindowDpi(main));
    // The launcher loads its two dialogs hidden at start, when it paints them in the skin.
    HWND about = CreateForm(IDD_FRMABOUT, HiddenOwnerWindow());
    ControlFont aboutLabels(L"MS Sans Serif", 9.75, false, {IDC_LBLTITLE, IDC_LBLVERSION, IDC_ABOUT_LABEL1});
    aboutLabels.Apply(about, WindowDpi(about));
    CreateForm(IDD_FRMOPTIONS, HiddenOwnerWindow());
#else
    HWND main = CreateForm(IDD_FRMMAIN, nullptr);
    SetWindowIcons(main, IDI_VARTUNE);
    CentreOnScreen(main);
#endif
    ShowWindow(main, showCommand);
    return RunMessageLoop();
}
