#include "Launcher.h"

#include "launcher/SingleInstance.h"

#include <shlobj.h>

#include <filesystem>

#include "win32/ComApartment.h"

namespace {

using MainWindow = Launcher;

std::string Entries(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "1\r\n\r\nm" + std::to_string(i) + ".mdf\r\n";
    return text;
}

// What the shell gives a window when files are dropped on it.
HDROP Drop(const std::vector<std::wstring>& files) {
    std::wstring names;
    for (const std::wstring& file : files) names += file + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    *drop = {sizeof(DROPFILES), {}, FALSE, TRUE};
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// A right-click on a line of the mod list, and the menu's command chosen by its access key.
void RightClick(int line, wchar_t accessKey) {
    HWND list = GetDlgItem(frmMain::Instance().hwnd(), IDC_CBOMODS);
    RECT rect;
    SendMessageW(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&rect));
    POINT at = {rect.left + 4, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &at);
    PostMessageW(list, WM_CHAR, accessKey, 0);  // taken by the menu once it shows
    SendMessageW(GetParent(list), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    PumpMessages();  // the command chosen
}

// How the shell starts the shortcut at `path`: its stored arguments, split by the system's splitter.
std::vector<std::wstring> ShortcutStart(const std::wstring& path) {
    const ComApartment com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    wchar_t arguments[INFOTIPSIZE] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(link.put()))) &&
        SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) &&
        SUCCEEDED(file.get()->Load(path.c_str(), STGM_READ)))
        link.get()->GetArguments(arguments, INFOTIPSIZE);
    int count = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> split(
        CommandLineToArgvW((L"Varpick.exe " + std::wstring(arguments)).c_str(), &count), &LocalFree);
    return std::vector<std::wstring>(split.get(), split.get() + count);
}

// CreateProcessW as Windows answers for a program that must run as administrator, or that it refuses.
DWORD g_refusal = ERROR_ELEVATION_REQUIRED;
BOOL WINAPI Refuses(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                    LPSTARTUPINFOW, LPPROCESS_INFORMATION) {
    SetLastError(g_refusal);
    return FALSE;
}

// This program's token as GetTokenInformation describes it: writes redirected to the VirtualStore or not.
DWORD g_virtualized = 0;
BOOL WINAPI FakeToken(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID value, DWORD, PDWORD) {
    *static_cast<DWORD*>(value) = g_virtualized;
    return TRUE;
}

const std::wstring kNotFound =
    L"Varmoth Error|64|Mothvar.exe Not Found, Enter the Mothvar.exe path in the options dialog";

}  // namespace

