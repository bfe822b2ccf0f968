#pragma once
// Vartune's one window: seven game options, five quality presets, apply, reset and close.
#include <array>
#include <string>

#include "../win32/Controls.h"
#include "../win32/Dialog.h"

class frmMain : public Dialog<frmMain> {
public:
    // `programFolder` holds vmtconfig.ini.
    explicit frmMain(std::wstring programFolder) : programFolder_(std::move(programFolder)) {}

    // Creates the window centred on the screen, runs its load step, then shows it.
    bool Load(int showCommand);

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnUnhandledException(DWORD code, const std::wstring& description);

private:
    void Form_Load();
    void cboPreset_Click();
    void OptionBox_Click(int boxId);  // any of the seven option boxes
    void cmdApply_Click();
    void cmdReset_Click();
    void cmdClose_Click();
    void Changed();

    // Setting a selection by code sends no notification; these set it and then run the
    // box's handler, as a choice by the user would.
    void SelectOption(int boxId, int index);
    void SelectPreset(int index);

    void OnCommand(int id, int code);
    ComboBox Box(int id) const { return ComboBox(Item(id)); }
    std::wstring Caption() const;

    static constexpr UINT kTellUnread = WM_APP + 1;

    std::wstring programFolder_;
    std::wstring sConfigFile;
    // Per option, in key order: the file holds a value that could not be read, and the player has
    // not chosen one since. Apply leaves such a key as the file holds it.
    std::array<bool, 7> unread_{};
    std::wstring unreadMessage_;
};
