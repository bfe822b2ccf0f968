#pragma once
// Varpick's main window: the mod list, the game's current mod, and the eight commands.
#include <windows.h>

#include <shellapi.h>  // HDROP; the library itself is loaded on the first drop

#include <functional>
#include <string>
#include <vector>

#include "../win32/Controls.h"
#include "../win32/TypeAhead.h"
#include "CommandLine.h"
#include "../win32/UniqueHandle.h"
#include "LauncherForm.h"
#include "resource.h"

class frmMain : public LauncherForm<frmMain> {
public:
    static constexpr int kTemplateId = IDD_FRMMAIN;
    static constexpr bool kOwnedByHiddenWindow = false;
    // The mod list has the keyboard when Varpick opens: a letter typed there finds a name, where
    // on a button it would press the button whose access key it is.
    static constexpr int kFirstFocus = IDC_CBOMODS;

    INT_PTR FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnUnhandledException(DWORD code, const std::wstring& description);

    // The fatal-error report: shown, then the program ends.
    void FatalErrorReport(DWORD code, const std::wstring& description);

    // Starts the launcher for a command line that holds options: carries them out and, without
    // --run, shows the window as usual; --run loads no window. Returns the exit code.
    static int Launch(const LaunchRequest& request, int showCommand);

    // Carries out a command line's request as the window's buttons would, with their messages:
    // 0 when done, 1 when refused or failed. Works whether or not the window is loaded; for --run
    // the launcher's settings are read already.
    int CarryOut(const LaunchRequest& request);

private:
    void Form_Load();
    void FillList();  // the catalogue into the mod list
    void Form_Unload();
    void cmdRun_Click();
    void cmdAddMod_Click();
    // Adds the files as Add a Mod adds one, with one save for all of them and one message for
    // what was not added (after `notAdded`, what the caller turned away already).
    void AddModFiles(const std::vector<std::wstring>& files, std::vector<std::wstring> notAdded);
    void Form_DropFiles(HDROP drop);
    void cboMODs_ContextMenu(LPARAM position);
    void mnuRemoveFromList_Click();
    void mnuCreateShortcut_Click();
    // Starts the game as Run does, once `beforeGameRuns` (if any) succeeded, which then runs when
    // the game is known to start and before it runs; false when the game did not start (the user
    // was told why).
    bool RunGame(const std::function<bool()>& beforeGameRuns);
    void OnMenuOrKey(int id);
    void cmdSetMOD_Click();
    void cmdSetVMT_Click();
    void cmdDeleteAllMods_Click();
    void cmdOptions_Click();
    void cmdAbout_Click();
    void cmdQuit_Click();

    void OnCommand(int id);
    // Writes the game's current mod and shows `labelText` once the game will use it.
    bool SetCurrentMod(const std::wstring& value, const std::wstring& labelText);
    void ShowCurrentMod(const std::wstring& text);
    void ShowError(const std::wstring& text, bool beep = false);

    ListBox cboMODs() const;

    // The command line of another start in this folder, in a WM_COPYDATA: 0 done, 1 refused or failed.
    LRESULT CarryOutHandedOver(const COPYDATASTRUCT* data);

    static constexpr UINT kShowStartupMessage = WM_APP + 1;
    static constexpr UINT kFitListWidth = WM_APP + 2;  // the mod list's sideways extent, for its font
    std::wstring startupMessage_;  // what the load found to tell, shown once the window is
    ControlFont boldFont_{L"MS Sans Serif", 9.75, true, {IDC_LABEL1, IDC_LBLCURRENTMOD}};
    ListTypeAhead typeAhead_;  // typing a name's start in the mod list finds it
};