TEST_F(MainWindow, ShowsTheCatalogueTellsWhenItCannotBeReadAndDeleteAllModsRecyclesIt) {
    WriteBytes(folder / L"Mods.cfg", "12\r\n\r\na.mdf\r\n5400\r\nCaf\xE9 mod\r\ncaf\xE9.mdf\r\n");  // code page 1252
    WriteBytes(folder / L"VARMOTH.INI", "[MODS]\r\nCurrentMod=main\r\n");
    Start();
    EXPECT_EQ(State(), L"a.mdf caf\u00E9.mdf | Current mod: main| game: main | 0 messages 0 beeps");
    Quit();
    WhileUnwritable(folder / L"Mods.cfg", Fault::Held, [&] { Start(); });
    AddMod(L"C:\\mods\\x.mdf");  // refused: with an empty list, a save would wipe the file
    EXPECT_EQ(State(), L"| Current mod: main| game: main | 2 messages 0 beeps | Mods.cfg: a.mdf caf\u00E9.mdf ");
    Press(Main(), IDC_CMDDELETEALLMODS);
    EXPECT_EQ(State(), L"| Current mod: main| game: main | 2 messages 0 beeps | Mods.cfg: none") << "mod kept";
    EXPECT_EQ(prompts.recycled, std::vector{folder / L"Mods.cfg"}) << "in the Recycle Bin, to be restored";
    AddMod(L"C:\\mods\\x.mdf");  // deleted on purpose: adding works again
    const std::string added = std::to_string(modMain::Mods(1).iID()) + "\r\n\r\nx.mdf\r\n";
    SetFileAttributesW((folder / L"Mods.cfg").c_str(), FILE_ATTRIBUTE_READONLY);  // refused, as Windows refuses it
    AddMod(L"C:\\mods\\y.mdf");
    SetFileAttributesW((folder / L"Mods.cfg").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(ReadBytes(folder / L"Mods.cfg") == added && Has(prompts.messages.back(), L"read-only"));

    WriteBytes(folder / L"Mods.cfg", Entries(1001));
    Quit();
    Start();
    AddMod(L"C:\\x\\one-more.mdf");
    EXPECT_EQ(ListBox(GetDlgItem(Main(), IDC_CBOMODS)).Count(), 1000);
    ASSERT_EQ(prompts.messages.size(), 5u) << "too long a list, and a full one";
    EXPECT_NE(prompts.messages[3].find(L"The others stay in Mods.cfg"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(folder / L"Mods.cfg"), Entries(1001));
    Select(0);  // the mods beyond the first 1000 stay, after the listed ones
    PressKey(GetDlgItem(Main(), IDC_CBOMODS), VK_DELETE);
    EXPECT_EQ(ReadBytes(folder / L"Mods.cfg"), Entries(1001).substr(13));
    AddMod(L"C:\\x\\one-more.mdf");
    EXPECT_TRUE(ReadBytes(folder / L"Mods.cfg")->ends_with("m1000.mdf\r\n" + std::to_string(modMain::Mods(1000).iID()) + "\r\n\r\none-more.mdf\r\n1\r\n\r\nm1001.mdf\r\n"));
}

TEST_F(MainWindow, RunStartsTheGameMinimisedInItsOwnFolderOrSaysWhyNot) {
    const std::wstring gameFolder = folder / L"Program Files", game = gameFolder + L"\\Mothvar.exe";
    CreateDirectoryW(gameFolder.c_str(), nullptr);
    ASSERT_TRUE(InstallStandIn(game));
    WriteBytes(gameFolder + L"\\Varmoth.ini", "[mods]\r\ncurrentmod=cool.mdf\r\n");
    WriteBytes(folder / L"NotAProgram.exe", "this is no program");
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\na.mdf\r\n");
    Start();

    // A double-click is one press, and one more with an argument, passed as it stands.
    HWND run = GetDlgItem(Main(), IDC_CMDRUN);
    modMain::sVarmothPath = game;
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) SendMessageW(run, message, 0, MAKELPARAM(4, 4));
    modMain::sVarmothPath += L" -window";
    Press(Main(), IDC_CMDRUN);
    ASSERT_TRUE(WaitUntil([&] { return StandInReports(gameFolder).size() == 2; }));
    int quoted = 0, withArgument = 0;
    for (auto& report : StandInReports(gameFolder)) {
        quoted += report[L"command_line"] == L"\"" + game + L"\"";
        withArgument += report[L"command_line"].ends_with(L" -window");
        EXPECT_EQ(report[L"working_folder"] + L"|" + report[L"show_state"] + L"|" + report[L"current_mod"], gameFolder + L"|2|cool.mdf");
    }
    EXPECT_TRUE(quoted == 1 && withArgument == 1);

    // A game set to run as administrator: the shell asks the player, in front of the window; a refusal is
    // told. Where its Varmoth.ini is in the VirtualStore, which such a game does not read, Varpick asks
    // first, before --mod writes it. Last, a program Windows refuses: told, mended in the options dialog.
    wchar_t localAppData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH);
    const std::wstring store = folder / L"AppData", copy = store + L"\\VirtualStore" + folder.path().substr(2);
    SetEnvironmentVariableW(L"LOCALAPPDATA", store.c_str());
    prompts.consents = {ERROR_SUCCESS, ERROR_CANCELLED};
    prompts.answers = {IDOK, IDNO, IDYES, IDOK, IDNO};  // the messages and questions in turn
    constexpr long elevate = ERROR_ELEVATION_REQUIRED, denied = ERROR_ACCESS_DENIED;
    for (const auto& [refusal, virtualized, copied] : {std::tuple(elevate, 0, false), std::tuple(elevate, 0, false),
                                                       std::tuple(elevate, 1, false), std::tuple(elevate, 1, true),
                                                       std::tuple(elevate, 1, true), std::tuple(denied, 0, false)}) {
        const ImportPatch refused(&CreateProcessW, &Refuses), token(&GetTokenInformation, &FakeToken);
        std::tie(g_refusal, g_virtualized) = std::pair(refusal, virtualized);
        if (copied && std::filesystem::create_directories(copy)) WriteBytes(copy + L"\\Varmoth.ini", "");
        Press(Main(), IDC_CMDRUN);
        if (refusal == denied) {
            std::tie(g_refusal, g_virtualized) = std::pair(elevate, 1);
            const std::vector<std::wstring> run = {L"--mod", L"a.mdf", L"--run"};
            EXPECT_EQ(frmMain::Instance().CarryOut(ReadCommandLine(run)), 1);
        }
    }
    SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData);
    EXPECT_EQ(prompts.shellStarts, std::vector(4, game + L"|-window|" + gameFolder + L"|2|Varmoth - Pick MOD"));
    const std::wstring question = L"Varmoth Error|52|Mothvar.exe is set";  // MB_YESNO | MB_ICONWARNING
    ASSERT_EQ(prompts.messages.size(), 5u);
    EXPECT_EQ(prompts.messages[0],
              L"Varmoth Error|64|Mothvar.exe was not started: it runs as administrator, and that was not allowed.");
    EXPECT_TRUE(prompts.messages[1].starts_with(question) && prompts.messages[2].starts_with(question) &&
                prompts.messages[4].starts_with(question));
    EXPECT_NE(prompts.messages[3].find(L"Windows did not let Varpick start the game's path"), std::wstring::npos);
    EXPECT_FALSE(ReadBytes(folder / L"Varmoth.ini")) << "No, before --mod wrote anything";
    prompts.messages.clear();
    prompts.beeps = 0;

    // No game there, or no program: the hint; a folder: that it is one; Varpick stays. Else, fatal.
    for (const std::wstring& path : {folder / L"Mothvar.exe", std::wstring(), folder / L"no such folder\\Mothvar.exe",
                                     folder / L"NotAProgram.exe", gameFolder}) {
        modMain::sVarmothPath = path;
        Press(Main(), IDC_CMDRUN);
    }
    EXPECT_FALSE(prompts.endedWith);
    modMain::sVarmothPath = game;
    WhileUnwritable(game, Fault::Held, [] { Press(Main(), IDC_CMDRUN); });  // a sharing violation
    ASSERT_EQ(prompts.messages.size(), 6u);
    EXPECT_EQ(std::vector(prompts.messages.begin(), prompts.messages.begin() + 3), std::vector(3, kNotFound));
    EXPECT_NE(prompts.messages[3].find(L"NotAProgram.exe\" is a file that is not a program, not the game. Enter the "
                                       L"path of Mothvar.exe itself"), std::wstring::npos);
    EXPECT_EQ(prompts.messages[4], L"Varmoth Error|64|The game's path \"" + gameFolder + L"\" is a folder, not the "
                                   L"game. Enter the path of Mothvar.exe itself in the options dialog (Options, then "
                                   L"Browse...).");
    const std::wstring& fatal = prompts.messages[5];
    EXPECT_TRUE(fatal.starts_with(L"Fatal Error|16|Fatal Error: ") && fatal.ends_with(L" forums") &&
                fatal.find(L"\r\nExeciton aborted, Please submit a error report to ") != std::wstring::npos)
        << fatal;
    EXPECT_TRUE(prompts.beeps == 5 && prompts.endedWith) << "no beep before the report; the program ends";
    EXPECT_EQ(SystemErrorText(ERROR_BAD_EXE_FORMAT, L"C:\\V.ini").find(L"%"), std::wstring::npos) << "name filled in";
    EXPECT_EQ(StandInReports(gameFolder).size(), 2u);
}

