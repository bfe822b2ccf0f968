#include "frmAbout.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "../win32/Prompts.h"
#include "frmMain.h"
#include "modMain.h"

using namespace std::string_literals;

namespace {

constexpr wchar_t kTitle[] = L"" VARPICK_TITLE;
// The values the lookup takes: at most 1024 bytes in the 8-bit form the tool's keys were made
// for, where a character of text is a byte.
constexpr DWORD kLongestValue = 1024;

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

INT_PTR frmAbout::FormMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        labelFont_.Apply(hwnd(), WindowDpi(hwnd()));
        Form_Load();
        return FALSE;  // no focus yet: it goes to OK when the box is shown
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_CMDOK:
        case IDCANCEL: cmdOK_Click(); break;  // Esc closes the box like OK
        case IDC_CMDSYSINFO: cmdSysInfo_Click(); break;
        }
        return TRUE;
    case WM_DPICHANGED:
        labelFont_.Apply(hwnd(), HIWORD(wParam));
        return FALSE;  // the dialog manager lays the window out for the new DPI
    case WM_CLOSE:
        cmdOK_Click();
        return TRUE;
    default:
        return FALSE;
    }
}

void frmAbout::OnUnhandledException(DWORD code, const std::wstring& description) {
    frmMain::Instance().FatalErrorReport(code, description);
}

void frmAbout::Form_Load() {
    CentreOnScreen(hwnd());
    SetWindowTextW(hwnd(), (L"About "s + kTitle).c_str());
    const std::wstring version = L"Version " + std::to_wstring(VARPICK_VERSION_MAJOR) + L"." +
                                 std::to_wstring(VARPICK_VERSION_MINOR) + L"." +
                                 std::to_wstring(VARPICK_VERSION_REVISION);
    SetWindowTextW(Item(IDC_LBLVERSION), version.c_str());
    SetWindowTextW(Item(IDC_LBLTITLE), kTitle);
    modMain::ApplySkin(modMain::iSkin);
}

void frmAbout::cmdOK_Click() { Close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    try {
        std::wstring path;
        bool found = GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", path);
        if (!found &&
            GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", path)) {
            // This location names the tool's folder; it counts only when the tool is there.
            path += L"\\MSINFO32.EXE";
            found = modMain::IsExistingFile(path);
        }
        if (found && modMain::StartProgram(path, SW_SHOWNORMAL) == ERROR_SUCCESS) return;
    } catch (const std::exception&) {
        // a value the lookup cannot use: the tool is unavailable like any other failure
    }
    CurrentPrompts().Message(hwnd(), L"System Information Is Unavailable At This Time", kTitle, MB_OK);
}

bool frmAbout::GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef,
                           std::wstring& KeyVal) {
    // Read access is all this needs, and all that a standard user has to the machine's keys.
    UniqueHKey key;
    if (RegOpenKeyExW(KeyRoot, KeyName.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::vector<wchar_t> buffer(kLongestValue, L'\0');  // 1024 characters of text, or 2048 bytes of anything
    DWORD type = REG_NONE;
    DWORD size = kLongestValue * sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        (!IsText(type) && size > kLongestValue)) {
        KeyVal.clear();
        return false;
    }
    // Text may be stored with or without its terminating NUL: both read the same.
    size_t characters = size / sizeof(wchar_t);
    if (characters == 0) throw std::invalid_argument("registry value of no characters");
    if (buffer[characters - 1] == L'\0') --characters;

    if (type == REG_SZ) {
        KeyVal.assign(buffer.data(), characters);
    } else if (type == REG_DWORD) {
        DWORD number = 0;
        std::memcpy(&number, buffer.data(), sizeof number);
        KeyVal = std::to_wstring(number);
    }
    return true;
}
