// Both programs as users get them: the 64-bit build and, when it was built beside, the 32-bit one.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <cstdlib>
#include <iostream>

#include "launcher/resource.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

namespace {

// The manifest resource of an executable, read without running it.
std::string ManifestOf(const std::wstring& program) {
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) : nullptr;  // RT_MANIFEST
    std::string text = found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)) : "";
    if (module) FreeLibrary(module);
    return text;
}


}  // namespace

TEST(Programs, DeclareVisualStylesSupportedSystemsAndDpiAwarenessAndStartShowAndQuit) {
    const std::wstring x86Folder = HostFolder("VARMOTH_X86_PROGRAMS");
    const bool x86Runs = std::getenv("VARMOTH_X86_RUNS") && std::string(std::getenv("VARMOTH_X86_RUNS")) == "1";
    std::vector<std::pair<std::wstring, bool>> builds{{TestProgramFolder(), true}};  // folder, 64-bit
    if (!x86Folder.empty()) builds.emplace_back(x86Folder, false);
    for (const auto& [folder, is64Bit] : builds) {
        // The program, its window's caption, a file its first start writes (in a folder outside the
        // code page, Varpick.ini cannot hold the default game path, so neither of its keys is written).
        for (const auto& [file, caption, defaults] : {std::array<const wchar_t*, 3>{L"Varpick.exe", L"Varmoth - Pick MOD", L"Mods.cfg"},
                                                      std::array<const wchar_t*, 3>{L"Vartune.exe", L"Varmoth Configuration Utility", L"vmtconfig.ini"}}) {
            const std::wstring path = folder + L"\\" + file;
            SCOPED_TRACE(testing::Message() << (is64Bit ? "x64 " : "x86 ") << ToAnsi(path).value_or("?"));
            const std::string manifest = ManifestOf(path);
            for (const char* entry : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>"})
                EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
            EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << "the files stay in the system's code page";
            EXPECT_EQ(manifest.find("requestedExecutionLevel") != std::string::npos, is64Bit) << "a 32-bit program under Program Files shares the game's VirtualStore";
            if (!is64Bit && !x86Runs) {
                std::cout << "Not started: this machine does not run 32-bit programs under Wine.\n";
                continue;
            }
            ScratchFolder game;
            UniqueKernelHandle process = StartProgram(CopyInto(game, path));
            EXPECT_EQ(CloseProgram(process.get(), WindowOf(process.get(), caption)), 0u);
            EXPECT_TRUE(ReadBytes(game / defaults).has_value()) << "its first start writes its defaults";
        }
    }
}

// Two in one game folder would each rewrite Mods.cfg from their own list: the second start brings
// the first forward, restored, and ends without touching a file. Another folder has its own.
TEST(Programs, OneVarpickPerGameFolder) {
    const wchar_t* caption = L"Varmoth - Pick MOD";
    ScratchFolder game, other;
    UniqueKernelHandle first = StartProgram(CopyInto(game, TestProgramFolder() + L"\\Varpick.exe"));
    HWND firstWindow = WindowOf(first.get(), caption);
    ASSERT_TRUE(firstWindow);
    ShowWindow(firstWindow, SW_MINIMIZE);
    for (const wchar_t* file : {L"Mods.cfg", L"Varpick.ini"}) DeleteFileW((game / file).c_str());
    UniqueKernelHandle second = StartProgram(game / L"Varpick.exe");
    DWORD secondExit = STILL_ACTIVE;
    if (WaitForSingleObject(second.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(second.get(), 1);
    EXPECT_TRUE(GetExitCodeProcess(second.get(), &secondExit) && secondExit == 0);
    EXPECT_FALSE(IsIconic(firstWindow));
    EXPECT_FALSE(ReadBytes(game / L"Mods.cfg") || ReadBytes(game / L"Varpick.ini")) << "the second start wrote nothing";
    UniqueKernelHandle elsewhere = StartProgram(CopyInto(other, TestProgramFolder() + L"\\Varpick.exe"));
    EXPECT_EQ(CloseProgram(elsewhere.get(), WindowOf(elsewhere.get(), caption)), 0u);
    EXPECT_EQ(CloseProgram(first.get(), firstWindow), 0u);
}

// Browse in the options dialog takes any name, a game not installed yet too. While a dialog of the
// options dialog is open (the file dialog, a message box), the main window stays usable, and Quit
// there ends the program cleanly.
TEST(Programs, BrowseTakesAnyNameAndQuitOverTheOptionsDialogsDialogsEndsCleanly) {
    const std::wstring notYet = L"C:\\Games\\Not installed yet\\Mothvar.exe";
    for (int quitOver : {0, 1}) {  // the file dialog, the message box of a failed save
        ScratchFolder game;
        UniqueKernelHandle process = StartProgram(CopyInto(game, TestProgramFolder() + L"\\Varpick.exe"));
        HWND main = WindowOf(process.get(), L"Varmoth - Pick MOD");
        ASSERT_TRUE(main);
        PostMessageW(GetDlgItem(main, IDC_CMDOPTIONS), BM_CLICK, 0, 0);
        HWND options = WindowOf(process.get(), L"Options");
        PostMessageW(GetDlgItem(options, IDC_CMDBROWSE), BM_CLICK, 0, 0);
        HWND open = WindowOf(process.get(), L"Open");
        ASSERT_TRUE(open);
        // Typed into "File name:", in the edit field of its combo box; then Open.
        HWND nameBox = FindWindowExW(FindWindowExW(GetDlgItem(open, 0x47C), nullptr, L"ComboBox", nullptr), nullptr, L"Edit", nullptr);
        SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(notYet.c_str()));
        PostMessageW(open, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] {
            wchar_t path[MAX_PATH] = {};  // another process's control: WM_GETTEXT, not its caption
            SendMessageW(GetDlgItem(options, IDC_TXTEXEPATH), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(path));
            return path == notYet;
        }, std::chrono::seconds(5))) << "taken unchecked";
        UniqueFileHandle held;
        if (quitOver == 0) {
            PostMessageW(GetDlgItem(options, IDC_CMDBROWSE), BM_CLICK, 0, 0);
            ASSERT_TRUE(WindowOf(process.get(), L"Open"));
        } else {
            held.reset(CreateFileW((game / L"Varpick.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
            PostMessageW(GetDlgItem(options, IDC_CMDAPPLY), BM_CLICK, 0, 0);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(options); }, std::chrono::seconds(5))) << "the message is open";
        }
        PostMessageW(GetDlgItem(main, IDC_CMDQUIT), BM_CLICK, 0, 0);
        DWORD exitCode = STILL_ACTIVE;
        if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 99);
        EXPECT_TRUE(GetExitCodeProcess(process.get(), &exitCode) && exitCode == 0) << quitOver << ": " << exitCode;
    }
}

