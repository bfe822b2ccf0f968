// Every file the programs write, every action that writes it, each way a write fails here: the
// outcome is the write done or a message naming the file, never a false success, and no file
// loses what it held. Prints the matrix as a table.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "configurator/VartuneControls.h"
#include "launcher/Launcher.h"

namespace {

const std::map<std::wstring, std::string> kSeeds = {
    {L"Varpick.ini", "[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=1\r\n"},
    {L"Mods.cfg", "12\r\n\r\na.mdf\r\n34\r\n\r\nb.mdf\r\n"},
    {L"Varmoth.ini", "[mods]\r\ncurrentmod=a.mdf\r\n"},
    {L"vmtconfig.ini", "[video]\r\ngamma=1.2\r\n[options]\r\nperformence=1\r\nbit=1\r\nresoultion=1\r\nscreen=1\r\nintro=1\r\nsound=1\r\nmusic=1\r\n"}};

// What a cell may end in: the write done or reported; silent only where the action writes on its
// own, unasked (defaults at start-up), or writes nothing.
enum class Expect { DoneOrReported, SilentByDesign, WritesNothing };

struct Row {
    const wchar_t* file;
    const char* action;
    Expect expect;
    std::function<void()> setUp, act;  // act runs while the file cannot be written
};

class WriteFailures : public Launcher {
protected:
    std::map<std::wstring, std::string> Files() const {
        std::map<std::wstring, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() != L".exe") files[entry.path().filename().wstring()] = entry.is_directory() ? "<folder>" : *ReadBytes(entry.path().wstring());
        return files;
    }
    void StartVartune() {
        vartune = StartProgram(folder / L"Vartune.exe");
        vartuneWindow = WindowOf(vartune.get(), vartune::kCaption);
    }
    void PressInVartune(int button, int answer) {
        PostMessageW(GetDlgItem(vartuneWindow, button), BM_CLICK, 0, 0);
        for (std::wstring text; !(text = NextMessageBox(vartune.get(), answer)).empty();) vartuneMessages.push_back(text);
    }
    UniqueKernelHandle vartune;
    HWND vartuneWindow = nullptr;
    std::vector<std::wstring> vartuneMessages;
};

}  // namespace

TEST_F(WriteFailures, EveryWriteIsDoneOrNamesTheFileAndNoFileLosesWhatItHeld) {
    ASSERT_FALSE(CopyInto(folder, TestProgramFolder() + L"\\Vartune.exe").empty());
    const auto none = [] {};
    const Row rows[] = {
        {L"Varpick.ini", "first start (defaults)", Expect::SilentByDesign, none, [&] { Start(); }},
        {L"Mods.cfg", "first start (reads)", Expect::DoneOrReported, none, [&] { Start(); }},
        {L"Mods.cfg", "Add a Mod", Expect::DoneOrReported, [&] { Start(); }, [&] { AddMod(L"C:\\mods\\new.mdf"); }},
        {L"Mods.cfg", "Delete all mods", Expect::DoneOrReported, [&] { Start(); }, [] { Press(Main(), IDC_CMDDELETEALLMODS); }},
        {L"Varmoth.ini", "Set mod", Expect::DoneOrReported, [&] { Start(); Select(1); }, [] { Press(Main(), IDC_CMDSETMOD); }},
        {L"Varmoth.ini", "Set Varmoth", Expect::DoneOrReported, [&] { Start(); }, [] { Press(Main(), IDC_CMDSETVMT); }},
        {L"Varpick.ini", "Options OK", Expect::DoneOrReported, [&] { Start(); Press(Main(), IDC_CMDOPTIONS); Choose(GetDlgItem(Options(), IDC_CBOSKIN), 2); },
         [] { Press(Options(), IDC_OPTIONS_CMDOK); }},
        {L"Varpick.ini", "Options Apply", Expect::DoneOrReported, [&] { Start(); Press(Main(), IDC_CMDOPTIONS); Choose(GetDlgItem(Options(), IDC_CBOSKIN), 2); },
         [] { Press(Options(), IDC_CMDAPPLY); }},
        {L"vmtconfig.ini", "Vartune's load (defaults)", Expect::SilentByDesign, none, [&] { StartVartune(); }},
        {L"vmtconfig.ini", "Vartune's Apply", Expect::DoneOrReported, [&] { StartVartune(); Choose(GetDlgItem(vartuneWindow, vartune::kPresetBox), 0); },
         [&] { PressInVartune(vartune::kApplyButton, IDOK); }},
        {L"vmtconfig.ini", "Vartune's Reset", Expect::WritesNothing, [&] { StartVartune(); }, [&] { PressInVartune(vartune::kResetButton, IDYES); }},
    };
    std::string table = "\nfile           action                      fault           outcome\n";
    for (const Row& row : rows) {
        for (Fault fault : {Fault::Held, Fault::FolderInPlace}) {
            const char* faultName = fault == Fault::Held ? "held open" : "folder in place";
            SCOPED_TRACE(testing::Message() << ToAnsi(row.file).value_or("?") << ", " << row.action << ", " << faultName);
            for (const auto& [name, bytes] : kSeeds) WriteBytes(folder / name, row.expect == Expect::SilentByDesign && name == row.file ? "" : bytes);
            row.setUp();
            const auto before = Files();
            prompts.messages.clear(), vartuneMessages.clear();
            WhileUnwritable(folder / row.file, fault, row.act);
            std::vector<std::wstring> messages = prompts.messages;
            messages.insert(messages.end(), vartuneMessages.begin(), vartuneMessages.end());
            Quit();
            if (vartune) CloseProgram(vartune.get(), vartuneWindow), vartune.reset();
            const auto after = Files();
            const bool named = std::any_of(messages.begin(), messages.end(), [&](const std::wstring& text) { return text.find(folder / row.file) != std::wstring::npos; });
            const std::string outcome = after.at(row.file) != before.at(row.file) ? "done"
                                        : named                                   ? "reported, file unchanged"
                                        : row.expect == Expect::SilentByDesign    ? "not written, silent by design"
                                        : row.expect == Expect::WritesNothing     ? "writes nothing (Apply writes)"
                                                                                  : "FALSE SUCCESS";
            EXPECT_NE(outcome, "FALSE SUCCESS");
            EXPECT_EQ(row.expect == Expect::WritesNothing, outcome.starts_with("writes nothing")) << outcome;
            for (const auto& [name, bytes] : before)
                EXPECT_TRUE(name == row.file && outcome == "done" ? true : after.at(name) == bytes) << ToAnsi(name).value_or("?") << " lost what it held";
            EXPECT_EQ(after.size(), before.size()) << "no temporary file left behind";
            char line[160];
            std::snprintf(line, sizeof line, "%-14s %-27s %-15s %s\n", ToAnsi(row.file).value_or("?").c_str(), row.action, faultName, outcome.c_str());
            table += line;
        }
    }
    std::cout << table;
}
