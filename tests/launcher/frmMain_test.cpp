#include "launcher/frmMain.h"

#include <gtest/gtest.h>

#include <memory>

#include "launcher/modMain.h"
#include "launcher/resource.h"
#include "support/TestSupport.h"

namespace {

const std::string kExample = "12\r\n\r\na.mdf\r\n5400\r\n\r\nb.mdf\r\n";
constexpr wchar_t kNotFound[] = L"Mothvar.exe Not Found, Enter the Mothvar.exe path in the options dialog";
constexpr wchar_t kNoSelection[] =
    L"No Mod Selected, You have to select a mod from the list to set it as the current mod";

// The reports the stand-in game wrote into `folder`, one per start.
std::vector<std::wstring> StandInReports(const std::wstring& folder) {
    std::vector<std::wstring> reports;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\Mothvar-report-*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return reports;
    do {
        const std::string bytes = *ReadBytes(folder + L"\\" + found.cFileName);
        reports.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return reports;
}

std::wstring ReportValue(const std::wstring& report, const std::wstring& name) {
    const size_t start = report.find(name + L"=");
    if (start == std::wstring::npos) return L"<none>";
    const size_t valueStart = start + name.size() + 1;
    return report.substr(valueStart, report.find(L"\r\n", valueStart) - valueStart);
}

class MainWindow : public testing::Test {
protected:
    void TearDown() override {
        form.reset();
        PumpMessages();  // drops the WM_QUIT that closing the launcher posts
    }

    void Start() {
        modMain::SetAppFolder(folder.path());
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Load(SW_SHOW));
    }

    HWND Control(int id) const { return GetDlgItem(form->hwnd(), id); }
    ListBox List() const { return ListBox(Control(IDC_CBOMODS)); }
    std::vector<std::wstring> ListLines() const {
        std::vector<std::wstring> lines;
        for (int i = 0; i < List().Count(); ++i) lines.push_back(List().ItemText(i));
        return lines;
    }
    std::wstring Label() const { return TextOf(Control(IDC_LBLCURRENTMOD)); }
    void Press(int id) { Click(Control(id)); }
    void Select(int line) { SendMessageW(Control(IDC_CBOMODS), LB_SETCURSEL, line, 0); }
    std::string ModsFile() const { return ReadBytes(folder / L"Mods.cfg").value_or("<missing>"); }

    void AddMod(const std::wstring& chosen) {
        prompts.files.push_back(chosen);
        Press(IDC_CMDADDMOD);
    }

    void InstallStandInGame(const std::wstring& targetFolder) {
        CreateDirectoryW(targetFolder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\Mothvar.exe").c_str(),
                              (targetFolder + L"\\Mothvar.exe").c_str(), FALSE));
    }

    ScratchFolder folder;
    RecordingPrompts prompts;
    std::unique_ptr<frmMain> form;
};

}  // namespace

TEST_F(MainWindow, FirstStartWithNoFiles) {
    Start();
    EXPECT_EQ(TextOf(form->hwnd()), L"Varmoth - Pick MOD");
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(Label(), L"Current mod: ");
    EXPECT_EQ(ModsFile(), "");
    EXPECT_EQ(ReadIniKey(folder / L"Varpick.ini", L"Main", L"Skin"), L"0");
    EXPECT_FALSE(PathExists(folder / L"Varmoth.ini"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindow, TabOrderRunsThroughTheButtonsThenTheListAndNoButtonIsDefault) {
    Start();
    const std::pair<int, const wchar_t*> tabOrder[] = {
        {IDC_CMDRUN, L"&Run Mothvar"}, {IDC_CMDADDMOD, L"&Add a Mod"}, {IDC_CMDSETMOD, L"&Set mod"},
        {IDC_CMDSETVMT, L"Set &Varmoth"}, {IDC_CMDDELETEALLMODS, L"Delete all &mods"},
        {IDC_CMDOPTIONS, L"&Options"}, {IDC_CMDABOUT, L"A&bout"}, {IDC_CMDQUIT, L"&Quit"}, {IDC_CBOMODS, L""}};
    HWND control = GetNextDlgTabItem(form->hwnd(), Control(IDC_CBOMODS), FALSE);
    for (const auto& [id, caption] : tabOrder) {
        EXPECT_EQ(GetDlgCtrlID(control), id);
        EXPECT_EQ(TextOf(control), caption);
        if (id != IDC_CBOMODS) {
            EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        }
        control = GetNextDlgTabItem(form->hwnd(), control, FALSE);
    }
    EXPECT_FALSE(GetWindowLongPtrW(Control(IDC_CBOMODS), GWL_STYLE) & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));

    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(IDC_LBLCURRENTMOD), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -13) << "9.75 points at 96 dpi";
}

