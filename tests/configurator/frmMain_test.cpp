#include "configurator/frmMain.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "configurator/resource.h"
#include "support/TestSupport.h"

namespace {

using Options = std::array<std::wstring, 7>;

constexpr int kOptionBoxes[] = {IDC_CBOPREFORMANCE, IDC_CBOBIT, IDC_CBORESOULTION, IDC_CBOSCREEN,
                                IDC_CBOINTRO, IDC_CBOSOUND, IDC_CBOMUSIC};
constexpr const wchar_t* kKeys[] = {L"performence", L"bit", L"resoultion", L"screen", L"intro", L"sound", L"music"};
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

    // What the user sees in the seven option boxes.
    Options Shown() const {
        Options shown;
        for (size_t i = 0; i < 7; ++i) shown[i] = Box(kOptionBoxes[i]).Text();
        return shown;
    }
    std::wstring PresetText() const { return Box(IDC_CBOPRESET).Text(); }
    bool ApplyEnabled() const { return IsWindowEnabled(Control(IDC_CMDAPPLY)); }

    // Picks an item as the user does: the box changes its selection and notifies its window.
    void Choose(int boxId, int index) {
        SendMessageW(Control(boxId), CB_SETCURSEL, index, 0);
        SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(boxId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(boxId)));
    }
    void ChoosePreset(const wchar_t* name) {
        Choose(IDC_CBOPRESET, static_cast<int>(SendMessageW(Control(IDC_CBOPRESET), CB_FINDSTRINGEXACT, -1,
                                                             reinterpret_cast<LPARAM>(name))));
    }
    void Press(int id) { Click(Control(id)); }

    std::wstring Stored(const wchar_t* key) const { return ReadIniKey(ConfigFile(), L"options", key); }
    std::wstring ConfigFile() const { return folder / L"vmtconfig.ini"; }

    ScratchFolder folder;
    RecordingPrompts prompts;
    std::unique_ptr<frmMain> form;
};

const Options kLoadDefaults = {L"Normal", L"16-bit", L"640x480", L"Fullscreen", L"Yes", L"On", L"On"};

}  // namespace

