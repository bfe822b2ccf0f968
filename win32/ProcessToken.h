#pragma once
// What this program's own access token says about how Windows runs it.
#include <windows.h>

// True when Windows redirects the program's writes under protected folders (Program Files) to
// the user's VirtualStore: a 32-bit program that declares no execution level, run without
// elevation. A program run as administrator is never redirected, so it reads the real files.
bool RunsVirtualized();
