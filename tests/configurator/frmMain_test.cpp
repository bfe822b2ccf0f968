#include "configurator/frmMain.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>

#include "configurator/resource.h"
#include "profile/FileIO.h"
#include "support/TestSupport.h"

namespace {

constexpr wchar_t kCaption[] = L"Varmoth Configuration Utility";
constexpr int kBoxes[] = {IDC_CBOPRESET, IDC_CBOPREFORMANCE, IDC_CBOBIT, IDC_CBORESOULTION, IDC_CBOSCREEN,
                          IDC_CBOINTRO, IDC_CBOSOUND, IDC_CBOMUSIC};

class ConfigWindow : public testing::Test {
protected:
    void TearDown() override { form.reset(); PumpMessages(); }  // the pump drops the WM_QUIT of a closed window
    void Start() {
        form = std::make_unique<frmMain>(folder.path());
        ASSERT_TRUE(form->Load(SW_SHOW));
    }
    HWND Control(int id) const { return GetDlgItem(form->hwnd(), id); }
    void Press(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void ChoosePreset(const wchar_t* name) {
        Choose(Control(IDC_CBOPRESET), static_cast<int>(SendMessageW(Control(IDC_CBOPRESET), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name))));
    }
    // The preset box (its selected item), the seven option boxes, Apply, the seven stored values.
    std::wstring State() const {
        std::wstring state = WindowText(Control(IDC_CBOPRESET)) + L" #" + std::to_wstring(ComboBox(Control(IDC_CBOPRESET)).SelectedIndex()) + L":";
        for (int id : std::span(kBoxes).subspan(1)) state += L" " + WindowText(Control(id));
        return state + (IsWindowEnabled(Control(IDC_CMDAPPLY)) ? L" | Apply | " : L" | no Apply | ") + Stored();
    }
    std::wstring Stored() const {
        std::wstring stored;
        for (const wchar_t* key : {L"performence", L"bit", L"resoultion", L"screen", L"intro", L"sound", L"music"})
            stored += (stored.empty() ? L"" : L" ") + GetFromINI(L"options", key, L"", folder / L"vmtconfig.ini");
        return stored;
    }

    ScratchFolder folder;
    RecordingPrompts prompts;
    std::unique_ptr<frmMain> form;
};

}  // namespace

TEST_F(ConfigWindow, FirstStartWritesTheDefaultsPresetsChangesByHandAndResetWorkTogetherAndClosingLosesChanges) {
    Start();
    EXPECT_TRUE(WindowText(form->hwnd()) == kCaption && IsCentred(form->hwnd()));
    const long height = -std::lround(8.0 * ScreenDpi() / 72);
    EXPECT_EQ(LayoutFaults(form->hwnd()) + std::to_string(Font(form->hwnd()).lfHeight), std::to_string(height))
        << "at the run's DPI, every caption and option fits and nothing overlaps; the dialog font follows the DPI";
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 640x480 Fullscreen Yes On On | no Apply | 1 1 1 1 1 1 1");
    std::wstring names;  // what a screen reader says of each box: the label beside it
    for (int id : kBoxes) names += AccessibleName(Control(id)) + L"|";
    EXPECT_EQ(names, L"Preset:|Performence|Bit Depth|Resoultion|Screen Mode|Show Intro|Sound Effects|Play Music|");
    EXPECT_EQ(ReadBytes(folder / L"vmtconfig.ini"),
              "[options]\r\nperformence=1\r\nbit=1\r\nresoultion=1\r\nscreen=1\r\n"
              "intro=1\r\nsound=1\r\nmusic=1\r\n");
    const wchar_t* presets[] = {
        L"Best Quality #0: Best 32-bit 1280x960 Fullscreen Yes On On | no Apply | 3 2 5 1 1 1 1",
        L"Better Quality #1: Best 32-bit 1024x768 Fullscreen Yes On On | no Apply | 3 2 3 1 1 1 1",
        L"Normal Quality #2: Better 32-bit 1024x768 Fullscreen Yes On On | no Apply | 2 2 3 1 1 1 1",
        L"Fast #3: Normal 16-bit 800x600 Fullscreen No On On | no Apply | 1 1 2 1 2 1 1",
        L"Fastest #4: Normal 16-bit 640x480 Fullscreen No Off Off | no Apply | 1 1 1 1 2 2 2"};
    for (int preset = 0; preset < 5; ++preset) {
        Choose(Control(IDC_CBOPRESET), preset);
        Press(IDC_CMDAPPLY);
        EXPECT_EQ(State(), presets[preset]) << "the preset's name stays after applying";
    }
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>(5, kCaption + std::wstring(L"|64|Changed Applied")));
    ChoosePreset(L"Best Quality");
    PressKey(Control(IDC_CMDRESET), VK_ESCAPE);  // presses nothing
    SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(!form->hwnd() && PumpMessages() && Stored() == L"1 1 1 1 2 2 2") << "the window and the program end; without a question, nothing saved";

    Start();  // by hand, with presets and Reset, and by keyboard
    prompts.answers = {IDNO, IDYES};
    Press(IDC_CMDRESET);
    EXPECT_EQ(prompts.messages.back(), kCaption + std::wstring(L"|68|Are you sure you want to reset to defaults?"));
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 640x480 Fullscreen No Off Off | no Apply | 1 1 1 1 2 2 2");
    Press(IDC_CMDRESET);  // nothing is written until Apply
    EXPECT_EQ(State(), L"Normal Quality #2: Better 32-bit 1024x768 Fullscreen Yes On On | Apply | 1 1 1 1 2 2 2");
    ChoosePreset(L"Fastest");
    ChoosePreset(L"Fast");
    Choose(Control(IDC_CBOSCREEN), 1);
    EXPECT_EQ(State(), L"User Defined #-1: Normal 16-bit 800x600 Windowed No On On | Apply | 1 1 1 1 2 2 2");
    ChoosePreset(L"Better Quality");
    Choose(Control(IDC_CBORESOULTION), 2);  // restoring a preset's values by hand still reads "User Defined"
    EXPECT_EQ(State(), L"User Defined #-1: Best 32-bit 1024x768 Fullscreen Yes On On | Apply | 1 1 1 1 2 2 2");
    Press(IDC_CMDAPPLY);
    EXPECT_EQ(State(), L"User Defined #-1: Best 32-bit 1024x768 Fullscreen Yes On On | no Apply | 3 2 3 1 1 1 1");
    Press(IDC_CMDCLOSE);
    EXPECT_TRUE(!form->hwnd() && PumpMessages() && prompts.messages.size() == 8) << "ends without a question";
}