// The mod list has the keyboard at start, on the current mod's line: keys typed at once find a name
// (as buttons' access keys, "m" would delete the list) and Enter sets it; Tab walks the buttons.
TEST_F(MainWindow, KeysWorkAsInADialogQuitOrTheCloseBoxEndEverythingAndEveryCaptionFitsAtEachDpi) {
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\nmoon.mdf\r\n2\r\n\r\nmoonlight.mdf\r\n3\r\n\r\nsun.mdf\r\n");
    WriteBytes(folder / L"Varmoth.ini", "[mods]\r\ncurrentmod=SUN.mdf\r\n");
    Start("[Main]\r\nVarmothPath=C:\\M.exe\r\n");
    HWND list = GetDlgItem(Main(), IDC_CBOMODS);
    EXPECT_TRUE(KeyboardWindow() == Main() && GetFocus() == list && ListBox(list).SelectedText() == L"sun.mdf");
    for (const wchar_t key : std::wstring(L"moonl\r")) {  // as the keyboard types them, into what has the keyboard
        INPUT press[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
        press[0].ki.wVk = press[1].ki.wVk = LOBYTE(VkKeyScanW(key));
        press[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, press, sizeof(INPUT));
    }
    WaitUntil([&] { return Text(Main(), IDC_LBLCURRENTMOD).ends_with(L"moonlight.mdf"); }, 2s);
    EXPECT_EQ(State(), L"moon.mdf [moonlight.mdf] sun.mdf | Current mod: moonlight.mdf| game: moonlight.mdf | 0 "
                       L"messages 0 beeps");
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(Main(), IDC_CMDRUN));
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(Main(), IDC_CMDADDMOD));
    // A window loaded hidden takes no keyboard, and a dialog closed gives it back to the main window.
    Press(Main(), IDC_CMDABOUT);
    PressKey(GetFocus(), VK_ESCAPE);  // closed: Apply loads it again, hidden
    Press(Main(), IDC_CMDOPTIONS);
    Choose(GetDlgItem(Options(), IDC_CBOSKIN), 2);
    Press(Options(), IDC_CMDAPPLY);
    EXPECT_TRUE(About() && !IsWindowVisible(About()) && KeyboardWindow() == Options()) << "Apply, now disabled, passed the focus on";
    Press(Options(), IDC_OPTIONS_CMDOK);  // unloaded, and loaded again hidden by the painter
    EXPECT_TRUE(Options() && KeyboardWindow() == Main());
    PressKey(GetFocus(), L'v', true);  // Alt+V presses "Set &Varmoth"
    Select(-1);
    for (UINT key : {VK_ESCAPE, VK_RETURN}) PressKey(list, key);
    EXPECT_EQ(State(), L"moon.mdf moonlight.mdf sun.mdf | Current mod: Mothvar| game: main | 0 messages 0 beeps")
        << "no cancel or default button";
    for (bool closeBox : {false, true}) {
        Press(Main(), IDC_CMDOPTIONS);
        Press(Main(), IDC_CMDABOUT);
        closeBox ? void(SendMessageW(Main(), WM_CLOSE, 0, 0)) : Press(Main(), IDC_CMDQUIT);
        EXPECT_TRUE(!Main() && !Options() && !About() && PumpMessages()) << "all three windows are gone and the message loop ends";
        Start();
    }
    // Every caption fits, nothing overlaps, and the fonts follow the DPI, also on a screen of twice the DPI.
    const int dpi = ScreenDpi();
    for (HWND window : {Main(), Options(), About()})
        EXPECT_EQ(LayoutFaults(window) + std::to_string(Font(window).lfHeight),
                  std::to_string(-std::lround(8.0 * dpi / 72)));
    for (int newDpi : {dpi, 2 * dpi}) {
        for (HWND window : {Main(), About()})
            if (RECT frame; newDpi != dpi && GetWindowRect(window, &frame)) SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&frame));
        const int labels = -static_cast<int>(std::lround(9.75 * newDpi / 72));
        EXPECT_TRUE(Font(GetDlgItem(Main(), IDC_LBLCURRENTMOD)).lfHeight == labels &&
                    Font(GetDlgItem(About(), IDC_LBLVERSION)).lfHeight == labels);
        EXPECT_EQ(Font(GetDlgItem(Main(), IDC_LABEL1)).lfWeight, FW_BOLD) << "bold at every DPI";
    }
}

