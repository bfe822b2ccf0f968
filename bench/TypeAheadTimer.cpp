// Times the mod list's type-ahead at its largest, 1000 lines: each key of a name that only the
// last line starts with, typed in quick succession, so that every key searches the whole list.
// Prints a line of names, then one line of milliseconds per round: the slowest key, and all of them.
//   TypeAheadTimer <rounds>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "win32/Controls.h"
#include "win32/TypeAhead.h"
#include "win32/UniqueHandle.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: TypeAheadTimer <rounds>\n", stderr);
        return 2;
    }
    const UniqueHWnd parent(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 400, 400, nullptr, nullptr,
                                            nullptr, nullptr));
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, 0, 0, 300, 300,
                                parent.get(), nullptr, nullptr, nullptr);
    for (int number = 1; number <= 1000; ++number) ListBox(list).Add(L"Mod number " + std::to_wstring(number) + L".mdf");
    ListTypeAhead typeAhead;
    typeAhead.Attach(list);
    const std::wstring keys = L"mod number 1000";
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::printf("slowest_key\tall_keys\n");
    for (int round = 0; round <= _wtoi(argv[1]); ++round) {  // round 0 warms the caches and is not printed
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        double slowest = 0, all = 0;
        for (const wchar_t key : keys) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            SendMessageW(list, WM_CHAR, key, 0);
            QueryPerformanceCounter(&end);
            const double milliseconds = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
            slowest = std::max(slowest, milliseconds);
            all += milliseconds;
        }
        if (ListBox(list).SelectedIndex() != 999) return 1;  // the last line, found
        if (round > 0) std::printf("%.3f\t%.3f\n", slowest, all);
        Sleep(GetDoubleClickTime() * 2 + 50);  // the next round types a new word
    }
    return 0;
}