TEST_F(MainWindow, ShowsTheCatalogueAndTheGamesCurrentMod) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    WriteBytes(folder / L"VARMOTH.INI", "[MODS]\r\nCurrentMod=main\r\n");
    Start();
    EXPECT_EQ(ListLines(), (std::vector<std::wstring>{L"a.mdf", L"b.mdf"}));
    EXPECT_EQ(List().SelectedIndex(), -1);
    EXPECT_EQ(Label(), L"Current mod: main");
}

TEST_F(MainWindow, TellsOnceWhenTheCatalogueCannotBeReadOrIsTooLong) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    {
        UniqueFileHandle held = HoldExclusively(folder / L"Mods.cfg");
        Start();
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(folder / L"Mods.cfg"), std::wstring::npos);
    EXPECT_EQ(List().Count(), 0);

    // The other program has let go, but the list is empty: saving now would wipe the file.
    AddMod(L"C:\\mods\\x.mdf");
    EXPECT_EQ(prompts.messages.size(), 2u) << "the addition is refused with a message";
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(ModsFile(), kExample);

    // Once the user has deleted the file on purpose, adding works again.
    Press(IDC_CMDDELETEALLMODS);
    AddMod(L"C:\\mods\\x.mdf");
    EXPECT_EQ(ListLines(), std::vector<std::wstring>{L"x.mdf"});
    EXPECT_EQ(prompts.messages.size(), 2u);

    // More than 1000 entries: the first 1000 are listed, and the user is told.
    std::string tooMany;
    for (int i = 1; i <= 1001; ++i) tooMany += std::to_string(i) + "\r\n\r\nm" + std::to_string(i) + ".mdf\r\n";
    WriteBytes(folder / L"Mods.cfg", tooMany);
    form.reset();
    Start();
    EXPECT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(List().Count(), 1000);
}

TEST_F(MainWindow, AddAMod) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    Start();

    prompts.files.push_back(std::nullopt);  // the user cancels
    Press(IDC_CMDADDMOD);
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].title, L"Open");
    EXPECT_EQ(prompts.fileDialogs[0].filter, std::wstring(L"Mothvar mod (*.mdf*)\0*.mdf*\0", 28));
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_EQ(ModsFile(), kExample);

    Select(0);
    AddMod(L"C:\\Games\\x\\cool.mdf");
    EXPECT_EQ(ListLines(), (std::vector<std::wstring>{L"a.mdf", L"b.mdf", L"cool.mdf"}));
    EXPECT_EQ(List().SelectedIndex(), 0) << "the new line is not selected";
    EXPECT_EQ(Label(), L"Current mod: ");
    const std::string file = ModsFile();
    ASSERT_EQ(file.substr(0, kExample.size()), kExample);
    const std::string added = file.substr(kExample.size());
    const int id = std::stoi(added);
    EXPECT_GE(id, 0);
    EXPECT_LE(id, 5499);
    EXPECT_EQ(added, std::to_string(id) + "\r\n\r\ncool.mdf\r\n");

    AddMod(L"C:\\Games\\x\\cool.mdf");
    EXPECT_EQ(ListLines().size(), 4u) << "the same file twice gives two entries";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindow, AddRefusesTheThousandAndFirstAndNamesTheFilesCannotHold) {
    std::string thousand;
    for (int i = 1; i <= 1000; ++i) thousand += std::to_string(i) + "\r\n\r\nm" + std::to_string(i) + ".mdf\r\n";
    WriteBytes(folder / L"Mods.cfg", thousand);
    Start();
    AddMod(L"C:\\x\\one-more.mdf");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(L"1000"), std::wstring::npos);
    EXPECT_EQ(List().Count(), 1000);
    EXPECT_EQ(modMain::iModCount, 1000);
    EXPECT_EQ(ModsFile(), thousand);

    Press(IDC_CMDDELETEALLMODS);
    AddMod(L"C:\\x\\\u6F22.mdf");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(modMain::iModCount, 0);
}

