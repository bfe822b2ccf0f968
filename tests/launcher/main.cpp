// The launcher tests, and the child process that the crash-safety test kills.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "CrashSafety.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kSaveLoopSwitch) == 0) return RunSaveLoop(argv[2]);
    // Stand-in games started by the tests write their report and end, without a window.
    SetEnvironmentVariableW(L"MOTHVAR_STANDIN_QUIET", L"1");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
