#pragma once
// The options dialog: the game's path and the skin, with OK, Cancel and Apply.
#include <string>

#include "../win32/Controls.h"
#include "LauncherForm.h"
#include "resource.h"

class frmOptions : public LauncherForm<frmOptions> {
public:
    static constexpr int kTemplateId = IDD_FRMOPTIONS;
    static constexpr bool kOwnedByHiddenWindow = true;
    static constexpr int kFirstFocus = IDC_TXTEXEPATH;

    INT_PTR FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnUnhandledException(DWORD code, const std::wstring& description);

private:
    void Form_Load();
    void txtExePath_Change();
    void cboSkin_Click();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();

    // Sets the skin box's selection as a choice would; selecting no item is no choice.
    void SelectSkin(int index);
    // Takes both settings from the controls and saves them; tells the user when they could not be kept.
    void TakeAndSaveSettings();

    HWND txtExePath() const { return Item(IDC_TXTEXEPATH); }
    ComboBox cboSkin() const { return ComboBox(Item(IDC_CBOSKIN)); }
};
