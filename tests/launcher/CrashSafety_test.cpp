#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "CrashSafety.h"
#include "launcher/ModsFormat.h"
#include "launcher/modMain.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

namespace {

void FillCatalogue(wchar_t variant) {
    modMain::CreateMods();
    for (int i = 1; i <= modMain::kModCapacity; ++i) {
        cMod& mod = modMain::Mods(modMain::NextModIndex());
        mod.iID(static_cast<std::int16_t>(i));
        mod.Path(std::wstring(1, variant) + L"-" + std::to_wstring(i) + L"-" + std::wstring(150, variant) + L".mdf");
    }
}

// Which of the two catalogues the text holds: 'a', 'b', or '?' when it is neither, whole.
wchar_t WhichCatalogue(const std::string& bytes) {
    const ParsedCatalogue parsed = ParseCatalogue(FromAnsi(bytes), 2000);
    if (parsed.entries.size() != static_cast<size_t>(modMain::kModCapacity)) return L'?';
    const wchar_t variant = parsed.entries[0].Path().empty() ? L'?' : parsed.entries[0].Path()[0];
    for (size_t i = 0; i < parsed.entries.size(); ++i) {
        const std::wstring expected = std::wstring(1, variant) + L"-" + std::to_wstring(i + 1) + L"-" +
                                      std::wstring(150, variant) + L".mdf";
        if (parsed.entries[i].Path() != expected || parsed.entries[i].iID() != static_cast<int>(i + 1)) return L'?';
    }
    return variant;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return path;
}

}  // namespace

int RunSaveLoop(const char* folder) {
    modMain::SetAppFolder(FromAnsi(folder));
    for (wchar_t variant = L'a';; variant = variant == L'a' ? L'b' : L'a') {
        FillCatalogue(variant);
        if (modMain::SaveMods()) return 2;
    }
}

TEST(SaveMods, KilledAtAnyMomentLeavesTheOldOrTheNewCatalogueWhole) {
    // The child gets the folder on its command line in the 8-bit code page.
    ScratchFolder folder(ScratchFolder::Name::Plain);
    const std::wstring& plain = folder.path();
    modMain::SetAppFolder(plain);
    FillCatalogue(L'a');
    ASSERT_FALSE(modMain::SaveMods());

    std::mt19937 random(12345);
    int killsWhileRunning = 0;
    int newCatalogueSeen = 0;
    for (int round = 0; round < 60; ++round) {
        std::wstring commandLine = L"\"" + OwnPath() + L"\" --save-loop \"" + plain + L"\"";
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(150, 600)(random)));
        DWORD exitCode = 0;
        GetExitCodeProcess(processHandle.get(), &exitCode);
        if (exitCode == STILL_ACTIVE) ++killsWhileRunning;
        TerminateProcess(processHandle.get(), 9);
        WaitForSingleObject(processHandle.get(), 10000);

        const std::optional<std::string> bytes = ReadBytes(plain + L"\\Mods.cfg");
        ASSERT_TRUE(bytes) << "round " << round << ": Mods.cfg is gone";
        const wchar_t which = WhichCatalogue(*bytes);
        ASSERT_NE(which, L'?') << "round " << round << ": Mods.cfg is damaged";
        if (which == L'b') ++newCatalogueSeen;
    }
    EXPECT_GE(killsWhileRunning, 50);
    EXPECT_GT(newCatalogueSeen, 0) << "the child never got to save";
}
