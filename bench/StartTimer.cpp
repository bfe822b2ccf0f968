// Times how long programs take from their start until their first window waits for input.
// The programs are started in turn, round after round, so that the machine's changing load falls
// on all of them alike. Prints a line of names, then one line of milliseconds per round.
//   StartTimer <rounds> <name>=<program> ...   (each program starts in its own folder)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "win32/UniqueHandle.h"

namespace {

struct Program {
    std::wstring name;
    std::wstring path;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// From the start to the moment the program first waits for input with nothing left to do; then
// it is ended. Negative when it did not start or never became idle.
double TimeToIdle(const Program& program) {
    const std::wstring folder = program.path.substr(0, program.path.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, idle;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return -1;
    UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    const DWORD waited = WaitForInputIdle(processHandle.get(), 30000);
    QueryPerformanceCounter(&idle);
    TerminateProcess(processHandle.get(), 0);
    WaitForSingleObject(processHandle.get(), INFINITE);
    return waited == 0 ? Milliseconds(start, idle) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: StartTimer <rounds> <name>=<program> ...\n", stderr);
        return 2;
    }
    const int rounds = _wtoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const size_t equals = argument.find(L'=');
        programs.push_back({argument.substr(0, equals), argument.substr(equals + 1)});
    }
    for (const Program& program : programs) std::printf("%ls\t", program.name.c_str());
    std::printf("\n");
    for (int round = 0; round <= rounds; ++round) {  // round 0 warms the caches and is not printed
        for (const Program& program : programs) {
            const double time = TimeToIdle(program);
            if (time < 0) {
                std::fprintf(stderr, "%ls did not start to an idle window\n", program.path.c_str());
                return 1;
            }
            if (round > 0) std::printf("%.2f\t", time);
        }
        if (round > 0) std::printf("\n");
    }
    return 0;
}