TEST_F(ConfigWindow, FirstStartWithoutTheFile) {
    Start();
    EXPECT_EQ(TextOf(form->hwnd()), kCaption);
    EXPECT_EQ(Shown(), kLoadDefaults);
    EXPECT_EQ(PresetText(), L"User Defined");
    EXPECT_EQ(Box(IDC_CBOPRESET).SelectedIndex(), -1);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(ReadBytes(ConfigFile()), kFirstStartFile);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConfigWindow, BoxesAreEditableUnsortedAndFilledInOrderAndTheWindowIsCentred) {
    Start();
    const std::vector<std::wstring> lists[] = {
        {L"Best Quality", L"Better Quality", L"Normal Quality", L"Fast", L"Fastest"},
        {L"Normal", L"Better", L"Best"},
        {L"16-bit", L"32-bit"},
        {L"640x480", L"800x600", L"1024x768", L"1152x864", L"1280x960"},
        {L"Fullscreen", L"Windowed"},
        {L"Yes", L"No"},
        {L"On", L"Off"},
        {L"On", L"Off"},
    };
    const int boxes[] = {IDC_CBOPRESET, IDC_CBOPREFORMANCE, IDC_CBOBIT, IDC_CBORESOULTION,
                         IDC_CBOSCREEN, IDC_CBOINTRO, IDC_CBOSOUND, IDC_CBOMUSIC};
    for (int i = 0; i < 8; ++i) {
        std::vector<std::wstring> items;
        for (int item = 0; item < Box(boxes[i]).Count(); ++item) items.push_back(Box(boxes[i]).ItemText(item));
        EXPECT_EQ(items, lists[i]);
        const LONG_PTR style = GetWindowLongPtrW(Control(boxes[i]), GWL_STYLE);
        EXPECT_EQ(style & 3, CBS_DROPDOWN) << "editable text field";
        EXPECT_FALSE(style & CBS_SORT);
    }
    for (int id : {IDC_CMDRESET, IDC_CMDAPPLY, IDC_CMDCLOSE})
        EXPECT_EQ(GetWindowLongPtrW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";

    RECT window;
    GetWindowRect(form->hwnd(), &window);
    EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
    EXPECT_NEAR((window.top + window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(ConfigWindow, EachPresetSetsItsSevenOptionsAndApplyStoresThem) {
    const struct {
        const wchar_t* name;
        Options shown;
        const char* stored;
    } presets[] = {
        {L"Best Quality", {L"Best", L"32-bit", L"1280x960", L"Fullscreen", L"Yes", L"On", L"On"}, "3251111"},
        {L"Better Quality", {L"Best", L"32-bit", L"1024x768", L"Fullscreen", L"Yes", L"On", L"On"}, "3231111"},
        {L"Normal Quality", {L"Better", L"32-bit", L"1024x768", L"Fullscreen", L"Yes", L"On", L"On"}, "2231111"},
        {L"Fast", {L"Normal", L"16-bit", L"800x600", L"Fullscreen", L"No", L"On", L"On"}, "1121211"},
        {L"Fastest", {L"Normal", L"16-bit", L"640x480", L"Fullscreen", L"No", L"Off", L"Off"}, "1111222"},
    };
    Start();
    for (const auto& preset : presets) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(preset.name)));
        ChoosePreset(preset.name);
        EXPECT_EQ(Shown(), preset.shown);
        EXPECT_EQ(PresetText(), preset.name);
        EXPECT_TRUE(ApplyEnabled());

        Press(IDC_CMDAPPLY);
        for (size_t i = 0; i < 7; ++i) EXPECT_EQ(Stored(kKeys[i]), std::wstring(1, preset.stored[i])) << kKeys[i];
        EXPECT_FALSE(ApplyEnabled());
        EXPECT_EQ(PresetText(), preset.name) << "applying leaves the preset box alone";
    }
    ASSERT_EQ(prompts.messages.size(), 5u);
    EXPECT_EQ(prompts.messages[0].text, L"Changed Applied");
    EXPECT_EQ(prompts.messages[0].title, kCaption);
    EXPECT_EQ(prompts.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST_F(ConfigWindow, PresetsAndChangesByHandWorkTogether) {
    Start();
    ChoosePreset(L"Fastest");
    ChoosePreset(L"Fast");
    EXPECT_EQ(Box(IDC_CBOSOUND).Text(), L"On");
    EXPECT_EQ(Box(IDC_CBOMUSIC).Text(), L"On");

    Choose(IDC_CBOSCREEN, 1);
    EXPECT_EQ(PresetText(), L"User Defined");
    EXPECT_EQ(Box(IDC_CBOPRESET).SelectedIndex(), -1);
    EXPECT_EQ(Shown(), (Options{L"Normal", L"16-bit", L"800x600", L"Windowed", L"No", L"On", L"On"}))
        << "a change by hand leaves the other six as the preset set them";

    ChoosePreset(L"Better Quality");
    EXPECT_EQ(Box(IDC_CBOSCREEN).Text(), L"Fullscreen");

    // Restoring a preset's values by hand still reads "User Defined".
    Choose(IDC_CBORESOULTION, 2);
    EXPECT_EQ(PresetText(), L"User Defined");
}

TEST_F(ConfigWindow, ResetToDefaultsAsksFirst) {
    Start();
    prompts.answers.push_back(IDNO);
    Press(IDC_CMDRESET);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"Are you sure you want to reset to defaults?");
    EXPECT_EQ(prompts.messages[0].title, kCaption);
    EXPECT_EQ(prompts.messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON1));
    EXPECT_EQ(Shown(), kLoadDefaults);
    EXPECT_EQ(PresetText(), L"User Defined");
    EXPECT_FALSE(ApplyEnabled());

    prompts.answers.push_back(IDYES);
    Press(IDC_CMDRESET);
    EXPECT_EQ(Shown(), (Options{L"Better", L"32-bit", L"1024x768", L"Fullscreen", L"Yes", L"On", L"On"}));
    EXPECT_EQ(PresetText(), L"Normal Quality");
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(ReadBytes(ConfigFile()), kFirstStartFile) << "nothing is written until Apply";
}

TEST_F(ConfigWindow, ApplyWritesAllSevenKeysAndKeepsTheRestOfTheFile) {
    WriteBytes(ConfigFile(), "[video]\r\ngamma=1.2\r\n[OPTIONS]\r\nBIT=2\r\nperformence=3\r\nresoultion=4\r\nscreen=2\r\n"
                             "intro=2\r\nsound=2\r\nmusic=2\r\nvolume=80\r\n");
    Start();
    EXPECT_EQ(Shown(), (Options{L"Best", L"32-bit", L"1152x864", L"Windowed", L"No", L"Off", L"Off"}));
    EXPECT_FALSE(ApplyEnabled());

    Choose(IDC_CBOMUSIC, 0);
    Press(IDC_CMDAPPLY);
    const Options expected = {L"3", L"2", L"4", L"2", L"2", L"2", L"1"};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(Stored(kKeys[i]), expected[i]) << kKeys[i];
    EXPECT_EQ(ReadIniKey(ConfigFile(), L"video", L"gamma"), L"1.2");
    EXPECT_EQ(ReadIniKey(ConfigFile(), L"options", L"volume"), L"80");
    const std::string text = *ReadBytes(ConfigFile());
    EXPECT_EQ(text.find("[options]"), std::string::npos) << "updated in place, no second section:\n" << text;
    EXPECT_EQ(text.find("bit="), std::string::npos) << text;
}

TEST_F(ConfigWindow, StoredValuesThatSelectNothingLoadEmptyAndApplyAsZero) {
    WriteBytes(ConfigFile(), "[options]\r\nperformence=0\r\nbit=9\r\nresoultion=-1\r\nscreen=abc\r\nintro=\r\n"
                             "sound=2.4\r\nmusic=1\r\n");
    Start();
    EXPECT_EQ(Shown(), (Options{L"", L"", L"", L"", L"Yes", L"Off", L"On"}));
    for (int id : {IDC_CBOPREFORMANCE, IDC_CBOBIT, IDC_CBORESOULTION, IDC_CBOSCREEN})
        EXPECT_EQ(Box(id).SelectedIndex(), -1);
    EXPECT_EQ(Stored(L"bit"), L"9") << "loading rewrites nothing but empty keys";
    EXPECT_EQ(Stored(L"intro"), L"1") << "an empty value counts as missing";
    EXPECT_FALSE(ApplyEnabled());

    Choose(IDC_CBOBIT, 1);
    Press(IDC_CMDAPPLY);
    const Options expected = {L"0", L"2", L"0", L"0", L"1", L"2", L"1"};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(Stored(kKeys[i]), expected[i]) << kKeys[i];
}

TEST_F(ConfigWindow, AFailedApplyIsReportedAndLeavesApplyEnabled) {
    Start();
    ChoosePreset(L"Best Quality");
    {
        UniqueFileHandle held = HoldExclusively(ConfigFile());
        ASSERT_TRUE(held);
        Press(IDC_CMDAPPLY);
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text, L"Changed Applied");
    EXPECT_NE(prompts.messages[0].text.find(ConfigFile()), std::wstring::npos);
    EXPECT_EQ(prompts.messages[0].title, kCaption);
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(ReadBytes(ConfigFile()), kFirstStartFile);

    ASSERT_TRUE(DeleteFileW(ConfigFile().c_str()));
    ASSERT_TRUE(CreateDirectoryW(ConfigFile().c_str(), nullptr));
    Press(IDC_CMDAPPLY);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_NE(prompts.messages[1].text, L"Changed Applied");
    EXPECT_TRUE(ApplyEnabled());
}

TEST_F(ConfigWindow, KeyboardChoiceCountsAsAChange) {
    Start();
    HWND edit = FindWindowExW(Control(IDC_CBOBIT), nullptr, L"Edit", nullptr);
    ASSERT_TRUE(edit);
    SetForegroundWindow(form->hwnd());
    SetFocus(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    EXPECT_EQ(Box(IDC_CBOBIT).Text(), L"32-bit");
    EXPECT_EQ(PresetText(), L"User Defined");
    EXPECT_TRUE(ApplyEnabled());

    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
    PumpMessages();
    EXPECT_EQ(GetParent(GetFocus()), Control(IDC_CBORESOULTION)) << "Tab moves to the next box";
}

TEST_F(ConfigWindow, CloseLosesUnappliedChangesWithoutAsking) {
    Start();
    ChoosePreset(L"Fastest");
    Press(IDC_CMDCLOSE);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(PumpMessages()) << "the program ends";
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(ReadBytes(ConfigFile()), kFirstStartFile);

    Start();
    ChoosePreset(L"Fastest");
    SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(ReadBytes(ConfigFile()), kFirstStartFile);
}

TEST(VartuneProgram, StartsInItsFolderWritesTheDefaultsAndCloses) {
    ScratchFolder folder;
    EXPECT_EQ(StartAndCloseProgram(L"Vartune.exe", folder.path(), kCaption), 0u);
    EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"), kFirstStartFile);

    const VersionRecord version = ReadVersionRecord(folder / L"Vartune.exe");
    EXPECT_EQ(version.fileVersion, L"0.12.0.0");
    EXPECT_EQ(version.fileVersionText, L"0.12");
    EXPECT_EQ(version.originalFilename, L"Vartune.exe");
    EXPECT_EQ(version.productName, L"Vartune");
}
