#pragma once
// The plumbing every window of both programs shares: a trampoline that finds the C++ object
// behind an HWND and forwards each message to it, a table-driven way to create a window's
// controls, and the message loop.
#include <windows.h>

#include <span>
#include <string>

#include "UniqueHandle.h"

// One control of a window, as it is created: ids, captions, styles and places side by side.
// Controls are created in table order, which is also their tab order.
struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;
};

// Creates every control of `controls` as a child of `parent`, in order, all in `font`.
void CreateControls(HWND parent, std::span<const ControlSpec> controls, HFONT font);

// The system's font for dialog text, for the controls of every window.
UniqueHFont CreateMessageFont();

// The error number and text of the exception being handled; for use inside a catch block.
void DescribeCurrentException(DWORD& code, std::wstring& description);

// Gives a keyboard message to IsDialogMessageW for the top-level window it belongs to, so Tab,
// arrow keys and Alt+letter work as in a dialog. True when the message was handled there.
bool RouteDialogMessage(MSG& msg);

// Runs the thread's message loop, through RouteDialogMessage, until WM_QUIT.
int RunMessageLoop();

// Base of every window class. Derived provides
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM)  - everything it does not handle goes to DefProc
//   void OnUnhandledException(DWORD code, const std::wstring& description)
// No C++ exception ever unwinds through the system's code: the trampoline stops it and hands it
// to OnUnhandledException.
template <class Derived>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() {
        if (hwnd_) DestroyWindow(hwnd_);
    }

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    // Registers the window class with the program's icon resource `iconId`, large and small.
    static void RegisterClassOnce(const wchar_t* className, int iconId) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc = {sizeof wc};
        if (GetClassInfoExW(instance, className, &wc)) return;
        wc.lpfnWndProc = &Window::Procedure;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }

    // Creates the window hidden; the derived class shows it once its load step has run.
    bool CreateHidden(const wchar_t* className, const std::wstring& caption, DWORD style,
                      int x, int y, int clientWidth, int clientHeight) {
        RECT frame = {0, 0, clientWidth, clientHeight};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        CreateWindowExW(0, className, caption.c_str(), style & ~WS_VISIBLE, x, y,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                        GetModuleHandleW(nullptr), this);
        return hwnd_ != nullptr;
    }

    // Runs a step outside the window procedure (a load step) with the same guard: an
    // exception goes to OnUnhandledException. False when one did.
    template <typename Step>
    bool RunGuarded(Step&& step) {
        try {
            step();
            return true;
        } catch (...) {
            DWORD code = 0;
            std::wstring description;
            DescribeCurrentException(code, description);
            static_cast<Derived*>(this)->OnUnhandledException(code, description);
            return false;
        }
    }

    LRESULT DefProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<Derived*>(static_cast<Window*>(create->lpCreateParams));
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_ACTIVATE) {
            // Like a dialog, give the focus back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) self->lastFocus_ = focus;
            } else if (self->lastFocus_ && IsChild(hwnd, self->lastFocus_)) {
                SetFocus(self->lastFocus_);
                return 0;
            }
        }
        LRESULT result = 0;
        self->RunGuarded([&] { result = self->HandleMessage(message, wParam, lParam); });
        return result;
    }

    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
};