TEST_F(MainWindow, AFailedSaveUndoesTheAddition) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    Start();
    {
        UniqueFileHandle held = HoldExclusively(folder / L"Mods.cfg");
        AddMod(L"C:\\x\\lost.mdf");
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(folder / L"Mods.cfg"), std::wstring::npos);
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_EQ(modMain::iModCount, 2);
    EXPECT_EQ(ModsFile(), kExample);

    AddMod(L"C:\\x\\kept.mdf");
    EXPECT_EQ(ListLines(), (std::vector<std::wstring>{L"a.mdf", L"b.mdf", L"kept.mdf"}));
    EXPECT_EQ(ModsFile().find("lost"), std::string::npos);
    EXPECT_NE(ModsFile().find("\r\n\r\nkept.mdf\r\n"), std::string::npos);

    // A folder put where the file was.
    ASSERT_TRUE(DeleteFileW((folder / L"Mods.cfg").c_str()));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Mods.cfg").c_str(), nullptr));
    AddMod(L"C:\\x\\lost.mdf");
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(ListLines().size(), 3u);
    EXPECT_FALSE(PathExists(folder / L"Mods.cfg.tmp"));
}

TEST_F(MainWindow, SetModWritesTheWholeSelectedLine) {
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\nmymod.mdf\r\n2\r\n\r\nab.mdf\r\n3\r\n\r\nabc\r\n");
    Start();

    Press(IDC_CMDSETMOD);
    EXPECT_EQ(prompts.beeps, 1);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kNoSelection);
    EXPECT_EQ(prompts.messages[0].title, L"Mod Selection Error");
    EXPECT_EQ(prompts.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Label(), L"Current mod: ");
    EXPECT_FALSE(PathExists(folder / L"Varmoth.ini"));

    const std::wstring game = folder / L"Varmoth.ini";
    for (int line : {0, 1, 2}) {
        Select(line);
        Press(IDC_CMDSETMOD);
        const std::wstring text = List().ItemText(line);
        EXPECT_EQ(Label(), L"Current mod: " + text);
        EXPECT_EQ(ReadIniKey(game, L"mods", L"Currentmod"), text);
    }
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(MainWindow, SetCommandsTellWhenTheGamesFileCannotBeWritten) {
    WriteBytes(folder / L"Mods.cfg", "1\r\n\r\nmymod.mdf\r\n");
    WriteBytes(folder / L"Varmoth.ini", "[mods]\r\nCurrentmod=old.mdf\r\n");
    Start();
    Select(0);
    {
        UniqueFileHandle held = HoldExclusively(folder / L"Varmoth.ini");
        Press(IDC_CMDSETMOD);
        Press(IDC_CMDSETVMT);
    }
    EXPECT_EQ(prompts.beeps, 2);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_NE(prompts.messages[0].text.find(folder / L"Varmoth.ini"), std::wstring::npos);
    EXPECT_EQ(Label(), L"Current mod: old.mdf") << "the label shows what the game will use";
    EXPECT_EQ(ReadIniKey(folder / L"Varmoth.ini", L"mods", L"Currentmod"), L"old.mdf");

    ASSERT_TRUE(DeleteFileW((folder / L"Varmoth.ini").c_str()));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Varmoth.ini").c_str(), nullptr));
    Press(IDC_CMDSETMOD);
    EXPECT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(Label(), L"Current mod: old.mdf");
}