namespace {

constexpr wchar_t kMainCaption[] = L"Varmoth - Pick MOD";
const std::string kTwoMods = "1\r\n\r\nNight Moths.mdf\r\n2\r\n\r\nCrimson Dusk.mdf\r\n", kOldMod = "[mods]\r\ncurrentmod=old.mdf\r\n";

// A game folder with Varpick, the stand-in game, two mods and the game's current mod "old.mdf".
struct GameFolder {
    GameFolder() {
        varpick = CopyInto(folder, TestProgramFolder() + L"\\Varpick.exe");
        InstallStandIn(folder / L"Mothvar.exe");
        WriteBytes(folder / L"Mods.cfg", kTwoMods);
        WriteBytes(folder / L"Varmoth.ini", kOldMod);
    }
    std::wstring CurrentMod() const { return ReadIniKey(folder / L"Varmoth.ini", L"mods", L"currentmod"); }
    ScratchFolder folder;
    std::wstring varpick;
};

// Waits for the process to end, answering its message boxes; what they said, and whether the
// main window showed.
std::pair<std::vector<std::wstring>, bool> UntilItEnds(HANDLE process) {
    std::vector<std::wstring> told;
    bool windowShown = false;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
         WaitForSingleObject(process, 0) == WAIT_TIMEOUT && std::chrono::steady_clock::now() < end;) {
        if (std::wstring text = NextMessageBox(process, IDOK, std::chrono::milliseconds(50)); !text.empty()) told.push_back(text);
        windowShown |= WindowOf(process, kMainCaption, std::chrono::milliseconds(0)) != nullptr;
    }
    return {told, windowShown};
}

