#pragma once
// Thin typed views of the standard controls. They do not own the HWND.
#include <windows.h>

#include <string>

std::wstring WindowText(HWND hwnd);
// True when the window's class is `name` ("Button", "Static"...), in any letter case.
bool IsWindowClass(HWND window, const wchar_t* name);
bool IsGroupBox(HWND window);  // a frame: a button of the group-box style

// The classic subclass: `procedure` put in front of a control's own window procedure, with a
// context of its own, until the control is destroyed. (comctl32's SetWindowSubclass looks its data
// up in a window property on every message, a round trip to the window server under Wine: a list
// of 1000 lines took a third of a second to fill or to search through two of them.)
void SubclassControl(HWND control, WNDPROC procedure, void* context = nullptr);
// The context `procedure` was given for `control`.
void* SubclassContext(HWND control, WNDPROC procedure);
// Passes a message on to the procedure that `procedure` was put in front of.
LRESULT CallBehindSubclass(WNDPROC procedure, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Keeps a control from redrawing (and updating its scroll bars) while many changes are made;
// it redraws once at the end.
class RedrawPause {
public:
    explicit RedrawPause(HWND control) : control_(control) { SendMessageW(control_, WM_SETREDRAW, FALSE, 0); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    ~RedrawPause() {
        SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(control_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }

private:
    HWND control_;
};

class ListBox {
public:
    explicit ListBox(HWND hwnd) : hwnd_(hwnd) {}
    void Add(const std::wstring& text) const;
    // Before adding many lines: room for `lines` more of `characters` in all, allocated at once.
    void Reserve(int lines, size_t characters) const {
        SendMessageW(hwnd_, LB_INITSTORAGE, static_cast<WPARAM>(lines),
                     static_cast<LPARAM>(characters * sizeof(wchar_t)));
    }
    // Also the sideways extent, which the list keeps through LB_RESETCONTENT.
    void Clear() const {
        SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, 0, 0);
    }
    int Count() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }
    int SelectedIndex() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
    void SetSelectedIndex(int index) const { SendMessageW(hwnd_, LB_SETCURSEL, index, 0); }
    void Remove(int index) const { SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0); }
    std::wstring ItemText(int index) const;
    // The text of the selected line, or the empty text when no line is selected.
    std::wstring SelectedText() const;
    // Lets a list with WS_HSCROLL scroll sideways as far as its widest line, measured in its font:
    // after lines are added or removed, and when its font changed.
    void FitHorizontalExtent() const;

private:
    HWND hwnd_;
};

class ComboBox {
public:
    explicit ComboBox(HWND hwnd) : hwnd_(hwnd) {}
    void Add(const std::wstring& text) const;
    int Count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }
    int SelectedIndex() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }
    // -1 selects nothing. Like every selection made by code, this sends no notification.
    void SetSelectedIndex(int index) const { SendMessageW(hwnd_, CB_SETCURSEL, index, 0); }
    std::wstring ItemText(int index) const;
    // The text field of an editable combo box.
    std::wstring Text() const { return WindowText(hwnd_); }
    void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

private:
    HWND hwnd_;
};
