// Every file the programs write, each action that writes it and each way a write fails here: the
// write is done or a message names the file, never a false success, and no file loses what it held.
#include <filesystem>
#include <iostream>

#include "configurator/VartuneControls.h"
#include "launcher/Launcher.h"

namespace {

const std::map<std::wstring, std::string> kSeeds = {
    {L"Varpick.ini", "[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=1\r\n"}, {L"Mods.cfg", "12\r\n\r\na.mdf\r\n34\r\n\r\nb.mdf\r\n"},
    {L"Varmoth.ini", "[mods]\r\ncurrentmod=a.mdf\r\n"}, {L"vmtconfig.ini", "[video]\r\ngamma=1.2\r\n[options]\r\nbit=1\r\nsound=1\r\n"}};

// Silent is right only for the defaults a program writes unasked at start (their files are seeded
// empty), and for an action that writes nothing.
enum class Expect { DoneOrReported, SilentDefaults, NoWrite };

class WriteFailures : public Launcher {
protected:
    std::map<std::wstring, std::string> Files() const {
        std::map<std::wstring, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() != L".exe") files[entry.path().filename()] = entry.is_directory() ? "<folder>" : *ReadBytes(entry.path().wstring());
        return files;
    }
    // Vartune as a real process, its message boxes real: started, then a button pressed.
    void Vartune(int button = 0, int answer = IDOK) {
        if (!vartune) vartune = StartProgram(folder / L"Vartune.exe"), vartuneWindow = WindowOf(vartune.get(), vartune::kCaption);
        if (button) PostMessageW(GetDlgItem(vartuneWindow, button), BM_CLICK, 0, 0);
        for (std::wstring text; button && !(text = NextMessageBox(vartune.get(), answer)).empty();) prompts.messages.push_back(text);
    }
    UniqueKernelHandle vartune;
    HWND vartuneWindow = nullptr;
};

}  // namespace

TEST_F(WriteFailures, EveryWriteIsDoneOrNamesTheFileAndNoFileLosesWhatItHeld) {
    ASSERT_FALSE(CopyInto(folder, TestProgramFolder() + L"\\Vartune.exe").empty());
    const std::function<void()> start = [&] { Start(); }, options = [&] { Start(); Press(Main(), IDC_CMDOPTIONS); Choose(GetDlgItem(Options(), IDC_CBOSKIN), 2); };
    const std::tuple<const wchar_t*, const char*, Expect, std::function<void()>, std::function<void()>> rows[] = {  // file, action, ..., set-up, act
        {L"Varpick.ini", "first start (defaults)", Expect::SilentDefaults, [] {}, start},
        {L"Mods.cfg", "first start (reads)", Expect::DoneOrReported, [] {}, start},
        {L"Mods.cfg", "Add a Mod", Expect::DoneOrReported, start, [&] { AddMod(L"C:\\mods\\new.mdf"); }},
        {L"Mods.cfg", "Delete all mods", Expect::DoneOrReported, start, [] { Press(Main(), IDC_CMDDELETEALLMODS); }},
        {L"Varmoth.ini", "Set mod", Expect::DoneOrReported, [&] { Start(); Select(1); }, [] { Press(Main(), IDC_CMDSETMOD); }},
        {L"Varmoth.ini", "Set Varmoth", Expect::DoneOrReported, start, [] { Press(Main(), IDC_CMDSETVMT); }},
        {L"Varpick.ini", "Options OK", Expect::DoneOrReported, options, [] { Press(Options(), IDC_OPTIONS_CMDOK); }},
        {L"Varpick.ini", "Options Apply", Expect::DoneOrReported, options, [] { Press(Options(), IDC_CMDAPPLY); }},
        {L"vmtconfig.ini", "Vartune's load (defaults)", Expect::SilentDefaults, [] {}, [&] { Vartune(); }},
        {L"vmtconfig.ini", "Vartune's Apply", Expect::DoneOrReported, [&] { Vartune(); Choose(GetDlgItem(vartuneWindow, vartune::kPresetBox), 0); },
         [&] { Vartune(vartune::kApplyButton); }},
        {L"vmtconfig.ini", "Vartune's Reset", Expect::NoWrite, [&] { Vartune(); }, [&] { Vartune(vartune::kResetButton, IDYES); }},
    };
    std::string table = "\nfile           action                      fault           outcome\n";
    for (const auto& [file, action, expect, setUp, act] : rows) {
        for (Fault fault : {Fault::Held, Fault::FolderInPlace}) {
            const char* faultName = fault == Fault::Held ? "held open" : "folder in place";
            SCOPED_TRACE(testing::Message() << ToAnsi(file).value_or("?") << ", " << action << ", " << faultName);
            for (const auto& [name, bytes] : kSeeds) WriteBytes(folder / name, expect == Expect::SilentDefaults && name == file ? "" : bytes);
            setUp();
            const auto before = Files();
            prompts.messages.clear();
            WhileUnwritable(folder / file, fault, act);
            Quit();
            if (vartune) CloseProgram(vartune.get(), vartuneWindow), vartune.reset();
            const auto after = Files();
            const bool named = std::any_of(prompts.messages.begin(), prompts.messages.end(), [&](auto& text) { return text.find(folder / file) != std::wstring::npos; });
            const std::string outcome = after.at(file) != before.at(file) ? "done"
                                        : named                           ? "reported, file unchanged"
                                        : expect == Expect::NoWrite       ? "writes nothing (Apply writes)"
                                        : expect == Expect::SilentDefaults ? "not written, silent by design" : "FALSE SUCCESS";
            EXPECT_TRUE(outcome != "FALSE SUCCESS" && (expect == Expect::NoWrite) == outcome.starts_with("writes nothing")) << outcome;
            for (const auto& [name, bytes] : before) EXPECT_TRUE((name == file && outcome == "done") || after.at(name) == bytes) << "lost what it held";
            EXPECT_EQ(after.size(), before.size()) << "no temporary file left behind";
            char line[160];
            std::snprintf(line, sizeof line, "%-14s %-27s %-15s %s\n", ToAnsi(file).value_or("?").c_str(), action, faultName, outcome.c_str());
            table += line;
        }
    }
    std::cout << table;
}
