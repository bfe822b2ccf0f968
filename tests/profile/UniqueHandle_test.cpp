#include "profile/UniqueHandle.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

// An unshared open file blocks every other open: that shows whether a handle is still open.
TEST(UniqueHandle, ClosesExactlyWhenItShould) {
    ScratchFolder folder;
    const std::wstring file = folder / L"f";
    auto open = [&] { return UniqueFileHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)); };

    UniqueFileHandle failed(CreateFileW((folder / L"none\\x").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(failed) << "INVALID_HANDLE_VALUE is no handle";

    UniqueFileHandle first = open();
    ASSERT_TRUE(first);
    UniqueFileHandle moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_FALSE(open()) << "moving must not close";
    moved.reset();
    EXPECT_TRUE(open()) << "reset and leaving the scope must close";

    UniqueFileHandle kept = open();
    HANDLE raw = kept.release();
    EXPECT_FALSE(open()) << "release must not close";
    CloseHandle(raw);

    UniqueHKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
}
