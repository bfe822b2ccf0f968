#include "frmMain.h"

#include "../profile/AnsiText.h"
#include "../profile/Profile.h"
#include "../win32/Dialog.h"
#include "../win32/Prompts.h"
#include "../win32/SystemError.h"
#include "frmAbout.h"
#include "frmOptions.h"
#include "modMain.h"

using namespace std::string_literals;

namespace {

constexpr wchar_t kErrorTitle[] = L"Varmoth Error";
constexpr wchar_t kForumHost[] = L"forum.varmoth.example";

std::wstring FileTitle(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

INT_PTR frmMain::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowIcons(hwnd(), IDI_VARPICK);
        boldFont_.Apply(hwnd(), WindowDpi(hwnd()));
        Form_Load();
        return TRUE;  // the focus goes to the first button
    case WM_COMMAND:
        // Enter and Esc reach here without a control (lParam 0): the window has no default
        // and no cancel button, so they press nothing.
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_DPICHANGED:
        boldFont_.Apply(hwnd(), HIWORD(wParam));
        return FALSE;  // the dialog manager lays the window out for the new DPI
    case WM_CLOSE:
        Form_Unload();
        return TRUE;
    default:
        return FALSE;
    }
}

void frmMain::OnCommand(int id) {
    switch (id) {
    case IDC_CMDRUN: cmdRun_Click(); break;
    case IDC_CMDADDMOD: cmdAddMod_Click(); break;
    case IDC_CMDSETMOD: cmdSetMOD_Click(); break;
    case IDC_CMDSETVMT: cmdSetVMT_Click(); break;
    case IDC_CMDDELETEALLMODS: cmdDeleteAllMods_Click(); break;
    case IDC_CMDOPTIONS: cmdOptions_Click(); break;
    case IDC_CMDABOUT: cmdAbout_Click(); break;
    case IDC_CMDQUIT: cmdQuit_Click(); break;
    }
}

void frmMain::OnUnhandledException(DWORD code, const std::wstring& description) {
    FatalErrorReport(code, description);
}

ListBox frmMain::cboMODs() const { return ListBox(Item(IDC_CBOMODS)); }

void frmMain::ShowCurrentMod(const std::wstring& text) {
    SetWindowTextW(Item(IDC_LBLCURRENTMOD), (L"Current mod: " + text).c_str());
}

void frmMain::ShowError(const std::wstring& text, bool beep) {
    if (beep) CurrentPrompts().Beep();
    CurrentPrompts().Message(hwnd(), text, kErrorTitle, MB_OK | MB_ICONINFORMATION);
}

void frmMain::Form_Load() {
    modMain::CreateMods();
    const modMain::ModsLoad load = modMain::LoadMods();
    ShowCurrentMod(load.sCurrentMod);
    FillList();
    modMain::LoadLauncherSettings();
    modMain::ApplySkin(modMain::iSkin);

    if (load.readError)
        ShowError(L"The mod list could not be read:\r\n" + load.readError->Describe() +
                  L"\r\n\r\nVarpick starts with an empty list and will not overwrite that file.");
    if (load.bTruncated)
        ShowError(L"Mods.cfg lists more than " + std::to_wstring(modMain::kModCapacity) +
                  L" mods; only the first " + std::to_wstring(modMain::kModCapacity) + L" are listed.");
}

void frmMain::FillList() {
    // One allocation and one redraw for the whole catalogue, not one per line; and the control
    // looked up once (a lookup is a round trip to the window server under Wine).
    const ListBox list = cboMODs();
    const RedrawPause pause(Item(IDC_CBOMODS));
    size_t characters = 0;
    for (int index = 1; index <= modMain::iModCount; ++index) characters += modMain::Mods(index).Path().size() + 1;
    list.Reserve(modMain::iModCount, characters);
    // The list mirrors the catalogue: line k shows Mods(k + 1).
    for (int index = 1; index <= modMain::iModCount; ++index) list.Add(modMain::Mods(index).Path());
}

void frmMain::Form_Unload() { modMain::ExitLauncher(); }

