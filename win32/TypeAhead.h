#pragma once
// Type-ahead for a list box, as Explorer's lists have it. The standard list box jumps by the first
// letter of each key alone; here the characters typed in quick succession make one prefix, and
// the first line that starts with it, in any letter case, is selected as a click would select it.
#include <windows.h>

#include <string>

class ListTypeAhead {
public:
    // Serves the typing in `list` from now until the list is destroyed. The list must have
    // LBS_NOTIFY for its parent to learn of a selection, as it learns of a click.
    void Attach(HWND list);

private:
    static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes a typed character; false for the characters the list keeps for itself.
    bool OnChar(HWND list, wchar_t typed);

    std::wstring prefix_;
    DWORD lastKeyTime_ = 0;  // GetTickCount of the last key typed
};
