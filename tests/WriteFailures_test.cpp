// Every file Varpick writes, each action that writes it and each way a write fails: done or a message
// names the file, never a false success, and no file loses what it held. A write replaces the file in
// one step by a copy flushed first; a passing hold, met by the start's reads too, is waited out.
#include <algorithm>
#include <filesystem>

#include "launcher/Launcher.h"
#include "profile/FileIO.h"

namespace {

const std::map<std::wstring, std::string> kSeeds = {
    {L"Varpick.ini", "[Main]\r\nVarmothPath=C:\\M.exe\r\nSkin=3\r\n"},
    {L"Mods.cfg", "12\r\n\r\na.mdf\r\n34\r\n\r\nb.mdf\r\n"}, {L"Varmoth.ini", "[mods]\r\ncurrentmod=a.mdf\r\n"}};

// What is right: done or told; for defaults written unasked at start (seeded empty), either, silently;
// for a start that only reads, no file changed.
enum class Expect { DoneOrReported, SilentDefaults, Unchanged };

class WriteFailures : public Launcher {
protected:
    // Each file's bytes; with ".old", those of the link made to it before the action.
    std::map<std::wstring, std::string> Files(const wchar_t* suffix = L"") const {
        std::map<std::wstring, std::string> files;
        for (const auto& [name, seed] : kSeeds)
            files[name] = std::filesystem::is_directory(folder / name) ? "<folder>" : ReadBytes(folder / name + suffix).value_or("<none>");
        return files;
    }
};

}  // namespace

TEST_F(WriteFailures, EveryWriteIsDoneOrNamesTheFileAndNoFileLosesWhatItHeld) {
    const std::function<void()> start = [&] { Start(); }, options = [&] { Start(); Press(Main(), IDC_CMDOPTIONS); Choose(GetDlgItem(Options(), IDC_CBOSKIN), 2); };
    // file, action, what is right, set-up, act
    const std::tuple<const wchar_t*, const char*, Expect, std::function<void()>, std::function<void()>> rows[] = {
        {L"Varpick.ini", "first start (defaults)", Expect::SilentDefaults, [] {}, start},
        {L"Mods.cfg", "start (reads)", Expect::Unchanged, [] {}, start},
        {L"Varpick.ini", "start (reads)", Expect::Unchanged, [] {}, start},
        {L"Mods.cfg", "Add a Mod", Expect::DoneOrReported, start, [&] { AddMod(L"C:\\mods\\new.mdf"); }},
        {L"Mods.cfg", "Delete all mods", Expect::DoneOrReported, start, [] { Press(Main(), IDC_CMDDELETEALLMODS); }},
        {L"Varmoth.ini", "Set mod", Expect::DoneOrReported, [&] { Start(); Select(1); }, [] { Press(Main(), IDC_CMDSETMOD); }},
        {L"Varpick.ini", "Options Apply", Expect::DoneOrReported, options, [] { Press(Options(), IDC_CMDAPPLY); }},
    };
    for (const auto& [file, action, expect, setUp, act] : rows) {
        for (Fault fault : {Fault::None, Fault::Held, Fault::FolderInPlace, Fault::Passing}) {
            SCOPED_TRACE(testing::Message() << ToAnsi(file).value_or("?") << ", " << action << ", fault "
                                            << static_cast<int>(fault) << " (none, held, folder, passing hold)");
            const bool writable = fault == Fault::None || fault == Fault::Passing;  // a passing hold is waited out
            std::map<std::wstring, std::string> before;
            bool tested = false;
            for (int attempt = 0; attempt < 5 && !tested; ++attempt) {  // a loaded machine may spoil a passing hold
            for (const auto& [name, bytes] : kSeeds) WriteBytes(folder / name, expect == Expect::SilentDefaults && name == file ? "" : bytes);
                setUp();
                before = Files();
                for (const auto& [name, bytes] : before) {
                    DeleteFileW((folder / name + L".old").c_str());
                    CreateHardLinkW((folder / name + L".old").c_str(), (folder / name).c_str(), nullptr);
                }
                prompts.messages.clear();
                prompts.recycled.clear();
                FlushedFiles().clear();
                tested = WhileUnwritable(folder / file, fault, act);
                Quit();
            }
            ASSERT_TRUE(tested) << "the machine was too busy to hold the file as a virus checker does";
            const auto after = Files(), linked = Files(L".old");
            const bool named = std::ranges::any_of(
                prompts.messages, [&](const std::wstring& text) { return text.find(folder / file) != text.npos; });
            const bool changed = after.at(file) != before.at(file), reads = expect == Expect::Unchanged;
            EXPECT_TRUE(reads || changed || (!writable && (named || expect == Expect::SilentDefaults)))
                << "a false success: not written where nothing stops it, nor told (defaults: silently)";
            EXPECT_TRUE(!reads || !writable || (modMain::sVarmothPath == L"C:\\M.exe" && modMain::iSkin == 3))
                << "the start used the settings it read once the hold passed, not the defaults";
            EXPECT_TRUE(prompts.messages.empty() || !writable) << ToAnsi(prompts.messages[0]).value_or("?");
            for (const auto& [name, bytes] : before) {  // changed only by its action, and then replaced
                const bool flushed = std::ranges::count(FlushedFiles(), TemporaryFileFor(folder / name)) > 0;
                const bool replaced = linked.at(name) == bytes && flushed && after.at(name) != "<none>";
                const bool recycled = after.at(name) == "<none>" && std::ranges::count(prompts.recycled, folder / name);
                EXPECT_TRUE(after.at(name) == bytes || (!reads && (name == file || writable) && (replaced || recycled)))
                    << ToAnsi(name).value_or("?") << ": lost what it held, or rewritten in place, or not flushed first";
                EXPECT_FALSE(ReadBytes(TemporaryFileFor(folder / name))) << "no temporary file left behind";
            }
        }
    }
}
