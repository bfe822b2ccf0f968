#pragma once
// The launcher's shared state and procedures: its settings, the mod catalogue, the game's
// current-mod key, starting the game and ending the program.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "../win32/SystemError.h"
#include "../win32/UniqueHandle.h"
#include "cMod.h"

// Not in MinGW-w64's headers: "The requested operation requires elevation."
#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif

namespace modMain {

constexpr std::int16_t kModCapacity = 1000;

// Settings from Varpick.ini.
extern std::wstring sVarmothPath;  // what "Run" starts
extern std::int16_t iSkin;         // colour skin; 0..3 are skins, other values paint nothing

// The catalogue: Mods(1) .. Mods(iModCount) are in use, in catalogue order.
extern std::int16_t iModCount;

// The folder of the running executable; tests point it at a scratch folder.
const std::wstring& AppFolder();
void SetAppFolder(std::wstring folder);
// A file in the application folder: the folder, a backslash, the name.
std::wstring AppFile(const wchar_t* name);

// True when `path` can be opened for reading, once a passing hold is over; else `error`, if
// given, says why not.
bool FileExists(const std::wstring& path, DWORD* error = nullptr);

// Reads both settings from Varpick.ini. `complete`: a missing file or key is written with its
// default, as the window's start does; otherwise nothing is written (a start with --run, which
// writes nothing when it is refused). False when Varpick.ini is there but a setting could not be
// read (held by another program, refused): its default stands in, and is written by no save
// until the player changes it.
bool LoadLauncherSettings(bool complete = true);
// Writes both settings into Varpick.ini, together; the path, when the file's code page cannot
// hold it, as its short (8.3) form. What failed, if anything: ERROR_NO_UNICODE_TRANSLATION when
// only the skin could be saved, because the path has no form the code page holds.
std::optional<FileError> SaveLauncherSettings();

// Paints the three launcher windows, shown or hidden, in skin 0..3 ("White Black", "Red Black",
// "Green Black", "Blue Black"), loading a window that is not loaded. Any other value changes
// nothing and loads nothing.
void ApplySkin(std::int16_t skin);

// The catalogue entry at `index`, 1..1000; any other index throws std::out_of_range.
cMod& Mods(int index);

// Puts 1000 new empty records into the table, which starts empty.
void CreateMods();

struct ModsLoad {
    std::wstring sCurrentMod;           // the game's current-mod key, empty when missing
    std::optional<FileError> readError;  // Mods.cfg exists but could not be read
    bool bTruncated = false;            // Mods.cfg held more than 1000 entries: the rest is kept, unlisted
};

// Reads the game's current mod and the catalogue (creating an empty Mods.cfg when there is
// none, if `createMissing`) into Mods and iModCount. A catalogue that exists but cannot be read
// leaves the table empty and is protected from being overwritten for the rest of the run.
ModsLoad LoadMods(bool createMissing = true);

// The index (1..iModCount) of the entry whose path is spelt exactly `name`; when there is none,
// of the first entry whose path differs from it in letter case alone; 0 when there is none either.
int FindMod(const std::wstring& name);

// True when Mods.cfg could not be read at load, so no save may replace it.
bool ModsFileProtected();

std::int16_t NewModID();     // uniform in 0..5499
std::int16_t NextModIndex();  // raises iModCount by one and returns it

// Rewrites Mods.cfg from Mods(1..iModCount), followed by the entries beyond the first 1000 as
// they were read; the old file stays whole if this fails.
std::optional<FileError> SaveMods();

// Takes Mods(index) out of the catalogue and rewrites Mods.cfg without it, the others in their
// order with their IDs. When the save fails, the table stays as it was. An index outside
// 1..iModCount throws std::out_of_range.
std::optional<FileError> RemoveMod(int index);
// Moves Mods.cfg to the Recycle Bin (deletes it where there is none) and, once it is gone,
// empties the catalogue. A read-only Mods.cfg is refused.
std::optional<FileError> DeleteModsFile();

// The game's INI file, which holds the current mod.
std::wstring GameIniFile();

// True when `path` names an existing file (not a folder); an existing folder.
bool IsExistingFile(const std::wstring& path);
bool IsExistingFolder(const std::wstring& path);

// True when the program that a ProgramStart would start for `commandLine` exists: the whole text as
// a file, or the program part of a path followed by arguments (with or without ".exe"); a name
// without a folder is looked for where the system looks for programs.
bool ProgramFound(const std::wstring& commandLine);

// A start of a program in two steps, so that what it will read can be written once it is known
// to start, and nothing is written for a start that cannot go on. Made, the process is held
// before it runs a single instruction; a program that must run as administrator is left to the
// shell. The command line is `commandLine` as it stands; one that is the whole path of an
// existing file is quoted, so a path with blanks cannot start some other program. The program
// starts in its own folder, with the window show state `showCommand`, and nobody waits for it.
class ProgramStart {
public:
    ProgramStart(std::wstring commandLine, WORD showCommand);
    ProgramStart(const ProgramStart&) = delete;
    ProgramStart& operator=(const ProgramStart&) = delete;
    // A start never let go is ended before the program ran.
    ~ProgramStart();

    // ERROR_SUCCESS: ready to go; ERROR_ELEVATION_REQUIRED: it must run as administrator, and the
    // shell will ask the player; else the system's reason why it cannot start.
    DWORD Error() const { return error_; }
    // Lets the program run, through the shell where it must run as administrator (ERROR_CANCELLED
    // when the player declined). Returns the system's error code.
    DWORD Go();

private:
    std::wstring executable_, parameters_, folder_;
    WORD showCommand_;
    DWORD error_ = ERROR_SUCCESS;
    UniqueKernelHandle process_, thread_;
};

// Starts `commandLine` as a ProgramStart does, at once. Returns the system's error code.
DWORD StartProgram(std::wstring commandLine, WORD showCommand);

// True when this Varpick's writes to `path` go to the player's VirtualStore, which a program run
// as administrator never reads: Windows redirects them (a 32-bit Varpick under Program Files),
// and a copy of the file is there.
bool InVirtualStore(const std::wstring& path);

// Unloads the three launcher windows and ends the program's message loop.
void ExitLauncher();

}  // namespace modMain
