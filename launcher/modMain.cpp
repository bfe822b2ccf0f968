#include "modMain.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

#include "../profile/AnsiText.h"
#include "../profile/Profile.h"
#include "../text/NumberText.h"
#include "../win32/ProcessToken.h"
#include "../win32/Prompts.h"
#include "../win32/UniqueHandle.h"
#include "../profile/FileIO.h"
#include "ModsFormat.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace modMain {

std::wstring sVarmothPath;
std::int16_t iSkin = 0;
std::int16_t iModCount = 0;

namespace {

std::vector<cMod> g_mods;
std::wstring g_unlisted;  // the entries of Mods.cfg beyond the 1000 in the table, as read
bool g_modsProtected = false;
// Settings that Varpick.ini holds but that could not be read at start, and the defaults that stood
// in for them: only a change the player makes may replace what the file holds.
bool g_pathUnread = false, g_skinUnread = false;
std::wstring g_pathInUse;
std::int16_t g_skinInUse = 0;
DWORD g_modsReadError = ERROR_SUCCESS;
std::wstring g_appFolder;

// The program that CreateProcessW will find for an unquoted command line with arguments: like
// the platform, try the text before each blank in turn, with and without ".exe".
std::wstring ExecutableOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"')
        return commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    for (size_t blank = commandLine.find(L' '); blank != std::wstring::npos;
         blank = commandLine.find(L' ', blank + 1)) {
        const std::wstring candidate = commandLine.substr(0, blank);
        if (IsExistingFile(candidate) || IsExistingFile(candidate + L".exe")) return candidate;
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

// The program a command line starts: the whole text when it names an existing file, else the
// program part before the arguments.
std::wstring ProgramOf(const std::wstring& commandLine) {
    return IsExistingFile(commandLine) ? commandLine : ExecutableOf(commandLine);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

}  // namespace

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const std::wstring& AppFolder() {
    if (g_appFolder.empty()) g_appFolder = ProgramFolder();
    return g_appFolder;
}

void SetAppFolder(std::wstring folder) { g_appFolder = std::move(folder); }

std::wstring AppFile(const wchar_t* name) { return AppFolder() + L"\\" + name; }

bool FileExists(const std::wstring& path, DWORD* error) {
    // A file held for a moment exists all the same: taken for missing, it would be written anew.
    DWORD openError = ERROR_SUCCESS;
    const bool readable = static_cast<bool>(OpenForReading(path, openError));
    if (error) *error = openError;
    return readable;
}

bool LoadLauncherSettings(bool complete) {
    const std::wstring file = AppFile(L"Varpick.ini");
    const std::wstring defaultPath = AppFile(L"Mothvar.exe");
    DWORD error = ERROR_SUCCESS;
    if (FileExists(file, &error)) {
        // An empty default is never written back: the file stays as it is when not `complete`.
        const std::wstring pathDefault = complete ? StorablePath(defaultPath).value_or(defaultPath) : L"";
        sVarmothPath = GetFromINI(L"Main", L"VarmothPath", pathDefault, file, &g_pathUnread);
        if (sVarmothPath.empty()) sVarmothPath = defaultPath;
        // A value that is no 16-bit whole number counts as the default; the file keeps its text.
        iSkin = ParseInt16(GetFromINI(L"Main", L"Skin", complete ? L"1" : L"", file, &g_skinUnread)).value_or(1);
    } else {
        sVarmothPath = defaultPath;
        // There, but held past a passing hold or refused: the defaults stand in, and nothing is written.
        g_pathUnread = g_skinUnread = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        iSkin = g_skinUnread ? 1 : 0;
        if (complete && !g_skinUnread) SaveLauncherSettings();
    }
    g_pathInUse = sVarmothPath;
    g_skinInUse = iSkin;
    return !g_pathUnread && !g_skinUnread;
}

std::optional<FileError> SaveLauncherSettings() {
    const std::wstring file = AppFile(L"Varpick.ini");
    // A setting that could not be read at start keeps what the file holds until the player changes it.
    const bool keepPath = g_pathUnread && sVarmothPath == g_pathInUse, keepSkin = g_skinUnread && iSkin == g_skinInUse;
    // A path outside the file's code page goes in as its short form; with none, the skin alone
    // is kept rather than neither.
    const std::optional<std::wstring> path = StorablePath(sVarmothPath);
    const bool writePath = path && !keepPath;
    IniEdit edit(file);
    if (writePath) edit.Set(L"Main", L"VarmothPath", *path);  // in this order, so that a new file lists them so
    if (!keepSkin) edit.Set(L"Main", L"Skin", std::to_wstring(iSkin));
    if ((writePath || !keepSkin) && !edit.Save()) return FileError{file, GetLastError()};
    g_pathUnread = keepPath || (g_pathUnread && !path);
    g_skinUnread = keepSkin;
    if (!path) return FileError{file, ERROR_NO_UNICODE_TRANSLATION};
    return std::nullopt;
}

void ApplySkin(std::int16_t skin) {
    constexpr COLORREF kSkinColours[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    if (skin < 0 || skin >= static_cast<int>(std::size(kSkinColours))) return;
    // In this order: the about box's load step paints all three again, inside this call.
    frmMain::Instance().PaintSkin(kSkinColours[skin]);
    frmAbout::Instance().PaintSkin(kSkinColours[skin]);
    frmOptions::Instance().PaintSkin(kSkinColours[skin]);
}

cMod& Mods(int index) {
    if (index < 1 || index > kModCapacity || static_cast<size_t>(index) > g_mods.size())
        throw std::out_of_range("Mods index outside 1..1000");
    return g_mods[static_cast<size_t>(index) - 1];
}

void CreateMods() {
    g_mods.assign(kModCapacity, cMod{});
    iModCount = 0;  // a new table holds no entries
}

ModsLoad LoadMods(bool createMissing) {
    ModsLoad load;
    load.sCurrentMod = GetFromINI(L"mods", L"currentmod", L"", AppFile(L"varmoth.ini"));

    const std::wstring file = AppFile(L"Mods.cfg");
    g_modsProtected = false;
    g_unlisted.clear();
    FileRead read = ReadWholeFile(file);
    if (read.error == ERROR_FILE_NOT_FOUND) {
        if (createMissing) CreateEmptyFile(file);  // nothing is lost if this fails: the catalogue is empty anyway
        read = FileRead{};
    }
    if (read.error != ERROR_SUCCESS) {
        g_modsProtected = true;
        g_modsReadError = read.error;
        load.readError = FileError{file, read.error};
        return load;
    }

    ParsedCatalogue parsed = ParseCatalogue(FromAnsi(read.bytes), kModCapacity);
    for (cMod& entry : parsed.entries) {
        ++iModCount;
        Mods(iModCount) = std::move(entry);
    }
    load.bTruncated = parsed.bTruncated;
    g_unlisted = std::move(parsed.unlisted);
    return load;
}

bool ModsFileProtected() { return g_modsProtected; }

int FindMod(const std::wstring& name) {
    // Two lines may differ in letter case alone (two files on a case-sensitive file system): the
    // one spelt as asked is that mod, and any other spelling only stands in when none is.
    int anyCase = 0;
    for (int index = 1; index <= iModCount; ++index) {
        if (Mods(index).Path() == name) return index;
        if (!anyCase && CompareStringOrdinal(Mods(index).Path().c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
            anyCase = index;
    }
    return anyCase;
}

std::int16_t NewModID() {
    static std::mt19937 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(),
                           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
        return std::mt19937(seed);
    }();
    return static_cast<std::int16_t>(std::uniform_int_distribution<int>(0, 5499)(generator));
}

std::int16_t NextModIndex() {
    if (iModCount == INT16_MAX) throw std::overflow_error("iModCount overflow");
    return ++iModCount;
}

std::optional<FileError> SaveMods() {
    const std::wstring file = AppFile(L"Mods.cfg");
    // Writing now would replace a catalogue that could not be read with what is in memory.
    if (g_modsProtected) return FileError{file, g_modsReadError};
    const int count = std::min<int>(iModCount, kModCapacity);
    // The entries beyond the table's 1000 follow as they were read: nobody removed them.
    const std::optional<std::string> bytes =
        ToAnsi(FormatCatalogue(g_mods.data(), static_cast<size_t>(count)) + g_unlisted);
    if (!bytes) return FileError{file, ERROR_NO_UNICODE_TRANSLATION};
    const DWORD error = ReplaceFileContents(file, *bytes);
    if (error != ERROR_SUCCESS) return FileError{file, error};
    return std::nullopt;
}

std::optional<FileError> RemoveMod(int index) {
    if (index < 1 || index > iModCount) throw std::out_of_range("RemoveMod index outside 1..iModCount");
    const std::vector<cMod> before(g_mods.begin(), g_mods.begin() + iModCount);
    std::move(g_mods.begin() + index, g_mods.begin() + iModCount, g_mods.begin() + index - 1);
    g_mods[static_cast<size_t>(--iModCount)] = cMod{};
    const std::optional<FileError> failed = SaveMods();
    if (failed) {
        std::copy(before.begin(), before.end(), g_mods.begin());
        iModCount = static_cast<std::int16_t>(before.size());
    }
    return failed;
}

std::optional<FileError> DeleteModsFile() {
    const std::wstring file = AppFile(L"Mods.cfg");
    // Refused as a replace of it is: Windows would not delete a read-only file either.
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return FileError{file, ERROR_ACCESS_DENIED};
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD error = RetryWhileHeld(file, [&] { return CurrentPrompts().Recycle(file); });
        if (error != ERROR_SUCCESS) return FileError{file, error};
    }
    // A 32-bit Varpick under Program Files deletes its copy in the VirtualStore, and the old list
    // in Program Files may show through in its place: that one is emptied.
    if (IsExistingFile(file)) {
        if (const DWORD error = ReplaceFileContents(file, std::string())) return FileError{file, error};
    }
    iModCount = 0;
    g_unlisted.clear();
    g_modsProtected = false;  // the unreadable file is gone; nothing left to protect
    return std::nullopt;
}

std::wstring GameIniFile() { return AppFile(L"Varmoth.ini"); }

bool ProgramFound(const std::wstring& commandLine) {
    if (commandLine.empty()) return false;
    const std::wstring program = ProgramOf(commandLine);
    // A name without a folder is looked for where CreateProcessW looks: Varpick's folder, the
    // current one, the system's, then PATH.
    if (program.find_first_of(L"\\/") == std::wstring::npos)
        return SearchPathW(nullptr, program.c_str(), L".exe", 0, nullptr, nullptr) != 0;
    return IsExistingFile(program) || IsExistingFile(program + L".exe");
}

ProgramStart::ProgramStart(std::wstring commandLine, WORD showCommand) : showCommand_(showCommand) {
    if (commandLine.empty()) {
        error_ = ERROR_FILE_NOT_FOUND;
        return;
    }
    executable_ = ProgramOf(commandLine);
    if (executable_ == commandLine) {
        // The whole text is the program: quoted, a folder with blanks cannot start something else.
        commandLine = L"\"" + commandLine + L"\"";
    } else {  // a path followed by arguments
        const size_t end = commandLine.front() == L'"' ? executable_.size() + 2 : executable_.size();
        parameters_ = commandLine.substr(std::min(end, commandLine.size()));
        parameters_.erase(0, parameters_.find_first_not_of(L' '));
    }
    // A program named without its folder starts in Varpick's, never in whatever the current
    // folder has become (a file dialog may change it).
    const std::wstring folder = FolderOf(executable_);
    folder_ = IsExistingFolder(folder) ? folder : AppFolder();

    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
    writableCommandLine.push_back(L'\0');
    // A program marked "Run this program as an administrator", or whose manifest asks for it:
    // CreateProcessW refuses it with ERROR_ELEVATION_REQUIRED, while the shell's start asks the
    // user's consent. (Wine has no consent to ask, so it never refuses.)
    if (!CreateProcessW(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder_.c_str(), &startup, &process)) {
        error_ = GetLastError();
        return;
    }
    process_.reset(process.hProcess);
    thread_.reset(process.hThread);
}

ProgramStart::~ProgramStart() {
    if (thread_) TerminateProcess(process_.get(), 1);
}

DWORD ProgramStart::Go() {
    if (error_ == ERROR_ELEVATION_REQUIRED)
        return CurrentPrompts().StartElevated(frmMain::Instance().hwnd(), executable_, parameters_, folder_,
                                              showCommand_);
    if (error_ != ERROR_SUCCESS) return error_;
    if (ResumeThread(thread_.get()) == static_cast<DWORD>(-1)) return GetLastError();
    thread_.reset();
    return ERROR_SUCCESS;
}

DWORD StartProgram(std::wstring commandLine, WORD showCommand) {
    return ProgramStart(std::move(commandLine), showCommand).Go();
}

bool InVirtualStore(const std::wstring& path) {
    // Windows keeps a redirected C:\Program Files\Game\Varmoth.ini as
    // %LOCALAPPDATA%\VirtualStore\Program Files\Game\Varmoth.ini.
    wchar_t local[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    if (!RunsVirtualized() || length == 0 || length >= MAX_PATH || path.size() < 3 || path[1] != L':') return false;
    return IsExistingFile(std::wstring(local) + L"\\VirtualStore" + path.substr(2));
}

namespace {
// A window that shows a dialog of its own (a file dialog, a message box) is disabled while its
// handler waits inside that dialog, which the main window, still usable, may be closed over.
// Such a window is hidden, not destroyed under the waiting handler: the quit message ends the
// dialog, the handler returns, and the window goes with the program.
template <class Form>
void UnloadUnlessWaiting(Form& form) {
    if (form.IsLoaded() && !IsWindowEnabled(form.hwnd())) ShowWindow(form.hwnd(), SW_HIDE);
    else form.Unload();
}
}  // namespace

void ExitLauncher() {
    UnloadUnlessWaiting(frmMain::Instance());
    UnloadUnlessWaiting(frmOptions::Instance());
    UnloadUnlessWaiting(frmAbout::Instance());
    PostQuitMessage(0);
}

}  // namespace modMain
