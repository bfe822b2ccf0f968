#pragma once
// The plumbing every window of both programs shares. Each window is a modeless dialog built from
// a template in its program's .rc file: the layout is in dialog units, so it scales with the font
// and the DPI, and the dialog manager gives Tab, Esc, Enter, access keys and the default button.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "UniqueHandle.h"

// The error number and text of the exception being handled; for use inside a catch block.
void DescribeCurrentException(DWORD& code, std::wstring& description);

// Gives a keyboard message to IsDialogMessageW for the top-level window it belongs to, so Tab,
// Esc, Enter and Alt+letter work in every window. True when the message was handled there.
bool RouteDialogMessage(MSG& msg);

// Runs the thread's message loop, through RouteDialogMessage, until WM_QUIT.
int RunMessageLoop();

// A hidden top-level window of the program's own. The windows it owns stay out of the taskbar
// without being owned by the main window, which would keep them above it and hide them with it.
HWND HiddenOwnerWindow();

// Disables the control `id` of `dialog`. When it has the focus, the next control takes it first:
// a disabled control would leave the keyboard nowhere.
void DisableControl(HWND dialog, int id);

// Moves the window to the middle of the screen; its size stays.
void CentreOnScreen(HWND hwnd);

// Gives the window the program's icon resource `iconId`: large for the taskbar, small for the caption.
void SetWindowIcons(HWND hwnd, int iconId);

// True while the system's high-contrast mode is on: the player's own colours, chosen to be
// readable, which the programs' colours must not cover.
bool HighContrastOn();

// The window's dots per inch: its monitor's where the system scales per monitor (Windows 10
// and later), otherwise the system's.
UINT WindowDpi(HWND hwnd);

// A font some controls of a window show in place of the dialog's, such as bold 9.75-point
// "MS Sans Serif" labels. Made again for each DPI the window meets: at load and on WM_DPICHANGED.
class ControlFont {
public:
    ControlFont(const wchar_t* face, double points, bool bold, std::initializer_list<int> controls);

    // Gives the controls of `window` the font made for `dpi`.
    void Apply(HWND window, UINT dpi);
    HFONT get() const { return font_.get(); }

private:
    const wchar_t* face_;
    double points_;
    bool bold_;
    std::vector<int> controls_;
    UniqueHFont font_;
};

// Base of every window class. Derived provides
//   INT_PTR HandleMessage(UINT, WPARAM, LPARAM)  - a dialog procedure: FALSE for "not handled"
//   void OnUnhandledException(DWORD code, const std::wstring& description)
// WM_INITDIALOG reaches HandleMessage like any other message: it is the window's load step.
// No C++ exception ever unwinds through the system's code: the procedure stops it and hands it
// to OnUnhandledException.
template <class Derived>
class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    ~Dialog() { Unload(); }

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    bool IsLoaded() const { return hwnd_ != nullptr; }

    // Destroys the window with its controls; the object stays and can load it again.
    void Unload() {
        if (hwnd_) DestroyWindow(hwnd_);
    }

protected:
    // Creates the window from the dialog template `templateId`, hidden unless the template says
    // WS_VISIBLE; its load step runs inside. False when the window could not be created.
    bool Create(int templateId, HWND owner) {
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                           &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
        return hwnd_ != nullptr;
    }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = static_cast<Derived*>(reinterpret_cast<Dialog*>(lParam));
            self->hwnd_ = hwnd;  // from here on the window counts as loaded, also for its own load step
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        } else {
            self = static_cast<Derived*>(reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER)));
        }
        if (!self) return FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            return FALSE;
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            DWORD code = 0;
            std::wstring description;
            DescribeCurrentException(code, description);
            self->OnUnhandledException(code, description);
            return FALSE;
        }
    }

    HWND hwnd_ = nullptr;
};
