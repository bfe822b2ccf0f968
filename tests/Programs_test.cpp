// Both programs as users get them: the 64-bit build and, when it was built beside, the 32-bit one.
#include <gtest/gtest.h>

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
