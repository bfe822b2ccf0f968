// Times adding a mod to a catalogue of 999 (the whole crash-safe rewrite of Mods.cfg) against a
// plain write of the same bytes, alternately, round after round, in the given folder. Prints a
// line of names, then one line of milliseconds per round.
//   SaveTimer <folder> <rounds>
#include <windows.h>

#include <cstdio>
#include <string>

#include "launcher/FileIO.h"
#include "launcher/modMain.h"
#include "win32/UniqueHandle.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void AddMod(int number) {
    cMod& mod = modMain::Mods(modMain::NextModIndex());
    mod.Path(L"Mod number " + std::to_wstring(number) + L".mdf");
    mod.iID(modMain::NewModID());
}

bool PlainWrite(const std::wstring& path, const std::string& bytes) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
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
    std::printf("add\tplain\n");
    for (int round = 0; round <= _wtoi(argv[2]); ++round) {  // round 0 warms the caches and is not printed
        LARGE_INTEGER addStart, added, plainStart, written;
        QueryPerformanceCounter(&addStart);
        AddMod(1000);
        const bool saved = !modMain::SaveMods();
        QueryPerformanceCounter(&added);
        const std::string bytes = ReadWholeFile(modMain::AppFile(L"Mods.cfg")).bytes;
        --modMain::iModCount;  // back to 999 for the next round
        QueryPerformanceCounter(&plainStart);
        const bool wrote = PlainWrite(modMain::AppFile(L"Plain.cfg"), bytes);
        QueryPerformanceCounter(&written);
        if (!saved || !wrote) return 1;
        if (round > 0) std::printf("%.3f\t%.3f\n", Milliseconds(addStart, added), Milliseconds(plainStart, written));
    }
    return 0;
}
