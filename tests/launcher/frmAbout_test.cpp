#include "Launcher.h"

namespace {

// The about box, with HKEY_LOCAL_MACHINE replaced by a scratch key of the current user's.
class AboutBox : public Launcher {
protected:
    void SetUp() override {
        RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, machine.put(), nullptr);
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.get()), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        Launcher::TearDown();
    }
    // Stores exactly the characters of `data`: a NUL only where it holds one.
    void SetValue(const wchar_t* key, const wchar_t* name, DWORD type, const std::wstring& data) {
        RegSetKeyValueW(machine.get(), key, name, type, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }

    static constexpr wchar_t kScratchKey[] = L"Software\\Varmoth tests HKLM";
    UniqueHKey machine;
};

}  // namespace

TEST_F(AboutBox, ShowsTitleVersionAndCreditAndClosesWithOkEnterEscOrTheCloseBox) {
    Start();
    ASSERT_TRUE(About() && !IsWindowVisible(About())) << "loaded hidden at start-up by the painter";
    Press(Main(), IDC_CMDABOUT);
    EXPECT_EQ(WindowText(About()) + L"|" + Text(About(), IDC_LBLTITLE) + L"|" + Text(About(), IDC_LBLVERSION) + L"|" +
                  Text(About(), IDC_ABOUT_LABEL1).substr(0, 4) + (IsWindowVisible(About()) ? L"|shown" : L""),
              L"About Varpick|Varpick|Version 0.3.0|By: |shown");
    EXPECT_TRUE(SendMessageW(GetDlgItem(About(), IDC_IMAGE1), STM_GETICON, 0, 0));
    EXPECT_EQ(FontOf(GetDlgItem(About(), IDC_LBLVERSION)), L"MS Sans Serif -13 400");
    EXPECT_TRUE(IsFixedDialogOutOfTheTaskbar(About()));
    EXPECT_EQ(LOWORD(SendMessageW(About(), DM_GETDEFID, 0, 0)), IDC_ABOUT_CMDOK) << "OK is the default button";
    EXPECT_TRUE(GetFocus() == GetDlgItem(About(), IDC_ABOUT_CMDOK) && GetNextDlgTabItem(About(), GetFocus(), FALSE) == GetDlgItem(About(), IDC_CMDSYSINFO));

    SetWindowTextW(GetDlgItem(About(), IDC_LBLTITLE), L"still loaded");
    Press(Main(), IDC_CMDABOUT);
    EXPECT_EQ(Text(About(), IDC_LBLTITLE), L"still loaded") << "showing a loaded box runs no load step";
    for (int way = 0; way < 4; ++way) {
        if (way == 0) Press(About(), IDC_ABOUT_CMDOK);
        if (way == 1 || way == 2) PressKey(GetFocus(), way == 1 ? VK_RETURN : VK_ESCAPE);
        if (way == 3) SendMessageW(About(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(About()) << "way " << way;
        Press(Main(), IDC_CMDABOUT);
        EXPECT_EQ(Text(About(), IDC_LBLTITLE), L"Varpick") << "loaded afresh";
    }
}

TEST_F(AboutBox, GetKeyValueReadsTextAndNumbersAndFailsWithAnEmptyValue) {
    const struct {
        const wchar_t* value;
        DWORD type;
        std::wstring data;
        const wchar_t* read;  // "true|text" or "false|text", from "before"
    } cases[] = {
        {L"with NUL", REG_SZ, std::wstring(L"C:\\Tool.exe\0", 12), L"true|C:\\Tool.exe"},
        {L"without NUL", REG_SZ, L"C:\\Tool.exe", L"true|C:\\Tool.exe"},
        {L"number", REG_DWORD, std::wstring(L"\x0457\0", 2), L"true|1111"},
        {L"expand", REG_EXPAND_SZ, L"%windir%", L"true|before"},  // other types keep it
        {L"long", REG_SZ, std::wstring(1000, L'x'), nullptr},
        {L"too long", REG_SZ, std::wstring(1025, L'x'), L"false|"},
        {L"missing", 0, L"", L"false|"},
    };
    for (const auto& c : cases) {
        if (c.type) SetValue(L"k", c.value, c.type, c.data);
        std::wstring text = L"before";
        EXPECT_EQ((frmAbout::GetKeyValue(HKEY_LOCAL_MACHINE, L"k", c.value, text) ? L"true|" : L"false|") + text, c.read ? c.read : L"true|" + c.data);
    }
    std::wstring text = L"before";
    EXPECT_FALSE(frmAbout::GetKeyValue(HKEY_LOCAL_MACHINE, L"no such key", L"x", text) || !text.empty());
    SetValue(L"k", L"empty", REG_SZ, L"");
    EXPECT_THROW(frmAbout::GetKeyValue(HKEY_LOCAL_MACHINE, L"k", L"empty", text), std::invalid_argument);
}

TEST_F(AboutBox, SystemInfoStartsTheToolFromEitherLocationOrSaysItIsUnavailable) {
    ScratchFolder tools(ScratchFolder::Name::Plain);
    const std::wstring toolFolder = tools / L"Program Files", tool = toolFolder + L"\\MSINFO32.EXE";
    CreateDirectoryW(toolFolder.c_str(), nullptr);
    ASSERT_TRUE(InstallStandIn(tool));
    const struct {
        const wchar_t *location1, *location2;  // nullptr: no value
        DWORD type1;
        bool starts;
    } cases[] = {
        {tool.c_str(), L"C:\\nowhere", REG_SZ, true},                   // location 2 is not read
        {nullptr, toolFolder.c_str(), REG_SZ, true},
        {nullptr, tools.path().c_str(), REG_SZ, false},                 // a folder without the tool
        {L"C:\\no such tool.exe", toolFolder.c_str(), REG_SZ, false},   // location 2 is not tried
        {tool.c_str(), toolFolder.c_str(), REG_EXPAND_SZ, false},      // found, but the text stays empty
        {L"", toolFolder.c_str(), REG_SZ, false},                       // a value of no characters
        {nullptr, nullptr, REG_SZ, false},
    };
    Start();
    Press(Main(), IDC_CMDABOUT);
    size_t started = 0;
    for (const auto& c : cases) {
        RegDeleteTreeW(machine.get(), L"SOFTWARE");
        if (c.location1) SetValue(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", c.type1, c.location1);
        if (c.location2) SetValue(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", REG_SZ, c.location2);
        Press(About(), IDC_CMDSYSINFO);
        started += c.starts;
        EXPECT_TRUE(WaitUntil([&] { return StandInReports(toolFolder).size() == started; }) && prompts.messages.size() == &c - cases + 1 - started)
            << "case " << &c - cases;
    }
    EXPECT_FALSE(WaitUntil([&] { return StandInReports(toolFolder).size() > started; }, std::chrono::seconds(1)));
    for (auto& report : StandInReports(toolFolder)) EXPECT_EQ(report[L"command_line"] + L" " + report[L"show_state"], L"\"" + tool + L"\" 1");
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>(5, L"Varpick|0|System Information Is Unavailable At This Time"));
    EXPECT_TRUE(IsWindowVisible(About()));
}
