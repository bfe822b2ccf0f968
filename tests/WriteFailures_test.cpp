// Every file Varpick writes, each action that writes it and each way a write fails here: the write
// is done or a message names the file, never a false success, and no file loses what it held.
// (Vartune's one file has its rows in Vartune's tests.)
#include <filesystem>
#include <iostream>

#include "launcher/Launcher.h"

namespace {

const std::map<std::wstring, std::string> kSeeds = {
    {L"Varpick.ini", "[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=1\r\n"}, {L"Mods.cfg", "12\r\n\r\na.mdf\r\n34\r\n\r\nb.mdf\r\n"},
    {L"Varmoth.ini", "[mods]\r\ncurrentmod=a.mdf\r\n"}};

// Silent is right only for the defaults a program writes unasked at start (their files are seeded
// empty).
enum class Expect { DoneOrReported, SilentDefaults };

class WriteFailures : public Launcher {
protected:
    std::map<std::wstring, std::string> Files() const {
        std::map<std::wstring, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() != L".exe") files[entry.path().filename()] = entry.is_directory() ? "<folder>" : *ReadBytes(entry.path().wstring());
        return files;
    }
};

}  // namespace

TEST_F(WriteFailures, EveryWriteIsDoneOrNamesTheFileAndNoFileLosesWhatItHeld) {
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
            const auto after = Files();
            const bool named = std::any_of(prompts.messages.begin(), prompts.messages.end(), [&](auto& text) { return text.find(folder / file) != std::wstring::npos; });
            const std::string outcome = after.at(file) != before.at(file) ? "done"
                                        : named                           ? "reported, file unchanged"
                                        : expect == Expect::SilentDefaults ? "not written, silent by design" : "FALSE SUCCESS";
            EXPECT_NE(outcome, "FALSE SUCCESS");
            for (const auto& [name, bytes] : before) EXPECT_TRUE((name == file && outcome == "done") || after.at(name) == bytes) << "lost what it held";
            EXPECT_EQ(after.size(), before.size()) << "no temporary file left behind";
            char line[160];
            std::snprintf(line, sizeof line, "%-14s %-27s %-15s %s\n", ToAnsi(file).value_or("?").c_str(), action, faultName, outcome.c_str());
            table += line;
        }
    }
    std::cout << table;
}
