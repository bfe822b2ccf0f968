#include "configurator/frmMain.h"

#include <gtest/gtest.h>

#include <memory>

#include "configurator/ConfigValues.h"
#include "configurator/resource.h"
#include "support/TestSupport.h"

namespace {

constexpr int kBoxes[] = {IDC_CBOPRESET, IDC_CBOPREFORMANCE, IDC_CBOBIT, IDC_CBORESOULTION,
                          IDC_CBOSCREEN, IDC_CBOINTRO, IDC_CBOSOUND, IDC_CBOMUSIC};
constexpr wchar_t kCaption[] = L"Varmoth Configuration Utility";
const std::string kFirstStartFile =
    "[options]\r\nperformence=1\r\nbit=1\r\nresoultion=1\r\nscreen=1\r\nintro=1\r\nsound=1\r\nmusic=1\r\n";

class ConfigWindow : public testing::Test {
protected:
    void TearDown() override {
        form.reset();
        PumpMessages();
    }
    void Start() {
        form = std::make_unique<frmMain>(folder.path());
        ASSERT_TRUE(form->Load(SW_SHOW));
    }
    HWND Control(int id) const { return GetDlgItem(form->hwnd(), id); }
    ComboBox Box(int id) const { return ComboBox(Control(id)); }
    void Press(int id) { Click(Control(id)); }
    void Choose(int boxId, int index) {  // as the user picks it: the box changes and notifies its window
        Box(boxId).SetSelectedIndex(index);
        SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(boxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(boxId)));
    }
    void ChoosePreset(const wchar_t* name) {
        Choose(IDC_CBOPRESET, static_cast<int>(SendMessageW(Control(IDC_CBOPRESET), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name))));
    }

    // The preset box (with its selected item), the seven option boxes, whether Apply is on, and
    // the seven stored values.
    std::wstring State() const {
        std::wstring state = Box(IDC_CBOPRESET).Text() + L" #" + std::to_wstring(Box(IDC_CBOPRESET).SelectedIndex()) + L":";
        for (int id : kBoxes) state += id == IDC_CBOPRESET ? L"" : L" " + Box(id).Text();
        state += IsWindowEnabled(Control(IDC_CMDAPPLY)) ? L" | Apply |" : L" | no Apply |";
        for (const wchar_t* key : {L"performence", L"bit", L"resoultion", L"screen", L"intro", L"sound", L"music"})
            state += L" " + ReadIniKey(folder / L"vmtconfig.ini", L"options", key);
        return state;
    }

    ScratchFolder folder;
    RecordingPrompts prompts;
    std::unique_ptr<frmMain> form;
};

}  // namespace

TEST_F(ConfigWindow, FirstStartWritesTheDefaultsAndShowsTheBoxesCentred) {
    Start();
    EXPECT_EQ(WindowText(form->hwnd()), kCaption);
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 640x480 Fullscreen Yes On On | no Apply | 1 1 1 1 1 1 1");
    EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"), kFirstStartFile);
    std::wstring lists;
    for (int id : kBoxes) {
        for (int item = 0; item < Box(id).Count(); ++item) lists += Box(id).ItemText(item) + L",";
        lists += L"\n";
        EXPECT_EQ(GetWindowLongPtrW(Control(id), GWL_STYLE) & (3 | CBS_SORT), CBS_DROPDOWN) << "editable, unsorted";
    }
    EXPECT_EQ(lists, L"Best Quality,Better Quality,Normal Quality,Fast,Fastest,\nNormal,Better,Best,\n16-bit,32-bit,\n"
                     L"640x480,800x600,1024x768,1152x864,1280x960,\nFullscreen,Windowed,\nYes,No,\nOn,Off,\nOn,Off,\n");
    for (int id : {IDC_CMDRESET, IDC_CMDAPPLY, IDC_CMDCLOSE})
        EXPECT_EQ(GetWindowLongPtrW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";
    RECT window;
    GetWindowRect(form->hwnd(), &window);
    EXPECT_NEAR(window.left + window.right, GetSystemMetrics(SM_CXSCREEN), 2) << "centred";
    EXPECT_NEAR(window.top + window.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConfigWindow, EachPresetSetsItsSevenOptionsAndApplyStoresThem) {
    Start();
    const wchar_t* presets[] = {
             L"Best Quality #0: Best 32-bit 1280x960 Fullscreen Yes On On | no Apply | 3 2 5 1 1 1 1",
             L"Better Quality #1: Best 32-bit 1024x768 Fullscreen Yes On On | no Apply | 3 2 3 1 1 1 1",
             L"Normal Quality #2: Better 32-bit 1024x768 Fullscreen Yes On On | no Apply | 2 2 3 1 1 1 1",
             L"Fast #3: Normal 16-bit 800x600 Fullscreen No On On | no Apply | 1 1 2 1 2 1 1",
             L"Fastest #4: Normal 16-bit 640x480 Fullscreen No Off Off | no Apply | 1 1 1 1 2 2 2"};
    for (int preset = 0; preset < 5; ++preset) {
        Choose(IDC_CBOPRESET, preset);
        EXPECT_TRUE(IsWindowEnabled(Control(IDC_CMDAPPLY)));
        Press(IDC_CMDAPPLY);
        EXPECT_EQ(State(), presets[preset]) << "the preset's name stays after applying";
    }
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>(5, kCaption + std::wstring(L"|64|Changed Applied")));
}

TEST_F(ConfigWindow, ChangesByHandPresetsResetAndTheKeyboardWorkTogether) {
    Start();
    prompts.answers = {IDNO, IDYES};
    Press(IDC_CMDRESET);
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>{kCaption + std::wstring(L"|68|Are you sure you want to reset to defaults?")});
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 640x480 Fullscreen Yes On On | no Apply | 1 1 1 1 1 1 1");
    Press(IDC_CMDRESET);  // nothing is written until Apply
    EXPECT_EQ(State(), L"Normal Quality #2: Better 32-bit 1024x768 Fullscreen Yes On On | Apply | 1 1 1 1 1 1 1");

    ChoosePreset(L"Fastest");
    ChoosePreset(L"Fast");
    Choose(IDC_CBOSCREEN, 1);
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 800x600 Windowed No On On | Apply | 1 1 1 1 1 1 1");
    ChoosePreset(L"Better Quality");
    Choose(IDC_CBORESOULTION, 2);  // restoring a preset's values by hand still reads "User Defined"
    EXPECT_EQ(State(), L"User Defined #-1: Best 32-bit 1024x768 Fullscreen Yes On On | Apply | 1 1 1 1 1 1 1");

    Press(IDC_CMDAPPLY);
    HWND edit = GetWindow(Control(IDC_CBOBIT), GW_CHILD);
    SetForegroundWindow(form->hwnd());
    SetFocus(edit);
    PressKey(edit, VK_UP);
    PressKey(edit, VK_TAB);
    EXPECT_EQ(State(), L"User Defined #-1: Best 16-bit 1024x768 Fullscreen Yes On On | Apply | 3 2 3 1 1 1 1");
    EXPECT_EQ(GetParent(GetFocus()), Control(IDC_CBORESOULTION)) << "Tab moves to the next box";
}

