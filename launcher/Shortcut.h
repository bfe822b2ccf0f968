#pragma once
// The desktop shortcut that plays one mod in a single click: it starts this Varpick with
// --mod "<mod>" --run.
#include <windows.h>

#include <string>

// Makes (or replaces) "<mod without its extension> - Varmoth.lnk" on the user's desktop: this
// Varpick.exe with the mod's arguments, started in Varpick's folder, with the game's icon when
// `gameIcon` names an existing file and Varpick's otherwise. `path` receives the shortcut's path
// once it is known. Returns the system's error code. The shell and COM libraries are loaded on
// first use: start-up does not pay for them.
DWORD CreateDesktopShortcut(const std::wstring& mod, const std::wstring& gameIcon, std::wstring& path);