TEST_F(ConfigWindow, LoadAndApplyKeepTheRestOfTheFileAndReportAFailedWrite) {
    // The stored number minus one, rounded half to even; what names no item selects nothing.
    const std::wstring file = folder / L"vmtconfig.ini";
    WriteBytes(file, "[video]\r\ngamma=1.2\r\n[OPTIONS]\r\nBIT=1.5\r\nperformence=0\r\nresoultion= 4 \r\nscreen=abc\r\n"
                     "intro=\r\nsound=2.4\r\nmusic=9\r\nvolume=80\r\n");
    Start();
    EXPECT_EQ(State(), L"User Defined #-1:  16-bit 1152x864  Yes Off  | no Apply | 0 1.5 4 abc 1 2.4 9") << "only empty keys are written";
    Choose(Control(IDC_CBOSOUND), 0);
    const std::string loaded = *ReadBytes(file);
    CreateHardLinkW((file + L".old").c_str(), file.c_str(), nullptr);
    FlushedFiles().clear();
    Press(IDC_CMDAPPLY);
    EXPECT_TRUE(ReadBytes(file + L".old") == loaded && FlushedFiles() == std::vector{TemporaryFileFor(file)})
        << "replaced in one step by a copy flushed to disk first, never rewritten in place";
    const std::string applied = "[video]\r\ngamma=1.2\r\n[OPTIONS]\r\nBIT=1\r\nperformence=0\r\nresoultion=4\r\n"
                                "screen=0\r\nintro=1\r\nsound=1\r\nmusic=0\r\nvolume=80\r\n";
    EXPECT_EQ(ReadBytes(file), applied);

    for (Fault fault : {Fault::Held, Fault::FolderInPlace}) {  // told, naming the file; the changes stay to apply
        Choose(Control(IDC_CBOSOUND), fault == Fault::Held);
        WhileUnwritable(file, fault, [&] { Press(IDC_CMDAPPLY); });
        EXPECT_TRUE(prompts.messages.back().starts_with(kCaption + std::wstring(L"|16|")) && prompts.messages.back().find(file) != std::wstring::npos);
        EXPECT_TRUE(IsWindowEnabled(Control(IDC_CMDAPPLY)) && ReadBytes(file) == applied) << "not \"Changed Applied\": nothing saved";
        // A load that cannot read the file says so and writes nothing; the defaults it shows are applied
        // only where the player changes them.
        WhileUnwritable(file, fault, [&] { form.reset(); Start(); PumpMessages(); });
        EXPECT_TRUE(Has(prompts.messages.back(), L"could not be read") && ReadBytes(file) == applied);
    }
    Choose(Control(IDC_CBOMUSIC), 0);
    Press(IDC_CMDAPPLY);
    EXPECT_EQ(ReadBytes(file), applied.substr(0, applied.find("music=")) + "music=1\r\nvolume=80\r\n");
    WriteBytes(file, applied);
    // Held for a moment, as a cloud client holds a file: the load reads the stored values, not the defaults.
    bool tested = false;  // a loaded machine may spoil a passing hold
    for (int attempt = 0; attempt < 5 && !tested; ++attempt)
        tested = WhileUnwritable(file, Fault::Passing, [&] { form.reset(); Start(); });
    ASSERT_TRUE(tested);
    EXPECT_EQ(State(), L"User Defined #-1:  16-bit 1152x864  Yes On  | no Apply | 0 1 4 0 1 1 0");
}