// Picked or dropped, mods are appended to the list and the file, what cannot be kept refused; a line
// is set by Set mod, a double-click or Enter, removed by Delete or its right-click menu. What a
// hand-over brings that is no list of arguments is refused unread.
TEST_F(MainWindow, ModsAreAddedSetAndRemovedAndWhatCannotBeKeptIsRefused) {
    const std::string listed = "12\r\n\r\na.mdf\r\n5400\r\n\r\nabc\r\n4\r\n\r\na\rb.mdf\r\n";
    WriteBytes(folder / L"Mods.cfg", listed);
    WriteBytes(folder / L"Varmoth.ini", "[mods]\r\ncurrentmod=b.mdf\r\n");
    Start();
    const auto handOver = [](const wchar_t* text, size_t bytes) {
        COPYDATASTRUCT data = {kHandOverCommandLine, static_cast<DWORD>(bytes), const_cast<wchar_t*>(text)};
        return SendMessageW(Main(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    // No data, an odd size, no final NUL: each of which, unchecked, would be read as --plain.
    const wchar_t plain[] = L"--plain\0";  // 16 bytes as a hand-over sends it
    EXPECT_EQ(SendMessageW(Main(), WM_COPYDATA, 0, 0) + handOver(nullptr, 16) + handOver(plain, 17) +
                  handOver(plain, 14), 4);
    EXPECT_EQ(Text(Main(), IDC_LBLCURRENTMOD), L"Current mod: b.mdf") << "none read as --plain";
    Press(Main(), IDC_CMDSETMOD);
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>{L"Mod Selection Error|64|No Mod Selected, You have to select "
                                                          L"a mod from the list to set it as the current mod"});
    // Cancelled first, then one, then two at once: new IDs in 0..5499, empty names.
    prompts.files = {{}, {L"C:\\Games\\x\\cool.mdf"}, {L"C:\\m\\x.mdf", L"C:\\m\\y.MDFz"}};
    Select(0);
    for (int i = 0; i < 3; ++i) Press(Main(), IDC_CMDADDMOD);
    EXPECT_EQ(prompts.fileDialogs, std::vector(3, L"Open|Mothvar mod (*.mdf*)|*.mdf*||" + folder.path()));
    std::string added = listed;
    for (const auto& [index, name] : {std::pair(4, "cool.mdf"), std::pair(5, "x.mdf"), std::pair(6, "y.MDFz")}) {
        EXPECT_TRUE(modMain::Mods(index).iID() >= 0 && modMain::Mods(index).iID() <= 5499);
        added += std::to_string(modMain::Mods(index).iID()) + "\r\n\r\n" + name + "\r\n";
    }
    EXPECT_EQ(ReadBytes(folder / L"Mods.cfg"), added);
    SendMessageW(Main(), WM_DROPFILES, WPARAM(Drop({L"C:\\d\\z.mdf", L"C:\\d\\notes.txt", L"C:\\d\\\u6F22.mdf"})), 0);
    EXPECT_TRUE(prompts.messages[1].find(L"notes.txt\" was not added: it is not a mod file") != std::wstring::npos && prompts.messages[1].find(L"\r\n\"\u6F22.mdf") != std::wstring::npos);
    Select(1);  // the whole line, whatever its length
    Press(Main(), IDC_CMDSETMOD);
    Select(2);  // a lone CR would split the game's key line
    Press(Main(), IDC_CMDSETMOD);
    EXPECT_EQ(State(), L"a.mdf abc [a\rb.mdf] cool.mdf x.mdf y.MDFz z.mdf | Current mod: abc| game: abc | "
                       L"3 messages 2 beeps");

    HWND list = GetDlgItem(Main(), IDC_CBOMODS);
    Select(1);
    PressKey(list, VK_DELETE);  // the game keeps its mod, and the label says so
    EXPECT_EQ(State(), L"a.mdf [a\rb.mdf] cool.mdf x.mdf y.MDFz z.mdf | Current mod: abc| game: abc | 3 messages 2 "
                       L"beeps");
    EXPECT_TRUE(ReadBytes(folder / L"Mods.cfg")->starts_with("12\r\n\r\na.mdf\r\n4\r\n"));
    Select(0);
    WhileUnwritable(folder / L"Mods.cfg", Fault::Held, [] { SendMessageW(Main(), WM_COMMAND, IDM_REMOVEFROMLIST, 0); });
    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(IDC_CBOMODS, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(State(), L"[a.mdf] a\rb.mdf cool.mdf x.mdf y.MDFz z.mdf | Current mod: a.mdf| game: a.mdf | "
                       L"4 messages 2 beeps")
        << "not removed: the save failed";
    SetFocus(list);
    Select(5);
    PressKey(list, VK_RETURN);
    Select(0);
    RightClick(5, L'r');  // "Remove from list" for the line clicked
    EXPECT_EQ(State(), L"a.mdf a\rb.mdf cool.mdf x.mdf [y.MDFz] | Current mod: z.mdf| game: z.mdf | 4 messages 2 beeps")
        << "the next line, or the last";

    // A wider line scrolls sideways as far as the widest; no further once it is removed or the list emptied.
    const auto extent = [&] { return SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0); };
    RECT client;
    GetClientRect(list, &client);
    AddMod(L"C:\\m\\" + std::wstring(100, L'w') + L".mdf");
    EXPECT_GT(extent(), client.right);
    Select(5);
    SendMessageW(Main(), WM_COMMAND, IDM_REMOVEFROMLIST, 0);
    EXPECT_LE(extent(), client.right);
    Press(Main(), IDC_CMDDELETEALLMODS);
    EXPECT_EQ(extent(), 0);
}

// A --run start that cannot find the game or set the mod writes nothing and starts nothing; a
// mod no longer listed is told with what to do.
TEST_F(MainWindow, ARunThatCannotGoWritesNothingAndSaysWhatToDo) {
    const std::string game = "[mods]\r\ncurrentmod=old.mdf\r\n", settings = "[Main]\r\n";
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\na.mdf\r\n");
    WriteBytes(folder / L"Varmoth.ini", game);
    WriteBytes(folder / L"Varpick.ini", settings);  // no game path: the default, where there is no game yet
    modMain::SetAppFolder(folder.path());
    const auto launch = [](std::vector<std::wstring> arguments) { return frmMain::Launch(ReadCommandLine(arguments), SW_SHOW); };
    EXPECT_EQ(launch({L"--mod", L"a.mdf", L"--run"}), 1);
    DeleteFileW((folder / L"Mods.cfg").c_str());  // and no mod list is made either
    EXPECT_TRUE(launch({L"--mod", L"Nope.mdf", L"--run"}) == 1 && !ReadBytes(folder / L"Mods.cfg"));
    ASSERT_TRUE(InstallStandIn(folder / L"Mothvar.exe"));
    WhileUnwritable(folder / L"Varmoth.ini", Fault::Held, [&] { EXPECT_EQ(launch({L"--plain", L"--run"}), 1); });
    EXPECT_TRUE(ReadBytes(folder / L"Varmoth.ini") == game && ReadBytes(folder / L"Varpick.ini") == settings);
    ASSERT_TRUE(prompts.messages.size() == 3 && prompts.beeps == 3);
    EXPECT_EQ(prompts.messages[0], kNotFound);
    EXPECT_TRUE(prompts.messages[1].ends_with(
        L"\"Nope.mdf\" is not in the mod list, so it was not set. The game was not started.\r\n\r\nAdd the mod to the "
        L"list with Add a Mod, or make a new shortcut: right-click its line in the list and choose Create desktop "
        L"shortcut."));
    EXPECT_FALSE(WaitUntil([&] { return !StandInReports(folder.path()).empty(); }, 1s)) << "a game started";
}

// Typing a name's start in any letter case finds it: keys in quick succession make one word, a pause starts
// another, one letter again and again steps through its lines and on from the top; Enter and Delete act on
// it. The longest name can be scrolled to. A right-click's shortcut plays that line, split back whole.
TEST_F(MainWindow, TheListFindsANameTypedAndMakesAShortcutOfTheLineRightClicked) {
    const std::wstring odd[][2] = {{L"say \"hi\".mdf", L"say _hi_"}, {L"sub\\ends in\\", L"sub_ends in_"},
                                   {L"a\\\"b\\\\", L"a__b__"}, {L"tab\there caf\u00E9.mdf", L"tab_here caf\u00E9"}};
    std::string catalogue;
    for (const auto& [line, shortcut] : odd) catalogue += "1\r\n\r\n" + *ToAnsi(line) + "\r\n";
    for (const char* name : {"alpha", "beta", "Betamax", "bravo", "Caf\xE9 Noir", "caf\xE9 au lait"})
        catalogue += "1\r\n\r\n" + std::string(name) + ".mdf\r\n";
    for (int i = 0; i < 300; ++i)
        catalogue += "1\r\n\r\nb" + std::to_string(i) + std::string(i % 7 * 40, 'w') + ".mdf\r\n";
    WriteBytes(folder / L"Mods.cfg", catalogue);
    Start();
    HWND list = GetDlgItem(Main(), IDC_CBOMODS);
    EXPECT_GE(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0),
              TextExtent(list, L"b6" + std::wstring(240, L'w') + L".mdf").cx) << "the longest name fits";
    EXPECT_EQ(AccessibleName(list), L"Mods:") << "what a screen reader calls the list";
    for (int line = 0; line < 4; ++line) {  // the first with none selected, then each after the one selected
        RightClick(line, L's');
        ASSERT_EQ(prompts.messages.size(), line + 1u);
        const std::wstring told = prompts.messages.back(), shortcut = told.substr(told.rfind(L'\n') + 1);
        EXPECT_EQ(ShortcutStart(shortcut),
                  (std::vector<std::wstring>{L"Varpick.exe", L"--mod", odd[line][0], L"--run"}));
        EXPECT_TRUE(told.find(L"is on your desktop") != std::wstring::npos &&
                    shortcut.ends_with(L"\\" + odd[line][1] + L" - Varmoth.lnk") && DeleteFileW(shortcut.c_str()));
    }
    SetFocus(list);
    const auto type = [&](const std::wstring& keys) {
        for (wchar_t key : keys) PostMessageW(list, WM_CHAR, key, 0);
        PumpMessages();
        return ListBox(list).SelectedText();
    };
    const auto pause = [] { Sleep(GetDoubleClickTime() * 2 + 100); };
    std::wstring steps;
    Select(309);  // the last line: the first "b" goes on from the top
    for (int i = 0; i < 4; ++i) steps += type(L"b") + L" ";
    EXPECT_EQ(steps, L"beta.mdf Betamax.mdf bravo.mdf b0.mdf ");
    pause();
    EXPECT_EQ(type(L"BETAM"), L"Betamax.mdf");
    EXPECT_EQ(type(L"x"), L"Betamax.mdf") << "a word that starts no line leaves the selection";
    pause();
    EXPECT_EQ(type(L"caf\u00C9 a"), L"caf\u00E9 au lait.mdf");
    PressKey(list, VK_RETURN);
    PressKey(list, VK_DELETE);
    EXPECT_EQ(Text(Main(), IDC_LBLCURRENTMOD) + L"|" + ListBox(list).SelectedText(),
              L"Current mod: caf\u00E9 au lait.mdf|b0.mdf");
}
