#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "launcher/ModsFormat.h"
#include "launcher/modMain.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

namespace {

std::wstring EntryPath(wchar_t variant, int i) { return variant + (L"-" + std::to_wstring(i) + L"-" + std::wstring(150, variant) + L".mdf"); }

void FillCatalogue(wchar_t variant) {
    modMain::CreateMods();
    for (int i = 1; i <= modMain::kModCapacity; ++i) modMain::Mods(modMain::NextModIndex()).Path(EntryPath(variant, i));
}

// Which of the two catalogues the file holds whole: 'a', 'b', or '?' for anything else.
wchar_t WhichCatalogue(const std::string& bytes) {
    const ParsedCatalogue parsed = ParseCatalogue(FromAnsi(bytes), 2000);
    const wchar_t variant = parsed.entries.size() == 1000 ? parsed.entries[0].Path()[0] : L'?';
    for (int i = 0; i < static_cast<int>(parsed.entries.size()); ++i)
        if (parsed.entries[i].Path() != EntryPath(variant, i + 1)) return L'?';
    return variant;
}

}  // namespace

// The child: saves the two catalogues in turn until it is killed.
int RunSaveLoop(const char* folder) {
    modMain::SetAppFolder(FromAnsi(folder));
    for (wchar_t variant = L'a';; variant = variant == L'a' ? L'b' : L'a') {
        FillCatalogue(variant);
        if (modMain::SaveMods()) return 2;
    }
}

TEST(SaveMods, KilledAtAnyMomentLeavesTheOldOrTheNewCatalogueWhole) {
    ScratchFolder folder(ScratchFolder::Name::Plain);  // the child gets it in the 8-bit code page
    modMain::SetAppFolder(folder.path());
    FillCatalogue(L'a');
    ASSERT_FALSE(modMain::SaveMods());
    wchar_t self[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    std::mt19937 random(12345);
    int killsWhileRunning = 0, newCatalogueSeen = 0;
    for (int round = 0; round < 60; ++round) {
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --save-loop \"" + folder.path() + L"\"";
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(150, 600)(random)));
        killsWhileRunning += WaitForSingleObject(processHandle.get(), 0) == WAIT_TIMEOUT;
        TerminateProcess(processHandle.get(), 9);
        WaitForSingleObject(processHandle.get(), 10000);
        const wchar_t which = WhichCatalogue(ReadBytes(folder / L"Mods.cfg").value_or(""));
        ASSERT_NE(which, L'?') << "round " << round << ": Mods.cfg is damaged or gone";
        newCatalogueSeen += which == L'b';
    }
    EXPECT_GE(killsWhileRunning, 50);
    EXPECT_GT(newCatalogueSeen, 0) << "the child never got to save";
}
