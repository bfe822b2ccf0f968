#include "frmMain.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "../profile/AnsiText.h"
#include "../profile/Profile.h"
#include "../win32/AccessibleNames.h"
#include "../win32/Dialog.h"
#include "../win32/Libraries.h"
#include "../win32/Prompts.h"
#include "../win32/SystemError.h"
#include "Shortcut.h"
#include "SingleInstance.h"
#include "frmAbout.h"
#include "frmOptions.h"
#include "modMain.h"

using namespace std::string_literals;

namespace {

constexpr wchar_t kErrorTitle[] = L"Varmoth Error";
constexpr wchar_t kForumHost[] = L"forum.varmoth.example";

// Asked before a start of the game as administrator by a Varpick whose writes Windows keeps in
// the player's VirtualStore (the x86 build under Program Files).
constexpr wchar_t kUnseenByElevatedGame[] =
    L"Mothvar.exe is set to run as administrator. Run so, it may not use the mod Varpick set: Windows keeps "
    L"the files Varpick writes in the game's folder apart for you (in your VirtualStore), and a program run as "
    L"administrator reads the game folder's own files.\r\n\r\n"
    L"To mend it, start Varpick as administrator too, or clear \"Run this program as an administrator\" "
    L"on the Compatibility tab of Mothvar.exe's Properties.\r\n\r\n"
    L"Start the game anyway?";

std::wstring FileTitle(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// What Run says when the game's path names no program it can start (no file, a folder, a file
// that is no program, one Windows refuses): a setup mistake that the options dialog mends.
void TellGameNotStarted(HWND owner, DWORD error) {
    const std::wstring& path = modMain::sVarmothPath;
    const std::wstring mend = L"Enter the path of Mothvar.exe itself in the options dialog (Options, then Browse...).";
    std::wstring text = L"Mothvar.exe Not Found, Enter the Mothvar.exe path in the options dialog";
    if (modMain::IsExistingFolder(path))
        text = L"The game's path \"" + path + L"\" is a folder, not the game. " + mend;
    else if (error == ERROR_BAD_EXE_FORMAT)  // a mod, a settings file or a text picked by mistake
        text = L"The game's path \"" + path + L"\" is a file that is not a program, not the game. " + mend;
    else if (error == ERROR_ACCESS_DENIED)
        text = L"Windows did not let Varpick start the game's path \"" + path + L"\": " + SystemErrorText(error, path) +
               L"\r\n\r\nCheck that the options dialog names Mothvar.exe, and that your account may run it (its "
               L"Properties, Security tab).";
    CurrentPrompts().Beep();
    CurrentPrompts().Message(owner, text, kErrorTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

INT_PTR frmMain::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowIcons(hwnd(), IDI_VARPICK);
        // Run as administrator, the window would get no files dropped from Explorer: User
        // Interface Privilege Isolation keeps these messages of a lower integrity level out
        // unless the window lets them in. WM_COPYGLOBALDATA (0x0049) carries a drop's file list.
        // A hand-over (WM_COPYDATA) stays out: a lower program may not start the game so.
        for (const UINT allowed : {UINT(WM_DROPFILES), 0x0049u})
            ChangeWindowMessageFilterEx(hwnd(), allowed, MSGFLT_ALLOW, nullptr);
        boldFont_.Apply(hwnd(), WindowDpi(hwnd()));
        typeAhead_.Attach(Item(IDC_CBOMODS));
        NameControlsByTheirLabels(hwnd());
        Form_Load();
        return FALSE;  // no focus yet: it goes to the first button when the window is shown
    case WM_COMMAND:
        if (lParam == 0) OnMenuOrKey(LOWORD(wParam));
        else if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        else if (LOWORD(wParam) == IDC_CBOMODS && HIWORD(wParam) == LBN_DBLCLK) cmdSetMOD_Click();
        return TRUE;
    case WM_DROPFILES:
        Form_DropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == Item(IDC_CBOMODS)) cboMODs_ContextMenu(lParam);
        return TRUE;
    case WM_VKEYTOITEM:  // a key pressed in the mod list: Delete removes the line, others work as usual
        if (LOWORD(wParam) != VK_DELETE) return -1;
        mnuRemoveFromList_Click();
        return -2;
    case WM_DPICHANGED:
        boldFont_.Apply(hwnd(), HIWORD(wParam));
        PostMessageW(hwnd(), kFitListWidth, 0, 0);  // once the list has its font for the new DPI
        return FALSE;  // the dialog manager lays the window out for the new DPI
    case kFitListWidth:
        cboMODs().FitHorizontalExtent();
        return TRUE;
    case WM_CLOSE:
        Form_Unload();
        return TRUE;
    case WM_COPYDATA: {  // another start of Varpick in this folder hands its command line over; nothing else is taken
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const bool handOver = data && data->dwData == kHandOverCommandLine;
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, handOver ? CarryOutHandedOver(data) : 1);
        return TRUE;
    }
    case kShowStartupMessage:
        if (!startupMessage_.empty()) ShowError(std::exchange(startupMessage_, std::wstring()));
        return TRUE;
    default:
        return FALSE;
    }
}

