#include "frmMain.h"

#include <iterator>
#include <span>

#include "../profile/FileIO.h"
#include "../profile/Profile.h"
#include "../win32/AccessibleNames.h"
#include "../win32/Prompts.h"
#include "../win32/SystemError.h"
#include "ConfigValues.h"
#include "resource.h"

namespace {

constexpr wchar_t kSection[] = L"options";
constexpr wchar_t kUserDefined[] = L"User Defined";

constexpr const wchar_t* kPresetNames[] = {L"Best Quality", L"Better Quality", L"Normal Quality", L"Fast",
                                           L"Fastest"};
constexpr int kNormalQuality = 2;

struct OptionBox {
    int id;
    const wchar_t* key;
    std::span<const wchar_t* const> items;
};

constexpr const wchar_t* kPerformenceItems[] = {L"Normal", L"Better", L"Best"};
constexpr const wchar_t* kBitItems[] = {L"16-bit", L"32-bit"};
constexpr const wchar_t* kResoultionItems[] = {L"640x480", L"800x600", L"1024x768", L"1152x864", L"1280x960"};
constexpr const wchar_t* kScreenItems[] = {L"Fullscreen", L"Windowed"};
constexpr const wchar_t* kIntroItems[] = {L"Yes", L"No"};
constexpr const wchar_t* kOnOffItems[] = {L"On", L"Off"};

// In key order: the order of loading, of applying and of the preset table's columns.
constexpr OptionBox kOptions[] = {
    {IDC_CBOPREFORMANCE, L"performence", kPerformenceItems},
    {IDC_CBOBIT, L"bit", kBitItems},
    {IDC_CBORESOULTION, L"resoultion", kResoultionItems},
    {IDC_CBOSCREEN, L"screen", kScreenItems},
    {IDC_CBOINTRO, L"intro", kIntroItems},
    {IDC_CBOSOUND, L"sound", kOnOffItems},
    {IDC_CBOMUSIC, L"music", kOnOffItems},
};

// The stored value (1-based item) each preset gives each option, columns in key order.
constexpr int kPresets[5][7] = {
    {3, 2, 5, 1, 1, 1, 1},  // Best Quality
    {3, 2, 3, 1, 1, 1, 1},  // Better Quality
    {2, 2, 3, 1, 1, 1, 1},  // Normal Quality
    {1, 1, 2, 1, 2, 1, 1},  // Fast
    {1, 1, 1, 1, 2, 2, 2},  // Fastest
};

bool IsOptionBox(int id) {
    for (const OptionBox& option : kOptions)
        if (option.id == id) return true;
    return false;
}

}  // namespace

bool frmMain::Load(int showCommand) {
    if (!Create(IDD_FRMMAIN, nullptr)) return false;
    ShowWindow(hwnd(), showCommand);
    return true;
}

INT_PTR frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowIcons(hwnd(), IDI_VARTUNE);
        CentreOnScreen(hwnd());
        NameControlsByTheirLabels(hwnd());
        Form_Load();
        return TRUE;  // the focus goes to the preset box
    case WM_COMMAND:
        // Enter and Esc reach here without a control (lParam 0): the window has no default
        // and no cancel button, so they press nothing.
        if (lParam != 0) OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        cmdClose_Click();
        return TRUE;
    case kTellUnread:
        CurrentPrompts().Message(hwnd(), unreadMessage_, Caption(), MB_OK | MB_ICONINFORMATION);
        return TRUE;
    default:
        return FALSE;
    }
}

void frmMain::OnCommand(int id, int code) {
    if (code == CBN_SELCHANGE) {
        if (id == IDC_CBOPRESET) cboPreset_Click();
        else if (IsOptionBox(id)) OptionBox_Click(id);
    } else if (code == BN_CLICKED) {
        if (id == IDC_CMDAPPLY) cmdApply_Click();
        else if (id == IDC_CMDRESET) cmdReset_Click();
        else if (id == IDC_CMDCLOSE) cmdClose_Click();
    }
}

void frmMain::OnUnhandledException(DWORD code, const std::wstring& description) {
    CurrentPrompts().Message(hwnd(), L"Error " + std::to_wstring(code) + L" - " + description, Caption(),
                             MB_OK | MB_ICONERROR);
    CurrentPrompts().EndProgram(code ? code : 1);
}

std::wstring frmMain::Caption() const { return WindowText(hwnd()); }

