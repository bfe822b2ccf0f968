// Times the programs' saves against a durable replace of the same bytes done here (written to a
// temporary file beside the target, flushed and renamed over it: what any crash-safe save must
// do at least), alternately, round after round, in the given folder:
//   add    adding a mod to a catalogue of 999 (Mods.cfg rewritten)
//   setmod Set mod's write of the game's current mod into a Varmoth.ini of the game's
//   apply  Vartune's Apply Changes, its seven keys in one replacement of vmtconfig.ini
// Prints a line of names, then one line of milliseconds per round.
//   SaveTimer <folder> <rounds>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "launcher/modMain.h"
#include "profile/FileIO.h"
#include "profile/Profile.h"
#include "win32/UniqueHandle.h"

namespace {

double Milliseconds(const std::function<bool()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool done = work();
    QueryPerformanceCounter(&end);
    return done ? 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) : -1;
}

void AddMod(int number) {
    cMod& mod = modMain::Mods(modMain::NextModIndex());
    mod.Path(L"Mod number " + std::to_wstring(number) + L".mdf");
    mod.iID(modMain::NewModID());
}

bool DurableReplace(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L".new";
    {
        UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get()))
            return false;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// The save, then a durable replace of the bytes it left in `file`, into a file of the bench's own.
void TimeAgainstDurable(const std::wstring& file, const std::function<bool()>& save, bool print) {
    const double saved = Milliseconds(save);
    const std::string bytes = ReadWholeFile(file).bytes;
    const double durable = Milliseconds([&] { return DurableReplace(file + L".bench", bytes); });
    if (saved < 0 || durable < 0) std::exit(1);
    if (print) std::printf("%.3f\t%.3f\t", saved, durable);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: SaveTimer <folder> <rounds>\n", stderr);
        return 2;
    }
    modMain::SetAppFolder(argv[1]);
    modMain::CreateMods();
    for (int number = 1; number <= 999; ++number) AddMod(number);
    if (modMain::SaveMods()) return 1;
    const std::wstring game = modMain::GameIniFile(), config = modMain::AppFile(L"vmtconfig.ini");
    const char* gameText = "[video]\r\ngamma=1.2\r\nwidth=1024\r\nheight=768\r\n[sound]\r\nvolume=80\r\n[mods]\r\nCurrentmod=main\r\n[player]\r\nname=Moth\r\n";
    if (!DurableReplace(game, gameText) || !DurableReplace(config, std::string(gameText) + "[options]\r\n")) return 1;

    std::printf("add\tadd_durable\tsetmod\tsetmod_durable\tapply\tapply_durable\n");
    for (int round = 0; round <= _wtoi(argv[2]); ++round) {  // round 0 warms the caches and is not printed
        TimeAgainstDurable(modMain::AppFile(L"Mods.cfg"), [] { AddMod(1000); return !modMain::SaveMods(); }, round > 0);
        --modMain::iModCount;  // back to 999 for the next round
        const std::wstring mod = round % 2 ? L"Night Moths.mdf" : L"Crimson Dusk.mdf";
        TimeAgainstDurable(game, [&] { return AddToINI(L"mods", L"Currentmod", mod, game); }, round > 0);
        TimeAgainstDurable(config, [&] {
            IniEdit edit(config);
            for (const wchar_t* key : {L"performence", L"bit", L"resoultion", L"screen", L"intro", L"sound", L"music"})
                edit.Set(L"options", key, round % 2 ? L"1" : L"2");
            return edit.Save();
        }, round > 0);
        if (round > 0) std::printf("\n");
    }
    return 0;
}
