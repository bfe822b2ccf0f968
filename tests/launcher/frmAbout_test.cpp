#include "Launcher.h"

namespace {

// The about box, with HKEY_LOCAL_MACHINE replaced by a scratch key of the current user's.
class AboutBox : public Launcher {
protected:
    void SetUp() override {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varmoth tests", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, machine.put(), nullptr);
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.get()), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Varmoth tests");
        Launcher::TearDown();
    }
    // Stores exactly the characters of `data`: a NUL only where it holds one.
    void SetValue(const wchar_t* key, const wchar_t* name, DWORD type, const std::wstring& data) {
        RegSetKeyValueW(machine.get(), key, name, type, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
    UniqueHKey machine;
};

}  // namespace

TEST_F(AboutBox, ShowsTitleVersionAndCreditStartsSystemInformationFromEitherLocationOrSaysItIsUnavailableAndCloses) {
    const std::wstring toolFolder = folder / L"Program Files", tool = toolFolder + L"\\MSINFO32.EXE";
    CreateDirectoryW(toolFolder.c_str(), nullptr);
    ASSERT_TRUE(InstallStandIn(tool));
    const std::tuple<const wchar_t*, DWORD, const wchar_t*, bool> cases[] = {  // location 1 and its type, location 2, started
        {tool.c_str(), REG_SZ, L"C:\\nowhere", true},  // location 2 is not read
        {nullptr, REG_SZ, toolFolder.c_str(), true},
        {nullptr, REG_SZ, folder.path().c_str(), false},               // a folder without the tool
        {L"C:\\no such tool.exe", REG_SZ, toolFolder.c_str(), false},  // location 2 is not tried
        {L"", REG_SZ, toolFolder.c_str(), false},                      // a value of no characters
        {nullptr, REG_SZ, nullptr, false},
    };
    Start();
    ASSERT_TRUE(About() && !IsWindowVisible(About())) << "loaded hidden at start-up by the painter";
    Press(Main(), IDC_CMDABOUT);
    size_t started = 0;
    for (const auto& [location1, type1, location2, starts] : cases) {
        RegDeleteTreeW(machine.get(), L"SOFTWARE");  // nullptr: no value
        if (location1) SetValue(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", type1, location1);
        if (location2) SetValue(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", REG_SZ, location2);
        const size_t messages = prompts.messages.size();
        Press(About(), IDC_CMDSYSINFO);
        started += starts;
        EXPECT_TRUE(WaitUntil([&] { return StandInReports(toolFolder).size() == started; }) && prompts.messages.size() == messages + !starts) << location1;
    }
    EXPECT_FALSE(WaitUntil([&] { return StandInReports(toolFolder).size() > started; }, 1s));
    for (auto& report : StandInReports(toolFolder)) EXPECT_EQ(report[L"command_line"] + L" " + report[L"show_state"], L"\"" + tool + L"\" 1");
    EXPECT_EQ(prompts.messages, std::vector<std::wstring>(4, L"Varpick|0|System Information Is Unavailable At This "
                                                             L"Time"));
    EXPECT_EQ(WindowText(About()) + L"|" + Text(About(), IDC_LBLTITLE) + L"|" + Text(About(), IDC_LBLVERSION) + L"|" +
                  Text(About(), IDC_ABOUT_LABEL1).substr(0, 4) + (IsWindowVisible(About()) ? L"|shown" : L""),
              L"About Varpick|Varpick|Version 0.3.0|By: |shown");
    EXPECT_TRUE(SendMessageW(GetDlgItem(About(), IDC_IMAGE1), STM_GETICON, 0, 0));
    for (int key : {VK_RETURN, VK_ESCAPE, 0}) {  // 0: the close box
        key ? PressKey(GetFocus(), key) : void(SendMessageW(About(), WM_CLOSE, 0, 0));
        EXPECT_FALSE(About()) << key;
        Press(Main(), IDC_CMDABOUT);
    }
}
