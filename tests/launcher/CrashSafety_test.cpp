#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "launcher/modMain.h"
#include "profile/AnsiText.h"
#include "support/TestSupport.h"

namespace {

// Saves one of two large catalogues: "a" and "b", 1000 entries each.
void SaveCatalogue(wchar_t variant) {
    modMain::CreateMods();
    for (int i = 1; i <= modMain::kModCapacity; ++i)
        modMain::Mods(modMain::NextModIndex()).Path(std::wstring(150, variant) + std::to_wstring(i) + L".mdf");
    if (modMain::SaveMods()) throw std::runtime_error("save failed");
}

}  // namespace

// The child process: saves the two catalogues in turn until it is killed.
int RunSaveLoop(const char* folder) {
    modMain::SetAppFolder(FromAnsi(folder));
    for (wchar_t variant = L'a';; variant = variant == L'a' ? L'b' : L'a') SaveCatalogue(variant);
}

TEST(SaveMods, KilledAtAnyMomentLeavesTheOldOrTheNewCatalogueWhole) {
    ScratchFolder folder(ScratchFolder::Name::Plain);  // the child gets it in the 8-bit code page
    modMain::SetAppFolder(folder.path());
    SaveCatalogue(L'b');
    const std::string b = *ReadBytes(folder / L"Mods.cfg");
    SaveCatalogue(L'a');
    const std::string a = *ReadBytes(folder / L"Mods.cfg");
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
        const std::string now = ReadBytes(folder / L"Mods.cfg").value_or("<gone>");
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": Mods.cfg is damaged or gone";
        newCatalogueSeen += now == b;
    }
    EXPECT_GE(killsWhileRunning, 50);
    EXPECT_GT(newCatalogueSeen, 0) << "the child never got to save";
}
