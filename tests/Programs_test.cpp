// Both programs as users get them: the 64-bit build and, when it was built beside, the 32-bit one.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cstdlib>
#include <thread>

#include "launcher/resource.h"
#include "profile/AnsiText.h"
#include "profile/FileIO.h"
#include "support/TestSupport.h"

namespace {

constexpr wchar_t kMainCaption[] = L"Varmoth - Pick MOD";
const std::string kTwoMods = "1\r\n\r\nNight Moths.mdf\r\n2\r\n\r\nCrimson Dusk.mdf\r\n", kOldMod = "[mods]\r\ncurrentmod=old.mdf\r\n";

// A game folder with Varpick, the stand-in game, two mods and the game's current mod "old.mdf".
struct GameFolder {
    GameFolder() : varpick(CopyInto(folder, ProgramFolder() + L"\\Varpick.exe")) {
        InstallStandIn(folder / L"Mothvar.exe");
        WriteBytes(folder / L"Mods.cfg", kTwoMods);
        WriteBytes(folder / L"Varmoth.ini", kOldMod);
    }
    std::wstring CurrentMod() const { return GetFromINI(L"mods", L"currentmod", L"", folder / L"Varmoth.ini"); }
    ScratchFolder folder;
    std::wstring varpick;
};

// Waits for the process to end, answering its message boxes and those of the Varpick it may hand over
// to: its exit code, what they said, and whether its main window showed.
using Ending = std::tuple<DWORD, std::vector<std::wstring>, bool>;
Ending UntilItEnds(HANDLE process, HANDLE first = nullptr) {
    bool windowShown = false;
    std::vector<std::wstring> told;
    AnswerMessageBoxes({process, first}, told, [&] {
        windowShown |= WindowOf(process, kMainCaption, 0ms) != nullptr;
        return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    });
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 99);
    GetExitCodeProcess(process, &code);
    return {code, told, windowShown};
}

// Whether a thread of the 64-bit program, started at LoadLibraryW (one address in every 64-bit process), loads it.
bool LoadsLibrary(const UniqueKernelHandle& process, const std::wstring& library) {
    void* name = VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);  // a page
    WriteProcessMemory(process.get(), name, library.c_str(), (library.size() + 1) * sizeof(wchar_t), nullptr);
    const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(&LoadLibraryW));
    const UniqueKernelHandle thread(CreateRemoteThread(process.get(), nullptr, 0, loadLibrary, name, 0, nullptr));
    DWORD low = 0;  // the low half of the library's handle: 0 when it was not loaded
    return WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0 && GetExitCodeThread(thread.get(), &low) && low;
}

}  // namespace

TEST(Programs, DeclareVisualStylesSupportedSystemsAndDpiAwarenessAndStartShowAndQuit) {
    const std::wstring x86Folder = HostFolder("VARMOTH_X86_PROGRAMS");
    const bool x86Runs = std::getenv("VARMOTH_X86_RUNS") && std::string(std::getenv("VARMOTH_X86_RUNS")) == "1";
    std::vector<std::pair<std::wstring, bool>> builds{{ProgramFolder(), true}};  // folder, 64-bit
    if (!x86Folder.empty()) builds.emplace_back(x86Folder, false);
    for (const auto& [folder, is64Bit] : builds) {
        // The program, its window's caption, a file its first start writes and a piece of it.
        for (const auto& [file, caption, defaults, piece] :
             {std::tuple{L"Varpick.exe", kMainCaption, L"Varpick.ini", L"VarmothPath=*\\Mothvar.exe\r\nSkin=0"},
              std::tuple{L"Vartune.exe", L"Varmoth Configuration Utility", L"vmtconfig.ini", L"=1\r\n"}}) {
            const std::wstring path = folder + L"\\" + file;
            SCOPED_TRACE(testing::Message() << (is64Bit ? "x64 " : "x86 ") << ToAnsi(path).value_or("?"));
            const std::string manifest = ReadBytes(path).value_or("");  // the manifest resource is stored as its text
            for (const char* entry :
                 {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                  "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                  "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                  ">PerMonitorV2, System</dpiAwareness>", ">true</dpiAware>"})
                EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
            EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << "the files stay in the system's code page";
            EXPECT_EQ(manifest.find("requestedExecutionLevel") != std::string::npos, is64Bit) << "a 32-bit program under Program Files shares the game's VirtualStore";
            if (!is64Bit && !x86Runs) continue;  // where this Wine runs no 32-bit programs: under scripts/x86-wine
            ScratchFolder game;
            const std::wstring planted = game / L"varmoth-planted.dll";  // a library beside the program
            CopyFileW((HostFolder("SystemRoot") + L"\\System32\\version.dll").c_str(), planted.c_str(), FALSE);
            UniqueKernelHandle process = StartProgram(CopyInto(game, path));
            const HWND window = WindowOf(process.get(), caption);  // shown: the library beside it loads by path only
            EXPECT_TRUE(!is64Bit || (!LoadsLibrary(process, L"varmoth-planted.dll") && LoadsLibrary(process, planted)));
            EXPECT_EQ(CloseProgram(process.get(), window), 0u);
            std::wstring written = piece;  // '*': the game folder's short form
            if (const size_t star = written.find(L'*'); star != std::wstring::npos)
                written.replace(star, 1, ShortPath(game.path()));
            EXPECT_NE(FromAnsi(ReadBytes(game / defaults).value_or("")).find(written), std::wstring::npos);
        }
    }
}

