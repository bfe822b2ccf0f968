#include "Launcher.h"

#include <array>

namespace {

constexpr COLORREF kSkins[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

// The brush colour and text colour `window` answers a control's colour request with.
std::pair<COLORREF, COLORREF> Answer(HWND window, UINT message, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGBRUSH brush = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control))), sizeof brush, &brush);
    const std::pair<COLORREF, COLORREF> answer(brush.lbColor, GetTextColor(dc));
    DeleteDC(dc);
    return answer;
}

// The window and its controls answer with `skin` and black text, push buttons with the standard face;
// `onScreen`: the shown window is painted so.
void ExpectSkin(HWND window, COLORREF skin, bool onScreen = false) {
    EXPECT_EQ(Answer(window, WM_CTLCOLORDLG, window).first, skin);
    EXPECT_TRUE(!onScreen || DominantColour(window) == skin) << "on screen";
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const bool push = IsWindowClass(control, L"Button") && !IsGroupBox(control);
        const bool edit = IsWindowClass(control, L"Edit") || IsWindowClass(control, L"ComboBox");
        const UINT message = push ? WM_CTLCOLORBTN
                             : IsWindowClass(control, L"ListBox") ? WM_CTLCOLORLISTBOX
                             : edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        const auto standard = std::pair(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT));
        EXPECT_EQ(Answer(window, message, control), push ? standard : std::pair(skin, COLORREF(0)))
            << "control " << GetDlgCtrlID(control);
    }
}

// SystemParametersInfoW while the system's high-contrast mode is on.
BOOL WINAPI InHighContrast(UINT, UINT, PVOID value, UINT) {
    static_cast<HIGHCONTRASTW*>(value)->dwFlags = HCF_HIGHCONTRASTON;
    return TRUE;
}

std::string Settings(const char* path, int skin) { return std::string("[Main]\r\nVarmothPath=") + path + "\r\nSkin=" + std::to_string(skin) + "\r\n"; }

class OptionsDialog : public Launcher {
protected:
    static ComboBox SkinBox() { return ComboBox(GetDlgItem(Options(), IDC_CBOSKIN)); }
    static void ChooseSkin(int index) { Choose(GetDlgItem(Options(), IDC_CBOSKIN), index); }
    // The dialog (path, skin text and position, Apply), the settings in use and stored, the main window's colour.
    std::wstring OptionsState() const {
        std::wstring state = L"unloaded";
        if (Options())
            state = Text(Options(), IDC_TXTEXEPATH) + L" | " + SkinBox().Text() + L" #" + std::to_wstring(SkinBox().SelectedIndex()) +
                    (IsWindowEnabled(GetDlgItem(Options(), IDC_CMDAPPLY)) ? L" | Apply" : L" | no Apply") + (IsWindowVisible(Options()) ? L" shown" : L" hidden");
        const std::wstring settings = folder / L"Varpick.ini";
        const COLORREF* skin = std::find(kSkins, kSkins + 4, Answer(Main(), WM_CTLCOLORDLG, Main()).first);
        return state + L" | in use " + modMain::sVarmothPath + L" " + std::to_wstring(modMain::iSkin) + L" | stored " +
               GetFromINI(L"Main", L"VarmothPath", L"", settings) + L" " + GetFromINI(L"Main", L"Skin", L"", settings) +
               L" | main " + (std::array{L"white", L"red", L"green", L"blue", L"unpainted"})[skin - kSkins];
    }
};
using Skins = OptionsDialog;

}  // namespace

