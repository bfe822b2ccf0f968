#include "frmOptions.h"

#include "../win32/AccessibleNames.h"
#include "../win32/Prompts.h"
#include "frmMain.h"
#include "modMain.h"

using namespace std::string_literals;

namespace {
// In skin order: the position of an item is its skin index.
constexpr const wchar_t* kSkinNames[] = {L"White Black", L"Red Black", L"Green Black", L"Blue Black"};
}  // namespace

INT_PTR frmOptions::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        NameControlsByTheirLabels(hwnd());
        Form_Load();
        return FALSE;  // no focus yet: it goes to the path box when the dialog is shown
    case WM_COMMAND:
        if (lParam == 0) return TRUE;  // Enter with no default button presses nothing
        switch (LOWORD(wParam)) {
        case IDC_TXTEXEPATH:
            if (HIWORD(wParam) == EN_CHANGE) txtExePath_Change();
            break;
        case IDC_CBOSKIN:
            if (HIWORD(wParam) == CBN_SELCHANGE) cboSkin_Click();
            break;
        case IDC_CMDBROWSE: cmdBrowse_Click(); break;
        case IDC_OPTIONS_CMDOK: cmdOK_Click(); break;
        case IDC_OPTIONS_CMDCANCEL: cmdCancel_Click(); break;  // also Esc
        case IDC_CMDAPPLY: cmdApply_Click(); break;
        }
        return TRUE;
    case WM_CLOSE:  // the close box cancels
        cmdCancel_Click();
        return TRUE;
    default:
        return FALSE;
    }
}

void frmOptions::OnUnhandledException(DWORD code, const std::wstring& description) {
    frmMain::Instance().FatalErrorReport(code, description);
}

void frmOptions::Form_Load() {
    CentreOnScreen(hwnd());
    // Setting the text counts as a change and enables Apply; an empty path changes nothing.
    if (!modMain::sVarmothPath.empty()) SetWindowTextW(txtExePath(), modMain::sVarmothPath.c_str());
    for (const wchar_t* name : kSkinNames) cboSkin().Add(name);
    SelectSkin(modMain::iSkin);
}

void frmOptions::SelectSkin(int index) {
    cboSkin().SetSelectedIndex(index);  // a position the list does not have selects nothing
    if (cboSkin().SelectedIndex() >= 0) cboSkin_Click();
}

void frmOptions::txtExePath_Change() { EnableWindow(Item(IDC_CMDAPPLY), TRUE); }

// Typing in the box's text field is no choice: it leaves no item selected and Apply as it was.
void frmOptions::cboSkin_Click() { EnableWindow(Item(IDC_CMDAPPLY), TRUE); }

void frmOptions::cmdBrowse_Click() {
    const std::optional<std::wstring> picked =
        CurrentPrompts().OpenFile(hwnd(), L"Open", L"Executable (*.exe*)\0*.exe*\0"s);
    if (picked && !picked->empty()) SetWindowTextW(txtExePath(), picked->c_str());
}

void frmOptions::TakeAndSaveSettings() {
    modMain::sVarmothPath = WindowText(txtExePath());
    modMain::iSkin = static_cast<std::int16_t>(cboSkin().SelectedIndex());
    if (const std::optional<FileError> failed = modMain::SaveLauncherSettings())
        CurrentPrompts().Message(
            hwnd(),
            L"The options are in use until Varpick closes, but " +
                (failed->code == ERROR_NO_UNICODE_TRANSLATION
                     ? L"the game's path could not be saved (the skin was): Varpick.ini cannot hold "
                       L"its characters, and it has no short (8.3) name that Varpick.ini can hold:\r\n"s
                     : L"they could not be saved:\r\n"s) +
                failed->Describe(),
            L"Options", MB_OK | MB_ICONINFORMATION);
}

void frmOptions::cmdOK_Click() {
    TakeAndSaveSettings();
    Close();
    modMain::ApplySkin(modMain::iSkin);  // for a skin of 0..3 this loads the dialog again, hidden
}

void frmOptions::cmdCancel_Click() { Close(); }

void frmOptions::cmdApply_Click() {
    TakeAndSaveSettings();
    modMain::ApplySkin(modMain::iSkin);
    DisableControl(hwnd(), IDC_CMDAPPLY);
}