TEST_F(ConfigWindow, LoadAndApplyKeepTheRestOfTheFileAndStoreZeroForNoSelection) {
    WriteBytes(folder / L"vmtconfig.ini", "[video]\r\ngamma=1.2\r\n[OPTIONS]\r\nBIT=9\r\nperformence=0\r\nresoultion=4\r\n"
                                          "screen=abc\r\nintro=\r\nsound=2.4\r\nmusic=2\r\nvolume=80\r\n");
    Start();
    EXPECT_EQ(State(), L"User Defined #-1:   1152x864  Yes Off Off | no Apply | 0 9 4 abc 1 2.4 2") << "only empty keys are written";
    Choose(IDC_CBOMUSIC, 0);
    Press(IDC_CMDAPPLY);
    EXPECT_EQ(State(), L"User Defined #-1:   1152x864  Yes Off On | no Apply | 0 0 4 0 1 2 1");
    EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"), "[video]\r\ngamma=1.2\r\n[OPTIONS]\r\nBIT=0\r\nperformence=0\r\nresoultion=4\r\n"
                                                    "screen=0\r\nintro=1\r\nsound=2\r\nmusic=1\r\nvolume=80\r\n");
}

TEST_F(ConfigWindow, AFailedApplyIsReportedAndLeavesApplyEnabled) {
    const std::wstring file = folder / L"vmtconfig.ini";
    Start();
    ChoosePreset(L"Best Quality");
    {
        UniqueFileHandle held = HoldExclusively(file);
        Press(IDC_CMDAPPLY);
    }
    ASSERT_TRUE(DeleteFileW(file.c_str()) && CreateDirectoryW(file.c_str(), nullptr));
    Press(IDC_CMDAPPLY);
    ASSERT_EQ(prompts.messages.size(), 2u);
    for (const std::wstring& shown : prompts.messages)
        EXPECT_TRUE(shown.starts_with(kCaption + std::wstring(L"|16|")) && shown.find(file) != std::wstring::npos) << shown;
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_CMDAPPLY)));
}

TEST_F(ConfigWindow, CloseAndTheCloseBoxLoseUnappliedChangesWithoutAsking) {
    for (bool closeBox : {false, true}) {
        Start();
        ChoosePreset(L"Fastest");
        PressKey(Control(IDC_CMDRESET), VK_ESCAPE);
        EXPECT_TRUE(IsWindowVisible(form->hwnd())) << "Esc presses nothing";
        closeBox ? void(SendMessageW(form->hwnd(), WM_CLOSE, 0, 0)) : Press(IDC_CMDCLOSE);
        EXPECT_FALSE(form->hwnd());
        EXPECT_TRUE(PumpMessages()) << "the program ends";
        EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"), kFirstStartFile);
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(VartuneProgram, StartsInItsFolderWritesTheDefaultsAndCloses) {
    ScratchFolder folder;
    EXPECT_EQ(StartAndCloseProgram(L"Vartune.exe", folder.path(), kCaption), 0u);
    EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"), kFirstStartFile);
    EXPECT_EQ(VersionRecord(folder / L"Vartune.exe"), L"0.12.0.0|0.12|Vartune.exe|Vartune");
}

TEST(SelectionFromStored, StoredNumberMinusOneRoundedHalfToEven) {
    const std::pair<const wchar_t*, int> cases[] = {  // in a list of 3 items
        {L"1", 0},  {L"3", 2},   {L"0", -1},   {L" 3 ", 2}, {L"2.4", 1}, {L"2.5", 2}, {L"1.5", 0},  {L"0.5", 0}, {L"1.6", 1},
        {L"+2", 1}, {L"02", 1},  {L"-0.5", -1}, {L"4", -1}, {L"3.5", 2}, {L"3.6", -1}, {L"abc", -1}, {L"", -1},  {L"1x", -1},
        {L".", -1}, {L"1e0", -1}, {L"1,5", -1}, {L"99999999999999999999", -1},
    };
    for (const auto& [stored, selection] : cases) EXPECT_EQ(SelectionFromStored(stored, 3), selection) << testing::PrintToString(std::wstring(stored));
}
