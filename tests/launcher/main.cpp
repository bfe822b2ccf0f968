// The launcher tests, and the child process that the crash-safety test kills.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

int RunSaveLoop(const char* folder);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--save-loop") == 0) return RunSaveLoop(argv[2]);
    // Stand-ins started by the tests write their report and end without showing anything.
    SetEnvironmentVariableW(L"MOTHVAR_STANDIN_QUIET", L"1");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