DWORD ExitCode(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 99);
    GetExitCodeProcess(process, &code);
    return code;
}

}  // namespace

// Varpick started with options: the mod set, the game started with it, no window shown; or a
// message, exit code 1, nothing written and nothing started.
TEST(Programs, TheCommandLineSetsTheModAndRunsTheGameOrSaysWhyNot) {
    GameFolder game;
    constexpr Fault held = Fault::Held, folder = Fault::FolderInPlace;
    const std::tuple<const wchar_t*, DWORD, const wchar_t*, const wchar_t*, Fault, const wchar_t*> rows[] = {
        // arguments, exit code, a piece of the one message (none: ""), a file made unwritable and how, the current mod after (and the game's)
        {L"--mod \"night moths.mdf\" --run", 0, L"", nullptr, held, L"Night Moths.mdf"},
        {L"/PLAIN /Run", 0, L"", nullptr, held, L"main"},
        {L"/?", 0, L"--mod NAME", nullptr, held, L"old.mdf"},
        {L"--Bogus --run", 1, L"Unknown option \"--Bogus\".\r\n\r\nVarpick.exe [--mod", nullptr, held, L"old.mdf"},
        {L"--mod", 1, L"--mod needs the name", nullptr, held, L"old.mdf"},
        {L"--mod \"Night Moths.mdf\" --plain", 1, L"cannot go together", nullptr, held, L"old.mdf"},
        {L"--mod \"No Such.mdf\" --run", 1, L"\"No Such.mdf\" is not in the mod list", nullptr, held, L"old.mdf"},
        {L"--mod \"Crimson Dusk.mdf\" --run", 1, L"could not be read", L"Mods.cfg", held, L"old.mdf"},
        {L"--mod \"Crimson Dusk.mdf\" --run", 1, L"The current mod could not be saved", L"Varmoth.ini", held, L"old.mdf"},
        {L"--plain --run", 1, L"Mothvar.exe Not Found", L"Mothvar.exe", folder, L"main"},
    };
    for (const auto& [arguments, exitCode, told, unwritable, fault, mod] : rows) {
        SCOPED_TRACE(testing::Message() << ToAnsi(arguments).value_or("?"));
        WriteBytes(game.folder / L"Varmoth.ini", kOldMod);
        std::pair<std::vector<std::wstring>, bool> shown;
        DWORD code = STILL_ACTIVE;
        const auto start = [&] {
            UniqueKernelHandle process = StartProgram(game.varpick, arguments);
            shown = UntilItEnds(process.get());
            code = ExitCode(process.get());
        };
        const size_t gamesBefore = StandInReports(game.folder.path()).size();
        if (unwritable) WhileUnwritable(game.folder / unwritable, fault, start);
        else start();
        EXPECT_EQ(code, exitCode);
        EXPECT_FALSE(shown.second) << "no window";
        EXPECT_EQ(shown.first.size(), *told ? 1u : 0u);
        EXPECT_TRUE(!*told || (!shown.first.empty() && shown.first[0].find(told) != std::wstring::npos)) << ToAnsi(shown.first.empty() ? L"" : shown.first[0]).value_or("?");
        EXPECT_EQ(game.CurrentMod(), mod);
        const bool started = code == 0 && std::wstring(arguments).find(L"un") != std::wstring::npos;  // --run, /Run
        ASSERT_TRUE(WaitUntil([&] { return StandInReports(game.folder.path()).size() == gamesBefore + started; }, std::chrono::seconds(started ? 10 : 0)))
            << "started once, or not";
        const auto reports = StandInReports(game.folder.path());
        const bool startedWithTheMod = std::any_of(reports.begin(), reports.end(), [&](auto& report) { return report.at(L"current_mod") == mod; });
        EXPECT_TRUE(reports.size() == gamesBefore || startedWithTheMod);
    }
}