TEST_F(MainWindow, SetVarmothMakesThePlainGameCurrent) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    Start();
    Select(1);
    Press(IDC_CMDSETVMT);
    EXPECT_EQ(Label(), L"Current mod: Mothvar");
    EXPECT_EQ(ReadIniKey(folder / L"Varmoth.ini", L"mods", L"Currentmod"), L"main");
    EXPECT_EQ(List().SelectedIndex(), 1);

    form.reset();
    PumpMessages();
    Start();
    EXPECT_EQ(Label(), L"Current mod: main");
}

TEST_F(MainWindow, DeleteAllMods) {
    WriteBytes(folder / L"Mods.cfg", kExample);
    WriteBytes(folder / L"Varmoth.ini", "[mods]\r\ncurrentmod=a.mdf\r\n");
    Start();
    {
        UniqueFileHandle held = HoldExclusively(folder / L"Mods.cfg");
        Press(IDC_CMDDELETEALLMODS);
    }
    ASSERT_EQ(prompts.messages.size(), 1u) << "a file that cannot be deleted is reported";
    EXPECT_EQ(ListLines().size(), 2u);

    Press(IDC_CMDDELETEALLMODS);
    EXPECT_EQ(List().Count(), 0);
    EXPECT_FALSE(PathExists(folder / L"Mods.cfg"));
    EXPECT_EQ(Label(), L"Current mod: a.mdf");
    Press(IDC_CMDDELETEALLMODS);
    EXPECT_EQ(prompts.messages.size(), 1u) << "deleting twice is no error";

    AddMod(L"D:\\new.mdf");
    EXPECT_EQ(ListLines(), std::vector<std::wstring>{L"new.mdf"});
    EXPECT_EQ(ModsFile(), std::to_string(modMain::Mods(1).iID()) + "\r\n\r\nnew.mdf\r\n");
}

