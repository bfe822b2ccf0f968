#pragma once
// Thin typed views of the standard controls. They do not own the HWND.
#include <windows.h>

#include <string>

std::wstring WindowText(HWND hwnd);

class ListBox {
public:
    explicit ListBox(HWND hwnd) : hwnd_(hwnd) {}
    void Add(const std::wstring& text) const;
    void Clear() const { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }
    int Count() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }
    int SelectedIndex() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
    std::wstring ItemText(int index) const;
    // The text of the selected line, or the empty text when no line is selected.
    std::wstring SelectedText() const;

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