TEST_F(Skins, EachSkinPaintsAllThreeWindowsShownOrHiddenAndOtherIndexesChangeAndLoadNothing) {
    for (int skin = 0; skin < 4; ++skin) {
        SCOPED_TRACE(testing::Message() << "skin " << skin);
        Start(Settings("C:\\Mothvar.exe", skin));
        ASSERT_TRUE(Options() && About() && !IsWindowVisible(Options()) && !IsWindowVisible(About())) << "loaded hidden at start-up";
        for (HWND window : {Main(), Options(), About()}) ExpectSkin(window, kSkins[skin]);
        for (int button : {IDC_CMDOPTIONS, IDC_CMDABOUT}) Press(Main(), button);
        SetWindowPos(About(), nullptr, 0, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // no window over another
        for (HWND window : {Main(), Options(), About()}) ExpectSkin(window, kSkins[skin], skin == 2);  // on screen once
        SendMessageW(GetDlgItem(Options(), IDC_CBOSKIN), CB_SHOWDROPDOWN, TRUE, 0);
        EXPECT_TRUE(skin != 2 || DominantColour(FindWindowW(L"ComboLBox", nullptr)) == kSkins[2]) << "drop-down list";
        if (skin < 3) Quit();
    }
    Press(Options(), IDC_OPTIONS_CMDCANCEL);
    Press(About(), IDC_ABOUT_CMDOK);
    for (std::int16_t other : {-1, 4, 32767, -32768}) modMain::ApplySkin(other);
    EXPECT_FALSE(Options() || About());
    ExpectSkin(Main(), kSkins[3]);
    // High contrast turned on, then off, while Varpick runs: shown at once (what the system sends
    // every window), its colours in place of the skin's, the list's white foremost.
    {
        const ImportPatch highContrast(&SystemParametersInfoW, &InHighContrast);
        SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(DominantColour(Main()), GetSysColor(COLOR_WINDOW));
    }
    SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(DominantColour(Main()), kSkins[3]);
    SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(GetUpdateRect(Main(), nullptr, FALSE)) << "a setting that changes no colour repaints nothing";
}

TEST_F(OptionsDialog, OpensWithTheSettingsAndApplyOkCancelAndBrowseTakeSaveOrDropTheChoices) {
    const std::wstring picked = L"D:\\Games\\Game.exe";
    Start(Settings("C:\\M.exe", 0));
    Press(Main(), IDC_CMDOPTIONS);
    EXPECT_EQ(OptionsState(), L"C:\\M.exe | White Black #0 | Apply shown | in use C:\\M.exe 0 | stored C:\\M.exe 0 | main white");
    EXPECT_TRUE(IsCentred(Options()) && GetFocus() == GetDlgItem(Options(), IDC_TXTEXEPATH));
    HWND skinField = FindWindowExW(GetDlgItem(Options(), IDC_CBOSKIN), nullptr, L"Edit", nullptr);
    EXPECT_EQ(AccessibleName(GetDlgItem(Options(), IDC_TXTEXEPATH)) + L"|" +
                  AccessibleName(GetDlgItem(Options(), IDC_CBOSKIN)) + L"|" + AccessibleName(skinField),
              L"Varmoth.exe Path:|Current Skin:|Current Skin:")
        << "the box and its text field, which has the keys";
    ChooseSkin(3);
    PressKey(GetFocus(), VK_ESCAPE);  // cancels
    EXPECT_EQ(OptionsState(), L"unloaded | in use C:\\M.exe 0 | stored C:\\M.exe 0 | main white");

    Press(Main(), IDC_CMDOPTIONS);
    ChooseSkin(3);
    Press(Options(), IDC_CMDAPPLY);  // repaints all three, the hidden about box too
    EXPECT_EQ(OptionsState(), L"C:\\M.exe | Blue Black #3 | no Apply shown | in use C:\\M.exe 3 | stored C:\\M.exe 3 | main blue");
    for (HWND window : {Main(), Options(), About()}) ExpectSkin(window, kSkins[3]);
    ChooseSkin(1);
    EXPECT_EQ(OptionsState(), L"C:\\M.exe | Red Black #1 | Apply shown | in use C:\\M.exe 3 | stored C:\\M.exe 3 | main blue");
    SendMessageW(Options(), WM_CLOSE, 0, 0);  // the close box cancels
    EXPECT_EQ(OptionsState(), L"unloaded | in use C:\\M.exe 3 | stored C:\\M.exe 3 | main blue");

    Press(Main(), IDC_CMDOPTIONS);
    prompts.files = {{}, {picked}};
    Press(Options(), IDC_CMDBROWSE);  // cancelled: no change
    Press(Options(), IDC_CMDBROWSE);
    ChooseSkin(2);
    Press(Options(), IDC_OPTIONS_CMDOK);  // loaded again, hidden, in the new skin
    EXPECT_EQ(prompts.fileDialogs, std::vector<std::wstring>(2, L"Open|Executable (*.exe*)|*.exe*||"));
    EXPECT_EQ(OptionsState(), picked + L" | Green Black #2 | Apply hidden | in use " + picked + L" 2 | stored " + picked + L" 2 | main green");

    Quit();
    Start(Settings("C:\\M.exe", 7));
    Press(Main(), IDC_CMDOPTIONS);
    EXPECT_EQ(OptionsState(), L"C:\\M.exe |  #-1 | Apply shown | in use C:\\M.exe 7 | stored C:\\M.exe 7 | main green") << "no item for skin 7";
    EXPECT_TRUE(prompts.messages.empty());

    // What a load reads from Varpick.ini, or completes it with: the path and skin read, what the file holds.
    const std::wstring settings = folder / L"Varpick.ini", defaultPath = ShortPath(folder.path()) + L"\\Mothvar.exe";
    const std::tuple<const char*, std::wstring, int, const char*> cases[] = {
        {"[Main]\r\nSkin=\r\nVarmothPath=D:\\M.exe\r\n", L"D:\\M.exe", 1, "Skin=1"},  // missing or empty: 1, written
        {"[Main]\r\nSkin= -1 \r\n", defaultPath, -1, "VarmothPath=C:"},  // a missing path: the default, written back
        {"[Main]\r\nSkin=1.5\r\n", defaultPath, 1, "Skin=1.5"},          // no 16-bit whole number: 1, the text stays
    };
    for (const auto& [text, path, skin, fileHas] : cases) {
        WriteBytes(settings, text);
        modMain::LoadLauncherSettings();
        EXPECT_EQ(modMain::sVarmothPath + L" " + std::to_wstring(modMain::iSkin), path + L" " + std::to_wstring(skin));
        EXPECT_NE(ReadBytes(settings)->find(fileHas), std::string::npos) << *ReadBytes(settings);
    }
    // Held past a passing hold: the defaults stand in, unwritten, and a save writes only what changed.
    WriteBytes(settings, "[Main]\r\nVarmothPath=D:\\M.exe\r\nSkin=2\r\n");
    WhileUnwritable(settings, Fault::Held, [] { EXPECT_FALSE(modMain::LoadLauncherSettings()); });
    modMain::iSkin = 3;
    EXPECT_FALSE(modMain::SaveLauncherSettings());
    EXPECT_EQ(ReadBytes(settings), "[Main]\r\nVarmothPath=D:\\M.exe\r\nSkin=3\r\n");
}

TEST_F(OptionsDialog, ASaveThatFailsIsReportedAndTheChoicesStillTakeEffect) {
    // Paths outside the code page: a game not installed yet goes in by its folder's short form; a
    // name that has none, not at all, while the skin still does.
    const std::wstring settings = folder / L"Varpick.ini", path = folder / L"M.exe", unstorable = folder / L"\u6F22.exe";
    const std::wstring shortFolder = ShortPath(folder.path());
    Start(Settings("C:\\M.exe", 1));
    Press(Main(), IDC_CMDOPTIONS);
    ChooseSkin(2);
    SetWindowTextW(GetDlgItem(Options(), IDC_TXTEXEPATH), path.c_str());
    Press(Options(), IDC_CMDAPPLY);
    EXPECT_EQ(OptionsState(), path + L" | Green Black #2 | no Apply shown | in use " + path + L" 2 | stored " + shortFolder + L"\\M.exe 2 | main green");
    ChooseSkin(3);
    SetWindowTextW(GetDlgItem(Options(), IDC_TXTEXEPATH), unstorable.c_str());
    Press(Options(), IDC_OPTIONS_CMDOK);
    EXPECT_EQ(OptionsState(), unstorable + L" | Blue Black #3 | Apply hidden | in use " + unstorable + L" 3 | stored " + shortFolder + L"\\M.exe 3 | main blue");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].starts_with(L"Options|64|The options are in use until Varpick closes, but the "
                                                L"game's path could not be saved") && Has(prompts.messages[0], settings));
}
