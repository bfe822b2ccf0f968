#include "TypeAhead.h"

#include <algorithm>

#include "Controls.h"

namespace {

// The first line after `after` (to the end, then from the top) that begins with `prefix` in any
// letter case, accents included ("É" and "é" alike, which LB_FINDSTRING does not take alike
// everywhere); -1 when there is none.
int FindLine(HWND list, const std::wstring& prefix, int after) {
    const ListBox lines(list);
    const int count = lines.Count(), length = static_cast<int>(prefix.size());
    for (int step = 1; step <= count; ++step) {
        const int line = (after + step) % count;
        const std::wstring text = lines.ItemText(line);
        if (text.size() >= prefix.size() &&
            CompareStringOrdinal(text.c_str(), length, prefix.c_str(), length, TRUE) == CSTR_EQUAL)
            return line;
    }
    return -1;
}

}  // namespace

void ListTypeAhead::Attach(HWND list) {
    prefix_.clear();
    SubclassControl(list, &ListTypeAhead::ListProcedure, this);
}

LRESULT CALLBACK ListTypeAhead::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ListTypeAhead*>(SubclassContext(list, &ListTypeAhead::ListProcedure));
    if (message == WM_CHAR && self->OnChar(list, static_cast<wchar_t>(wParam))) return 0;
    return CallBehindSubclass(&ListTypeAhead::ListProcedure, list, message, wParam, lParam);
}

bool ListTypeAhead::OnChar(HWND list, wchar_t typed) {
    // Enter, Backspace, Esc, Tab and the other control characters keep what they do.
    if (typed < L' ' || typed == 0x7F) return false;
    // The pause that ends a prefix, as the platform's lists take it: twice the double-click time
    // (about a second).
    const DWORD keyTime = GetTickCount();
    if (keyTime - lastKeyTime_ > GetDoubleClickTime() * 2) prefix_.clear();
    lastKeyTime_ = keyTime;
    prefix_ += typed;

    const int current = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    // The same letter again and again steps through the lines that start with it, as the list
    // does by itself; a word of several letters finds its first line from the top.
    const bool oneLetter = std::all_of(prefix_.begin(), prefix_.end(), [&](wchar_t c) {
        return CompareStringOrdinal(&c, 1, &typed, 1, TRUE) == CSTR_EQUAL;
    });
    const int found = FindLine(list, oneLetter ? std::wstring(1, typed) : prefix_, oneLetter ? current : -1);
    if (found < 0 || found == current) return true;  // nothing starts so: the selection stays
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return true;
}
