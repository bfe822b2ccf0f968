#pragma once
// The about box: title, version, credit, and a button that starts the system-information tool.
#include <string>

#include "../win32/UniqueHandle.h"
#include "LauncherForm.h"
#include "resource.h"

class frmAbout : public LauncherForm<frmAbout> {
public:
    static constexpr int kTemplateId = IDD_FRMABOUT;
    static constexpr bool kOwnedByHiddenWindow = true;
    static constexpr int kFirstFocus = IDC_ABOUT_CMDOK;

    INT_PTR FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnUnhandledException(DWORD code, const std::wstring& description);

    // Finds the system-information tool in the registry and starts it, or tells the user that
    // it is unavailable.
    void StartSysInfo();

    // Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into KeyVal: text as it
    // stands, a number in decimal; for any other type KeyVal keeps what it held. False, with
    // KeyVal empty, when the key or the value cannot be read or the value is over 1024 bytes
    // (text: characters). Throws std::invalid_argument for a value of no characters.
    static bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef,
                            std::wstring& KeyVal);

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    ControlFont labelFont_{L"MS Sans Serif", 9.75, false, {IDC_LBLTITLE, IDC_LBLVERSION, IDC_ABOUT_LABEL1}};
};
