#pragma once
// The one place where text crosses between the programs (UTF-16) and their files, which are in
// the system's 8-bit code page, as the game reads them.
#include <optional>
#include <string>
#include <string_view>

// The bytes of `text` in the system's 8-bit code page, or nothing when some character has no
// exact counterpart there (the platform would otherwise store a '?' or a look-alike).
std::optional<std::string> ToAnsi(std::wstring_view text);

// Every byte sequence has a reading in the 8-bit code page, so this cannot fail.
std::wstring FromAnsi(std::string_view bytes);

// True when ToAnsi would succeed.
bool FitsAnsi(std::wstring_view text);

// `path` as the 8-bit code page can hold it: itself, or its short (8.3) form where the volume
// has one that fits; nothing when neither does.
std::optional<std::wstring> StorablePath(const std::wstring& path);
