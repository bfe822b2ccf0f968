#pragma once
// One Varpick per game folder. Two would each rewrite Mods.cfg from their own list, and the mods
// one added would vanish when the other added one. The first start in a folder holds a mutex
// named after the folder; a later start there brings that Varpick forward instead.
#include <windows.h>

#include <string>

#include "../win32/UniqueHandle.h"

class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& folder);

    // True when no other Varpick runs in the folder.
    bool IsFirst() const { return first_; }
    // Brings the main window of the Varpick that runs in the folder forward, restored if it was
    // minimised. False when no such window showed within a few seconds.
    bool ActivateFirst() const;

private:
    std::wstring folder_;
    UniqueKernelHandle mutex_;
    bool first_ = true;
};
