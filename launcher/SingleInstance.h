#pragma once
// One Varpick per game folder. Two would each rewrite Mods.cfg from their own list, and the mods
// one added would vanish when the other added one. The first start in a folder holds a mutex
// named after the folder itself, whatever path reaches it, and publishes its process id beside
// it; a later start there finds that Varpick's window by it and brings it forward instead.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "../win32/UniqueHandle.h"

// The WM_COPYDATA tag of a command line handed to the Varpick that runs in the folder.
constexpr ULONG_PTR kHandOverCommandLine = 0x56504B43;  // "VPKC"

class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& folder);

    // True when no other Varpick runs in the folder: none did at the start, or the one that ran
    // has ended since (while this start was trying to reach it).
    bool IsFirst() const { return first_; }
    // True when the Varpick that runs in the folder may not be opened by this one: it runs as
    // administrator, this one does not, and Windows keeps this one's messages out of its window.
    bool FirstIsElevated() const { return denied_; }
    // Brings the main window of the Varpick that runs in the folder forward, restored if it was
    // minimised. False when no such window showed within a few seconds, or it does not respond
    // (it comes forward once it does).
    bool ActivateFirst();
    // Hands the command line's arguments to the Varpick that runs in the folder, which carries
    // them out as its own buttons would, taking as long as its player needs; its result: 0 done,
    // 1 refused or failed. Nothing when that Varpick could not be reached: no window of it showed
    // within a few seconds, it does not respond (at once, or on the way), or it ended meanwhile.
    std::optional<int> HandOver(const std::vector<std::wstring>& arguments);

private:
    // The main window of the Varpick that runs in the folder, once it shows (within a few
    // seconds); nothing when it ended meanwhile, and this start is the first now.
    HWND FirstWindow();
    // Takes the mutex where the Varpick that held it has ended; true when this start is the first now.
    bool TakeOverFromEnded();
    // Publishes this Varpick's process id, by which later starts find its window.
    void PublishProcessId();

    std::wstring name_;
    UniqueKernelHandle mutex_;
    UniqueKernelHandle processId_;  // the first's: a file mapping that holds its process id
    bool first_ = true;
    bool denied_ = false;
};
