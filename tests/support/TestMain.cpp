// The test programs' entry: runs the tests or, started by a kill test as
// "<test program> --loop <name> <folder>", one of the save loops that test interrupts.
#include <gtest/gtest.h>

#include "TestSupport.h"

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--loop") {
        SaveLoops().at(argv[2])(argv[3]);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