// Varpick started with options, as a shortcut or Steam starts it, beside a Varpick of another folder or
// handing them to the one of its folder (through any path: Wine's drive Z: reaches every folder),
// which answers for it; a second start that cannot reach the first, or whose first ends meanwhile.
TEST(Programs, TheCommandLineSetsTheModAndRunsTheGameHereOrInTheRunningVarpick) {
    GameFolder here, elsewhere;
    WriteBytes(here.folder / L"Mods.cfg", kTwoMods + "3\r\n\r\nnight moths.mdf\r\n");
    UniqueKernelHandle running = StartProgram(elsewhere.varpick);
    HWND main = WindowOf(running.get(), kMainCaption);
    ASSERT_TRUE(main);
    const std::wstring throughZ = HostFolder("WINEPREFIX") + L"\\drive_c" + elsewhere.varpick.substr(2);
    for (const auto& [varpick, arguments, answer] :
         {std::tuple(here.varpick, L"--mod \"night moths.mdf\" --run", 0u),
          std::tuple(throughZ, L"--MOD \"crimson dusk.mdf\" --run", 0u), std::tuple(throughZ, L"--mod Nope.mdf", 1u)}) {
        const auto [code, shown, windowShown] = UntilItEnds(StartProgram(varpick, arguments).get(), running.get());
        EXPECT_TRUE(code == answer && shown.size() == answer && !windowShown) << code;
        EXPECT_TRUE(answer == 0 || shown[0].starts_with(L"\"Nope.mdf\" is not in the mod list")) << "the first's";
    }
    ASSERT_TRUE(WaitUntil([&] { return StandInReports(here.folder.path()).size() == 1; }));
    EXPECT_EQ(StandInReports(here.folder.path())[0].at(L"current_mod") + L"|" + here.CurrentMod(), L"night moths.mdf|night moths.mdf");
    EXPECT_EQ(WindowText(GetDlgItem(main, IDC_LBLCURRENTMOD)) + L"|" + elsewhere.CurrentMod(), L"Current mod: Crimson Dusk.mdf|Crimson Dusk.mdf");
    EXPECT_TRUE(WaitUntil([&] { return StandInReports(elsewhere.folder.path()).size() == 1; }) &&
                StandInReports(elsewhere.folder.path())[0].at(L"current_mod") == L"Crimson Dusk.mdf");

    const std::wstring mutexName = FolderObjectName(L"Varpick", here.folder.path());
    std::jthread ending([&] {  // a first that ends during the start's search, its mutex abandoned
        const UniqueKernelHandle mutex(CreateMutexW(nullptr, TRUE, mutexName.c_str()));
        Sleep(1000);
    });
    ASSERT_TRUE(WaitUntil([&] { return UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, mutexName.c_str())).get(); }));
    EXPECT_EQ(UntilItEnds(StartProgram(here.varpick, L"--plain --run").get()), Ending(0, {}, false));
    EXPECT_EQ(here.CurrentMod(), L"main");

    // A plain start brings the running Varpick forward, restored, and writes nothing; one that finds
    // no window of it to reach (hidden here, as one waiting elsewhere or hung) says so and ends with 1.
    const auto files = [&] {
        std::string bytes;
        for (const wchar_t* name : {L"Mods.cfg", L"Varmoth.ini", L"Varpick.ini"})
            bytes += ReadBytes(elsewhere.folder / name).value_or("<none>") + "|";
        return bytes;
    };
    const std::string before = files();
    const UniqueKernelHandle ui(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, nullptr)));
    const UniqueHWnd front(CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, 0));
    for (const int show : {SW_SHOWNOACTIVATE, SW_MINIMIZE, SW_HIDE, SW_SHOW}) {
        ShowWindow(main, show);
        SetForegroundWindow(front.get());  // another window in front of it
        if (show == SW_SHOW) {  // not responding: told at once, as the search for a hidden one ends
            SuspendThread(ui.get());
            ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(main); }, 10s));
        }
        const auto [code, told, windowShown] = UntilItEnds(StartProgram(elsewhere.varpick).get());
        const auto forward = [&] { return IsWindowVisible(main) && !IsIconic(main) && GetForegroundWindow() == main; };
        if (show != SW_HIDE && show != SW_SHOW)
            EXPECT_TRUE(code == 0 && told.empty() && WaitUntil(forward, 5s)) << "in front, restored if minimised";
        else EXPECT_TRUE(code == 1 && told.size() == 1 && told[0].find(L"did not answer") != std::wstring::npos);
        EXPECT_TRUE(!windowShown && files() == before);
    }
    ResumeThread(ui.get());

    PostMessageW(GetDlgItem(main, IDC_CMDOPTIONS), BM_CLICK, 0, 0);
    HWND options = WindowOf(running.get(), L"Options");
    WhileUnwritable(elsewhere.folder / L"Varpick.ini", Fault::Held, [&] {
        PostMessageW(GetDlgItem(options, IDC_CMDAPPLY), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(options); }, 5s)) << "its message is open";
        PostMessageW(GetDlgItem(main, IDC_CMDQUIT), BM_CLICK, 0, 0);
        EXPECT_EQ(std::get<0>(UntilItEnds(running.get())), 0u);
    });

    SECURITY_ATTRIBUTES acl = {sizeof acl};  // an empty access list: as a Varpick run as administrator
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &acl.lpSecurityDescriptor, nullptr);
    const UniqueKernelHandle administrators(CreateMutexW(&acl, FALSE, mutexName.c_str()));
    const auto [deniedCode, deniedTold, deniedWindow] = UntilItEnds(StartProgram(here.varpick).get());
    EXPECT_TRUE(deniedCode == 1 && !deniedWindow && deniedTold.size() == 1 && deniedTold[0].find(L"as administrator") != std::wstring::npos) << deniedCode;
    LocalFree(acl.lpSecurityDescriptor);
}