void frmMain::OnMenuOrKey(int id) {
    switch (id) {
    case IDM_SETASCURRENT: cmdSetMOD_Click(); break;
    case IDM_REMOVEFROMLIST: mnuRemoveFromList_Click(); break;
    case IDM_CREATESHORTCUT: mnuCreateShortcut_Click(); break;
    // Enter comes as IDOK, Esc as IDCANCEL: the window has no default and no cancel button, so
    // they press nothing, but Enter on a line of the mod list sets that mod.
    case IDOK:
        if (GetFocus() == Item(IDC_CBOMODS) && cboMODs().SelectedIndex() >= 0) cmdSetMOD_Click();
        break;
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
    // The current mod's line is selected, so that Set mod, Enter or Run go on from it.
    if (const int current = modMain::FindMod(load.sCurrentMod)) cboMODs().SetSelectedIndex(current - 1);
    const bool settingsRead = modMain::LoadLauncherSettings();
    modMain::ApplySkin(modMain::iSkin);

    // Told once the window shows, over it: a message box now would come before the window.
    const auto tell = [&](const std::wstring& text) {
        startupMessage_ += (startupMessage_.empty() ? L"" : L"\r\n\r\n") + text;
    };
    if (load.readError)
        tell(L"The mod list could not be read:\r\n" + load.readError->Describe() +
             L"\r\n\r\nVarpick starts with an empty list and will not overwrite that file.");
    if (load.bTruncated)
        tell(L"Mods.cfg lists more than " + std::to_wstring(modMain::kModCapacity) + L" mods; only the first " +
             std::to_wstring(modMain::kModCapacity) + L" are listed. The others stay in Mods.cfg as they are.");
    if (!settingsRead)
        tell(L"The settings in \"" + modMain::AppFile(L"Varpick.ini") + L"\" could not be read: another program "
             L"held the file, Windows refused it, or it is damaged. Varpick uses the default game path and skin for "
             L"now, and saving the options writes only what you change in them.");
    if (!startupMessage_.empty()) PostMessageW(hwnd(), kShowStartupMessage, 0, 0);
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
    list.FitHorizontalExtent();
}

void frmMain::Form_Unload() { modMain::ExitLauncher(); }

void ActivateMainWindow() {
    HWND main = frmMain::Instance().hwnd();
    if (main && IsWindowVisible(main)) SetForegroundWindow(main);
}

void frmMain::cmdRun_Click() { RunGame({}); }

bool frmMain::RunGame(const std::function<bool()>& beforeGameRuns) {
    modMain::ProgramStart start(modMain::sVarmothPath, SW_SHOWMINIMIZED);
    DWORD error = start.Error();
    // Run as administrator, the game reads the game folder's own files, not the copies Windows
    // keeps of this Varpick's (in the player's VirtualStore): asked before anything is written.
    if (error == ERROR_ELEVATION_REQUIRED && modMain::InVirtualStore(modMain::GameIniFile())) {
        CurrentPrompts().Beep();
        if (CurrentPrompts().Message(hwnd(), kUnseenByElevatedGame, kErrorTitle, MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    if (error == ERROR_SUCCESS || error == ERROR_ELEVATION_REQUIRED) {
        if (beforeGameRuns && !beforeGameRuns()) return false;  // the held game ends, never having run
        error = start.Go();
    }
    if (error == ERROR_SUCCESS) return true;
    // No game there, a folder, a file that is no program (a settings file picked by mistake), or
    // one Windows refuses to start: the same setup mistake, which the options dialog mends.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT ||
        error == ERROR_EXE_MACHINE_TYPE_MISMATCH || error == ERROR_ACCESS_DENIED) {
        TellGameNotStarted(hwnd(), error);
        return false;
    }
    if (error == ERROR_CANCELLED) {  // the player said no when asked to let it run as administrator
        ShowError(L"Mothvar.exe was not started: it runs as administrator, and that was not allowed.");
        return false;
    }
    FatalErrorReport(error, SystemErrorText(error, modMain::sVarmothPath));
    return false;
}

void frmMain::cmdAddMod_Click() {
    // Mods belong in the game's folder, where the game looks for them.
    AddModFiles(CurrentPrompts().OpenFiles(hwnd(), L"Open", L"Mothvar mod (*.mdf*)\0*.mdf*\0"s, modMain::AppFolder()),
                {});
}

void frmMain::AddModFiles(const std::vector<std::wstring>& files, std::vector<std::wstring> notAdded) {
    const std::int16_t countBefore = modMain::iModCount;
    std::vector<std::wstring> added;
    for (const std::wstring& file : files) {
        const std::wstring title = FileTitle(file);
        if (title.empty()) continue;
        if (modMain::iModCount >= modMain::kModCapacity) {
            notAdded.push_back(L"The mod list is full: Varpick keeps at most " +
                               std::to_wstring(modMain::kModCapacity) + L" mods. \"" + title + L"\" was not added.");
        } else if (!FitsAnsi(title)) {
            notAdded.push_back(L"\"" + title + L"\" was not added: its name has characters that Mods.cfg and the "
                               L"game's Varmoth.ini cannot hold. Rename the file and add it again.");
        } else if (modMain::ModsFileProtected()) {
            notAdded.push_back(L"\"" + title + L"\" was not added: Mods.cfg could not be read when Varpick started, "
                               L"and saving now would replace the mods listed in it.");
        } else {
            cMod& entry = modMain::Mods(modMain::NextModIndex());
            entry.iID(modMain::NewModID());
            entry.sName(L"");
            entry.Path(title);
            added.push_back(title);
        }
    }
    // One save for all of them; when it fails, none was added and table, file and list stay in step.
    if (!added.empty()) {
        if (const std::optional<FileError> failed = modMain::SaveMods()) {
            while (modMain::iModCount > countBefore) modMain::Mods(modMain::iModCount--) = cMod{};
            std::wstring titles;
            for (const std::wstring& title : added) titles += (titles.empty() ? L"\"" : L", \"") + title + L"\"";
            notAdded.push_back(titles + (added.size() == 1 ? L" was" : L" were") +
                               L" not added, because the mod list could not be saved:\r\n" + failed->Describe());
        } else {
            const ListBox list = cboMODs();
            for (const std::wstring& title : added) list.Add(title);
            list.FitHorizontalExtent();
        }
    }
    if (notAdded.empty()) return;
    std::wstring text;
    for (const std::wstring& line : notAdded) text += (text.empty() ? L"" : L"\r\n") + line;
    ShowError(text);
}

void frmMain::Form_DropFiles(HDROP drop) {
    // The shell's library is loaded only when something is dropped: importing it would slow every
    // start. The window accepts files through its extended style alone.
    static const HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    static const auto dragQueryFile = reinterpret_cast<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>(
        reinterpret_cast<void*>(GetProcAddress(shell, "DragQueryFileW")));
    static const auto dragFinish =
        reinterpret_cast<void(WINAPI*)(HDROP)>(reinterpret_cast<void*>(GetProcAddress(shell, "DragFinish")));
    if (!dragQueryFile || !dragFinish) return;
    std::vector<std::wstring> mods, skipped;
    const UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(dragQueryFile(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(dragQueryFile(drop, i, path.data(), static_cast<UINT>(path.size())));
        // The add dialog's pattern, *.mdf*, as it matches: ".mdf" anywhere in the name, in any case.
        std::wstring name = FileTitle(path);
        CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        if (name.find(L".mdf") != std::wstring::npos) mods.push_back(path);
        else skipped.push_back(L"\"" + FileTitle(path) + L"\" was not added: it is not a mod file (*.mdf*).");
    }
    dragFinish(drop);
    AddModFiles(mods, skipped);
}

void frmMain::cboMODs_ContextMenu(LPARAM position) {
    HWND list = Item(IDC_CBOMODS);
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {  // from the keyboard: at the selected line
        const int line = cboMODs().SelectedIndex();
        RECT rect;
        if (line < 0 || SendMessageW(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&rect)) == LB_ERR) return;
        at = {rect.left, rect.bottom};
        ClientToScreen(list, &at);
    } else {  // a right-click selects the line under the pointer first
        POINT client = at;
        ScreenToClient(list, &client);
        const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
        if (HIWORD(hit)) return;  // below the last line
        SendMessageW(list, LB_SETCURSEL, LOWORD(hit), 0);
    }
    UniqueHMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, IDM_SETASCURRENT, L"Set as &current mod");
    AppendMenuW(menu.get(), MF_STRING, IDM_REMOVEFROMLIST, L"&Remove from list");
    AppendMenuW(menu.get(), MF_STRING, IDM_CREATESHORTCUT, L"Create desktop &shortcut");
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);  // the choice comes as WM_COMMAND
}

void frmMain::mnuRemoveFromList_Click() {
    const int line = cboMODs().SelectedIndex();
    if (line < 0) return;
    const std::wstring title = cboMODs().ItemText(line);
    // The game's current mod stays as it is, and so does the label: the game still uses it.
    if (const std::optional<FileError> failed = modMain::RemoveMod(line + 1)) {
        ShowError(L"\"" + title + L"\" was not removed, because the mod list could not be saved:\r\n" +
                  failed->Describe());
        return;
    }
    cboMODs().Remove(line);
    cboMODs().FitHorizontalExtent();
    // As in a file manager: the next line, or the new last one, so Delete again goes on.
    if (const int count = cboMODs().Count(); count > 0) cboMODs().SetSelectedIndex(std::min(line, count - 1));
}

void frmMain::mnuCreateShortcut_Click() {
    const std::wstring mod = cboMODs().SelectedText();
    if (mod.empty()) return;
    std::wstring shortcut;
    if (const DWORD error = CreateDesktopShortcut(mod, modMain::sVarmothPath, shortcut)) {
        ShowError(L"The shortcut to play \"" + mod + L"\" could not be made:\r\n" +
                  (shortcut.empty() ? SystemErrorText(error) : FileError{shortcut, error}.Describe()));
        return;
    }
    CurrentPrompts().Message(hwnd(), L"The shortcut that plays \"" + mod + L"\" is on your desktop:\r\n" + shortcut,
                             L"" VARPICK_TITLE, MB_OK | MB_ICONINFORMATION);
}

void frmMain::cmdSetMOD_Click() {
    const std::wstring line = cboMODs().SelectedText();
    if (line.empty()) {
        CurrentPrompts().Beep();
        CurrentPrompts().Message(
            hwnd(), L"No Mod Selected, You have to select a mod from the list to set it as the current mod",
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

int frmMain::Launch(const LaunchRequest& request, int showCommand) {
    frmMain& form = Instance();
    if (request.bRun) {  // no window: the catalogue the window's load reads, then the commands
        modMain::CreateMods();
        if (request.sMod) modMain::LoadMods(false);  // read only, as the settings: a refused start writes nothing
        modMain::LoadLauncherSettings(false);  // the game's path, read only: a refused start writes nothing
        return form.CarryOut(request);
    }
    if (!form.Load()) return 1;
    if (const int refused = form.CarryOut(request)) {
        modMain::ExitLauncher();
        return refused;
    }
    form.Show(showCommand);
    return RunMessageLoop();
}

int frmMain::CarryOut(const LaunchRequest& request) {
    int index = 0;
    if (request.sMod) {
        const std::wstring& name = *request.sMod;
        if (modMain::ModsFileProtected()) {
            ShowError(L"\"" + name + L"\" was not set: the mod list in Mods.cfg could not be read.", true);
            return 1;
        }
        index = modMain::FindMod(name);
        if (index == 0) {
            ShowError(
                L"\"" + name + L"\" is not in the mod list, so it was not set." +
                    (request.bRun ? L" The game was not started." : L"") +
                    L"\r\n\r\nAdd the mod to the list with Add a Mod, or make a new shortcut: right-click its line "
                    L"in the list and choose Create desktop shortcut.",
                true);
            return 1;
        }
    }
    // Looked for before anything is written: a start that cannot run the game changes nothing.
    if (request.bRun && !modMain::ProgramFound(modMain::sVarmothPath)) {
        TellGameNotStarted(hwnd(), ERROR_FILE_NOT_FOUND);
        return 1;
    }
    // The mod is set once the game is known to start, before it runs.
    const auto setMod = [&] {
        if (index != 0) {
            const std::wstring line = modMain::Mods(index).Path();  // the list's own spelling
            if (!SetCurrentMod(line, line)) return false;
            if (IsLoaded()) cboMODs().SetSelectedIndex(index - 1);
            return true;
        }
        return !request.bPlain || SetCurrentMod(L"main", L"Mothvar");
    };
    if (request.bRun) return RunGame(setMod) ? 0 : 1;
    if (!setMod()) return 1;
    if (IsLoaded() && IsWindowVisible(hwnd())) Show(IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    return 0;
}

LRESULT frmMain::CarryOutHandedOver(const COPYDATASTRUCT* data) {
    // What reaches this window came from a program with its rights: Windows keeps the messages
    // of a program with fewer out of a window run as administrator (User Interface Privilege
    // Isolation), and this window lets none in. What is no list of arguments is refused unread.
    const std::optional<std::vector<std::wstring>> arguments = SplitArguments(data->lpData, data->cbData);
    if (!arguments) return 1;
    const LaunchRequest request = ReadCommandLine(*arguments);
    if (!request.sRefusal.empty()) return 1;
    return CarryOut(request);
}

void frmMain::FatalErrorReport(DWORD code, const std::wstring& description) {
    const std::wstring text = L"Fatal Error: " + std::to_wstring(code) + L" - " + description + L"\r\n" +
                              L"Execiton aborted, Please submit a error report to " + kForumHost + L" forums";
    CurrentPrompts().Message(hwnd(), text, L"Fatal Error", MB_OK | MB_ICONERROR);
    CurrentPrompts().EndProgram(1);  // the exit code of every failure
}