// A start with options while Varpick runs in the folder hands them to it, and its label follows.
// The mod list's "Create desktop shortcut" makes a shortcut that does just that, in one click.
TEST(Programs, TheShortcutAndAnyStartWithOptionsHandTheirRequestToTheRunningVarpick) {
    GameFolder game;
    ScratchFolder desktop;
    // The desktop, for the shortcut, is a scratch folder while the test runs; not an empty one,
    // which Wine would replace with a link to the home folder.
    WriteBytes(desktop / L"desktop.ini", "");
    struct DesktopIn {
        explicit DesktopIn(const std::wstring& folder) { SetValue(folder.c_str()); }
        ~DesktopIn() { SetValue(nullptr); }
        static void SetValue(const wchar_t* folder) {
            constexpr wchar_t key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
            folder ? RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Desktop", REG_EXPAND_SZ, folder, static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)))
                   : RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Desktop");
        }
    } desktopIn(desktop.path());

    UniqueKernelHandle running = StartProgram(game.varpick);
    HWND main = WindowOf(running.get(), kMainCaption);
    ASSERT_TRUE(main);
    SendMessageW(GetDlgItem(main, IDC_CBOMODS), LB_SETCURSEL, 0, 0);
    PostMessageW(main, WM_COMMAND, IDM_CREATESHORTCUT, 0);
    const std::wstring shortcut = desktop / L"Night Moths - Varmoth.lnk", told = NextMessageBox(running.get(), IDOK, std::chrono::seconds(10));
    EXPECT_NE(told.find(shortcut), std::wstring::npos) << ToAnsi(told).value_or("?");

    // Read back as the shell reads it.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int iconIndex = -1;
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(link.put()))) &&
                    SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) &&
                    SUCCEEDED(file.get()->Load(shortcut.c_str(), STGM_READ)));
        link.get()->GetPath(target, MAX_PATH, nullptr, 0);
        link.get()->GetArguments(arguments, MAX_PATH);
        link.get()->GetWorkingDirectory(folder, MAX_PATH);
        link.get()->GetIconLocation(icon, MAX_PATH, &iconIndex);
    }
    CoUninitialize();
    wchar_t longTarget[MAX_PATH] = {};  // outside the code page, the short form stands in the shortcut
    GetLongPathNameW(target, longTarget, MAX_PATH);
    EXPECT_EQ(std::wstring(longTarget) + L"|" + arguments + L"|" + folder + L"|" + icon + L"," + std::to_wstring(iconIndex),
              game.varpick + L"|--mod \"Night Moths.mdf\" --run|" + game.folder.path() + L"|" + (game.folder / L"Mothvar.exe") + L",0");

    // Started as it stands: the running Varpick sets the mod and starts the game.
    const std::tuple<std::wstring, DWORD, const wchar_t*, const wchar_t*> starts[] = {  // arguments, exit code, the label after, what the running one tells
        {arguments, 0, L"Current mod: Night Moths.mdf|Night Moths.mdf", L""},
        {L"--plain", 0, L"Current mod: Mothvar|main", L""},
        {L"--mod \"No Such.mdf\"", 1, L"Current mod: Mothvar|main", L"\"No Such.mdf\" is not in the mod list"}};
    for (const auto& [with, exitCode, label, told] : starts) {
        UniqueKernelHandle second = StartProgram(target, with, folder);
        EXPECT_NE((*told ? NextMessageBox(running.get(), IDOK, std::chrono::seconds(10)) : L"").find(told), std::wstring::npos);
        EXPECT_TRUE(UntilItEnds(second.get()).first.empty()) << "the second start shows nothing";
        EXPECT_EQ(ExitCode(second.get()), exitCode);
        EXPECT_EQ(WindowText(GetDlgItem(main, IDC_LBLCURRENTMOD)) + L"|" + game.CurrentMod(), label);
    }
    ASSERT_TRUE(WaitUntil([&] { return StandInReports(game.folder.path()).size() == 1; }));
    EXPECT_EQ(StandInReports(game.folder.path())[0].at(L"current_mod"), L"Night Moths.mdf");
    EXPECT_EQ(CloseProgram(running.get(), main), 0u);
}