void frmMain::cmdRun_Click() {
    const DWORD error = modMain::RunVarmoth();
    if (error == ERROR_SUCCESS) return;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        CurrentPrompts().Beep();
        CurrentPrompts().Message(hwnd(), L"Mothvar.exe Not Found, Enter the Mothvar.exe path in the options dialog",
                                 kErrorTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    FatalErrorReport(error, SystemErrorText(error));
}

void frmMain::cmdAddMod_Click() {
    const std::optional<std::wstring> chosen =
        CurrentPrompts().OpenFile(hwnd(), L"Open", L"Mothvar mod (*.mdf*)\0*.mdf*\0"s);
    if (!chosen || chosen->empty()) return;
    const std::wstring title = FileTitle(*chosen);

    if (modMain::iModCount >= modMain::kModCapacity) {
        ShowError(L"The mod list is full: Varpick keeps at most " + std::to_wstring(modMain::kModCapacity) +
                  L" mods. \"" + title + L"\" was not added.");
        return;
    }
    if (!FitsAnsi(title)) {
        ShowError(L"\"" + title + L"\" was not added: its name has characters that Mods.cfg and the "
                  L"game's Varmoth.ini cannot hold. Rename the file and add it again.");
        return;
    }
    if (modMain::ModsFileProtected()) {
        ShowError(L"\"" + title + L"\" was not added: Mods.cfg could not be read when Varpick started, "
                  L"and saving now would replace the mods listed in it.");
        return;
    }

    const std::int16_t id = modMain::NewModID();
    const std::int16_t index = modMain::NextModIndex();
    cMod& entry = modMain::Mods(index);
    entry.iID(id);
    entry.sName(L"");
    entry.Path(title);
    if (const std::optional<FileError> failed = modMain::SaveMods()) {
        // Keep the table, the file and the list in step: the addition did not happen.
        entry = cMod{};
        --modMain::iModCount;
        ShowError(L"\"" + title + L"\" was not added, because the mod list could not be saved:\r\n" +
                  failed->Describe());
        return;
    }
    cboMODs().Add(title);
}

void frmMain::cmdSetMOD_Click() {
    const std::wstring line = cboMODs().SelectedText();
    if (line.empty()) {
        CurrentPrompts().Beep();
        CurrentPrompts().Message(hwnd(), L"No Mod Selected, You have to select a mod from the list to set it as the current mod",
                                 L"Mod Selection Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetCurrentMod(line, line);
}

void frmMain::cmdSetVMT_Click() { SetCurrentMod(L"main", L"Mothvar"); }

bool frmMain::SetCurrentMod(const std::wstring& value, const std::wstring& labelText) {
    const std::wstring file = modMain::GameIniFile();
    if (!AddToINI(L"mods", L"Currentmod", value, file)) {
        const FileError failed{file, GetLastError()};
        ShowError(L"The current mod could not be saved, so the game will not use it:\r\n" + failed.Describe(),
                  true);
        return false;
    }
    ShowCurrentMod(labelText);
    return true;
}

void frmMain::cmdDeleteAllMods_Click() {
    if (const std::optional<FileError> failed = modMain::DeleteModsFile()) {
        ShowError(L"The mod list could not be deleted:\r\n" + failed->Describe());
        return;
    }
    cboMODs().Clear();
}

void frmMain::cmdOptions_Click() { frmOptions::Instance().Show(); }

void frmMain::cmdAbout_Click() { frmAbout::Instance().Show(); }

void frmMain::cmdQuit_Click() { Form_Unload(); }

void frmMain::FatalErrorReport(DWORD code, const std::wstring& description) {
    const std::wstring text = L"Fatal Error: " + std::to_wstring(code) + L" - " + description + L"\r\n" +
                              L"Execiton aborted, Please submit a error report to " + kForumHost + L" forums";
    CurrentPrompts().Message(hwnd(), text, L"Fatal Error", MB_OK | MB_ICONERROR);
    CurrentPrompts().EndProgram(code ? code : 1);
}
