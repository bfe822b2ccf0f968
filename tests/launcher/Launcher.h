#pragma once
// A launcher started in a scratch game folder, its three windows driven through their controls.
#include <gtest/gtest.h>

#include "launcher/ModsFormat.h"
#include "launcher/frmAbout.h"
#include "launcher/frmMain.h"
#include "launcher/frmOptions.h"
#include "launcher/modMain.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

class Launcher : public testing::Test {
protected:
    void TearDown() override { Quit(); }
    // Starts the launcher as the program does, with `settings` as Varpick.ini if given.
    void Start(const std::string& settings = "") {
        if (!settings.empty()) WriteBytes(folder / L"Varpick.ini", settings);
        modMain::SetAppFolder(folder.path());
        frmMain::Instance().Show();
        PumpMessages();  // what the load found to tell comes once the window shows
    }
    void Quit() { modMain::ExitLauncher(); PumpMessages(); }  // the pump drops the WM_QUIT it posts

    static HWND Main() { return frmMain::Instance().hwnd(); }
    static HWND Options() { return frmOptions::Instance().hwnd(); }
    static HWND About() { return frmAbout::Instance().hwnd(); }
    static void Press(HWND window, int id) { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }
    static std::wstring Text(HWND window, int id) { return WindowText(GetDlgItem(window, id)); }
    // The window that has the keyboard: the thread's active one, holding the focus, shown; else nullptr.
    static HWND KeyboardWindow() {
        GUITHREADINFO info = {sizeof info};
        GetGUIThreadInfo(GetCurrentThreadId(), &info);
        HWND root = info.hwndFocus ? GetAncestor(info.hwndFocus, GA_ROOT) : nullptr;
        return root && root == info.hwndActive && IsWindowVisible(root) ? root : nullptr;
    }
    static void Select(int line) { SendMessageW(GetDlgItem(Main(), IDC_CBOMODS), LB_SETCURSEL, line, 0); }
    void AddMod(const std::wstring& chosen) { prompts.files.push_back({chosen}); Press(Main(), IDC_CMDADDMOD); }

    // What the user sees and the files hold: the list ([selected]), the label, the game's current mod,
    // the messages and beeps; and the paths in Mods.cfg, where they are not the list's lines.
    std::wstring State() const {
        ListBox list(GetDlgItem(Main(), IDC_CBOMODS));
        std::wstring lines, listed;
        for (int i = 0; i < list.Count(); ++i) {
            lines += i == list.SelectedIndex() ? L"[" + list.ItemText(i) + L"] " : list.ItemText(i) + L" ";
            listed += list.ItemText(i) + L" ";
        }
        const std::optional<std::string> catalogue = ReadBytes(folder / L"Mods.cfg");
        std::wstring stored = catalogue ? L"" : L"none";
        for (const cMod& mod : ParseCatalogue(FromAnsi(catalogue.value_or("")), 2000).entries)
            stored += mod.Path() + L" ";
        return lines + L"| " + Text(Main(), IDC_LBLCURRENTMOD) + L"| game: " +
               GetFromINI(L"mods", L"Currentmod", L"", folder / L"Varmoth.ini") + L" | " +
               std::to_wstring(prompts.messages.size()) + L" messages " + std::to_wstring(prompts.beeps) + L" beeps" +
               (stored == listed ? L"" : L" | Mods.cfg: " + stored);
    }

    ScratchFolder folder;
    RecordingPrompts prompts;
};
