#pragma once
// One Varpick per game folder. Two would each rewrite Mods.cfg from their own list, and the mods
// one added would vanish when the other added one. The first start in a folder holds a mutex
// named after the folder; a later start there brings that Varpick forward instead.
#include <windows.h>

#include <string>
#include <vector>

#include "../win32/UniqueHandle.h"

// The WM_COPYDATA tag of a command line handed to the Varpick that runs in the folder.
constexpr ULONG_PTR kHandOverCommandLine = 0x56504B43;  // "VPKC"

class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& folder);

    // True when no other Varpick runs in the folder.
    bool IsFirst() const { return first_; }
    // Brings the main window of the Varpick that runs in the folder forward, restored if it was
    // minimised. False when no such window showed within a few seconds.
    bool ActivateFirst() const;
    // Hands the command line's arguments to the Varpick that runs in the folder, which carries
    // them out as its own buttons would; its result: 0 done, 1 refused or failed.
    int HandOver(const std::vector<std::wstring>& arguments) const;

private:
    // The main window of the Varpick that runs in the folder, once it shows (within a few seconds).
    HWND FirstWindow() const;

    std::wstring folder_;
    UniqueKernelHandle mutex_;
    bool first_ = true;
};
