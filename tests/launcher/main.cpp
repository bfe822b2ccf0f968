// The launcher tests, and the child process that the crash-safety test kills.
#include <gtest/gtest.h>

#include <cstring>

#include "CrashSafety.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kSaveLoopSwitch) == 0) return RunSaveLoop(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