TEST_F(MainWindow, RunReportsAMissingGame) {
    Start();
    for (const std::wstring& path : {folder / L"Mothvar.exe", std::wstring(), folder / L"no such folder\\Mothvar.exe"}) {
        modMain::sVarmothPath = path;
        Press(IDC_CMDRUN);
    }
    EXPECT_EQ(prompts.beeps, 3);
    ASSERT_EQ(prompts.messages.size(), 3u);
    for (const auto& shown : prompts.messages) {
        EXPECT_EQ(shown.text, kNotFound);
        EXPECT_EQ(shown.title, L"Varmoth Error");
        EXPECT_EQ(shown.style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }
    EXPECT_FALSE(prompts.endedWith);
    EXPECT_TRUE(IsWindow(form->hwnd()));
}

TEST_F(MainWindow, RunStartsTheGameMinimisedInItsOwnFolder) {
    const std::wstring gameFolder = folder / L"Program Files\\Mothvar Game";
    CreateDirectoryW((folder / L"Program Files").c_str(), nullptr);
    InstallStandInGame(gameFolder);
    WriteBytes(gameFolder + L"\\Varmoth.ini", "[mods]\r\ncurrentmod=cool.mdf\r\n");
    Start();
    modMain::sVarmothPath = gameFolder + L"\\Mothvar.exe";

    Press(IDC_CMDRUN);
    ASSERT_TRUE(WaitUntil([&] { return StandInReports(gameFolder).size() == 1; }, std::chrono::seconds(20)));
    const std::wstring report = StandInReports(gameFolder)[0];
    EXPECT_EQ(ReportValue(report, L"command_line"), L"\"" + gameFolder + L"\\Mothvar.exe\"");
    EXPECT_EQ(ReportValue(report, L"working_folder"), gameFolder);
    EXPECT_EQ(ReportValue(report, L"show_state"), L"2");
    EXPECT_EQ(ReportValue(report, L"current_mod"), L"cool.mdf");

    Press(IDC_CMDRUN);
    EXPECT_TRUE(WaitUntil([&] { return StandInReports(gameFolder).size() == 2; }, std::chrono::seconds(20)))
        << "a second Run starts a second copy";

    // A path followed by arguments is passed as it stands (Wine puts quotes around the program
    // part it found; Windows passes the text unchanged).
    modMain::sVarmothPath = gameFolder + L"\\Mothvar.exe -window";
    Press(IDC_CMDRUN);
    ASSERT_TRUE(WaitUntil([&] { return StandInReports(gameFolder).size() == 3; }, std::chrono::seconds(20)));
    int withArguments = 0;
    for (const std::wstring& each : StandInReports(gameFolder)) {
        const std::wstring commandLine = ReportValue(each, L"command_line");
        if (commandLine.ends_with(L"Mothvar.exe -window") || commandLine.ends_with(L"Mothvar.exe\" -window")) {
            ++withArguments;
            EXPECT_EQ(ReportValue(each, L"working_folder"), gameFolder);
        }
    }
    EXPECT_EQ(withArguments, 1);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindow, AGameThatCannotStartEndsInTheFatalErrorReport) {
    WriteBytes(folder / L"Mothvar.exe", "this is no program");
    Start();
    modMain::sVarmothPath = folder / L"Mothvar.exe";
    Press(IDC_CMDRUN);
    ASSERT_EQ(prompts.messages.size(), 1u);
    const std::wstring& text = prompts.messages[0].text;
    EXPECT_EQ(text.rfind(L"Fatal Error: 193 - ", 0), 0u) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"\r\nExeciton aborted, Please submit a error report to "), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 7), L" forums");
    EXPECT_EQ(prompts.messages[0].title, L"Fatal Error");
    EXPECT_EQ(prompts.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(prompts.beeps, 0);
    EXPECT_TRUE(prompts.endedWith);
}

TEST_F(MainWindow, QuitAndTheCloseBoxEndTheProgram) {
    Start();
    Press(IDC_CMDQUIT);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(PumpMessages()) << "the message loop ends";

    Start();
    SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(PumpMessages());
}

TEST_F(MainWindow, KeyboardWorksAsInADialog) {
    Start();
    SetForegroundWindow(form->hwnd());
    SetFocus(Control(IDC_CMDRUN));
    PostMessageW(Control(IDC_CMDRUN), WM_KEYDOWN, VK_TAB, 0);
    PumpMessages();
    EXPECT_EQ(GetFocus(), Control(IDC_CMDADDMOD));

    // Alt+V presses "Set &Varmoth".
    PostMessageW(GetFocus(), WM_SYSCHAR, L'v', 1 << 29);
    PumpMessages();
    EXPECT_EQ(ReadIniKey(folder / L"Varmoth.ini", L"mods", L"Currentmod"), L"main");
    EXPECT_EQ(Label(), L"Current mod: Mothvar");
}

TEST(VarpickProgram, StartsInItsFolderCreatesItsFilesAndCloses) {
    ScratchFolder folder;
    EXPECT_EQ(StartAndCloseProgram(L"Varpick.exe", folder.path(), L"Varmoth - Pick MOD"), 0u);
    EXPECT_EQ(ReadBytes(folder / L"Mods.cfg"), std::string());
    EXPECT_EQ(ReadIniKey(folder / L"Varpick.ini", L"Main", L"Skin"), L"0");

    const VersionRecord version = ReadVersionRecord(folder / L"Varpick.exe");
    EXPECT_EQ(version.fileVersion, L"0.3.0.0");
    EXPECT_EQ(version.fileVersionText, L"0.03");
    EXPECT_EQ(version.originalFilename, L"Varpick.exe");
    EXPECT_EQ(version.productName, L"Varpick");
}