void frmMain::Form_Load() {
    for (const wchar_t* name : kPresetNames) Box(IDC_CBOPRESET).Add(name);
    sConfigFile = programFolder_ + L"\\vmtconfig.ini";
    // A cloud client or virus checker may hold the file for a moment: it is waited out once here.
    // A file held for longer, or refused, is read no further: each key would wait again.
    DWORD error = ERROR_SUCCESS;
    const bool readable = OpenForReading(sConfigFile, error) || error == ERROR_FILE_NOT_FOUND;
    // Each option is filled and selected before the next, so missing keys are written in order. A
    // value that could not be read shows the default, which is not written (GetFromINI), nor
    // applied until the player changes that option.
    bool anyUnread = false;
    for (size_t i = 0; i < std::size(kOptions); ++i) {
        const OptionBox& option = kOptions[i];
        for (const wchar_t* item : option.items) Box(option.id).Add(item);
        bool unread = !readable;
        const std::wstring stored = readable ? GetFromINI(kSection, option.key, L"1", sConfigFile, &unread) : L"1";
        SelectOption(option.id, SelectionFromStored(stored, static_cast<int>(option.items.size())));
        unread_[i] = unread;
        anyUnread |= unread;
    }
    EnableWindow(Item(IDC_CMDAPPLY), FALSE);
    if (anyUnread) {
        const std::wstring what =
            readable ? L"Some settings in \"" + sConfigFile + L"\" could not be read: another program held the file, "
                       L"or it is over 1 MB or holds a value too long to read."
                     : L"The settings could not be read:\r\n" + FileError{sConfigFile, error}.Describe();
        unreadMessage_ = what + L"\r\n\r\nThose options show their defaults, and Apply Changes saves only the options "
                                L"you change.";
        PostMessageW(hwnd(), kTellUnread, 0, 0);  // over the window, once it shows
    }
}

void frmMain::SelectOption(int boxId, int index) {
    Box(boxId).SetSelectedIndex(index);
    OptionBox_Click(boxId);
}

void frmMain::SelectPreset(int index) {
    Box(IDC_CBOPRESET).SetSelectedIndex(index);
    cboPreset_Click();
}

void frmMain::OptionBox_Click(int boxId) {
    for (size_t i = 0; i < std::size(kOptions); ++i)
        if (kOptions[i].id == boxId) unread_[i] = false;  // the player's choice now, whatever the file held
    Changed();
}

void frmMain::Changed() {
    EnableWindow(Item(IDC_CMDAPPLY), TRUE);
    // "User Defined" is text in the field, not an item: nothing in the list stays selected.
    Box(IDC_CBOPRESET).SetSelectedIndex(-1);
    Box(IDC_CBOPRESET).SetText(kUserDefined);
}

void frmMain::cboPreset_Click() {
    const int preset = Box(IDC_CBOPRESET).SelectedIndex();
    if (preset < 0 || preset >= static_cast<int>(std::size(kPresets))) return;
    for (size_t column = 0; column < std::size(kOptions); ++column)
        SelectOption(kOptions[column].id, kPresets[preset][column] - 1);
    // Each selection above showed "User Defined"; the preset's own name has the last word.
    Box(IDC_CBOPRESET).SetSelectedIndex(preset);
}

void frmMain::cmdApply_Click() {
    // All seven keys in one replacement of the file: they land together or not at all.
    IniEdit edit(sConfigFile);
    for (size_t i = 0; i < std::size(kOptions); ++i)
        if (!unread_[i]) edit.Set(kSection, kOptions[i].key, StoredFromSelection(Box(kOptions[i].id).SelectedIndex()));
    if (!edit.Save()) {
        const FileError failed{sConfigFile, GetLastError()};
        // Apply stays enabled: the changes are not saved.
        CurrentPrompts().Message(hwnd(), L"The settings could not be saved:\r\n" + failed.Describe(),
                                 Caption(), MB_OK | MB_ICONERROR);
        return;
    }
    CurrentPrompts().Message(hwnd(), L"Changed Applied", Caption(), MB_OK | MB_ICONINFORMATION);
    DisableControl(hwnd(), IDC_CMDAPPLY);
}

void frmMain::cmdReset_Click() {
    const int answer = CurrentPrompts().Message(hwnd(), L"Are you sure you want to reset to defaults?", Caption(),
                                                MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON1);
    if (answer != IDYES) return;
    SelectPreset(kNormalQuality);
    Box(IDC_CBOPRESET).SetText(kPresetNames[kNormalQuality]);
}

void frmMain::cmdClose_Click() {
    DestroyWindow(hwnd());
    PostQuitMessage(0);
}
