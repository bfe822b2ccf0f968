#include "Controls.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <system_error>

#include "UniqueHandle.h"

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsWindowClass(HWND window, const wchar_t* name) {
    wchar_t kind[32] = {};
    return RealGetWindowClassW(window, kind, 32) && CompareStringOrdinal(kind, -1, name, -1, TRUE) == CSTR_EQUAL;
}

bool IsGroupBox(HWND window) {
    return IsWindowClass(window, L"Button") && (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

namespace {

struct Subclass {
    WNDPROC behind;
    void* context;
};
std::map<std::pair<HWND, WNDPROC>, Subclass> g_subclasses;  // the windows of the one thread that has them

}  // namespace

void SubclassControl(HWND control, WNDPROC procedure, void* context) {
    const auto behind = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    g_subclasses[{control, procedure}] = {behind, context};
}

void* SubclassContext(HWND control, WNDPROC procedure) { return g_subclasses.at({control, procedure}).context; }

LRESULT CallBehindSubclass(WNDPROC procedure, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC behind = g_subclasses.at({control, procedure}).behind;
    if (message == WM_NCDESTROY) {  // the last message: each subclass steps aside, the last one put in first
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(behind));
        g_subclasses.erase({control, procedure});
    }
    return CallWindowProcW(behind, control, message, wParam, lParam);
}

void ListBox::Add(const std::wstring& text) const {
    const LRESULT index = SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE)
        throw std::system_error(ERROR_NOT_ENOUGH_MEMORY, std::system_category(), "LB_ADDSTRING");
}

std::wstring ListBox::ItemText(int index) const {
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

std::wstring ListBox::SelectedText() const {
    const int index = SelectedIndex();
    return index < 0 ? std::wstring() : ItemText(index);
}

void ListBox::FitHorizontalExtent() const {
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0))) SelectObject(dc.get(), font);
    LONG widest = 0;
    for (int index = 0, count = Count(); index < count; ++index) {
        const std::wstring text = ItemText(index);
        SIZE size = {};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, size.cx);
    }
    // A character's width more, for the margin the list leaves before each line.
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.get(), &metrics);
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest > 0 ? widest + metrics.tmAveCharWidth : 0, 0);
}

void ComboBox::Add(const std::wstring& text) const {
    const LRESULT index = SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR || index == CB_ERRSPACE)
        throw std::system_error(ERROR_NOT_ENOUGH_MEMORY, std::system_category(), "CB_ADDSTRING");
}

std::wstring ComboBox::ItemText(int index) const {
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}
