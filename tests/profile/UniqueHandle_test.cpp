#include "profile/UniqueHandle.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {
UniqueFileHandle OpenForWrite(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
}
}  // namespace

TEST(UniqueHandle, FailedCreateFileIsNoHandleAndClosingReleasesTheFile) {
    ScratchFolder folder;
    UniqueFileHandle missing(CreateFileW((folder / L"none\\x").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);

    UniqueFileHandle first = OpenForWrite(folder / L"f");
    ASSERT_TRUE(first);
    EXPECT_FALSE(OpenForWrite(folder / L"f")) << "an unshared open file must block a second open";

    UniqueFileHandle moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_FALSE(OpenForWrite(folder / L"f")) << "moving must not close";

    moved.reset();
    EXPECT_TRUE(OpenForWrite(folder / L"f")) << "reset must close";

    {
        UniqueFileHandle scoped = OpenForWrite(folder / L"g");
        ASSERT_TRUE(scoped);
    }
    EXPECT_TRUE(OpenForWrite(folder / L"g")) << "leaving the scope must close";

    UniqueFileHandle kept = OpenForWrite(folder / L"h");
    HANDLE raw = kept.release();
    EXPECT_FALSE(kept);
    EXPECT_FALSE(OpenForWrite(folder / L"h")) << "release must not close";
    CloseHandle(raw);
}

TEST(UniqueHandle, OutParameterAndNullInvalidKinds) {
    UniqueHKey key;
    EXPECT_FALSE(key);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
    EXPECT_NE(key.get(), nullptr);

    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_TRUE(event);
    UniqueKernelHandle none;
    EXPECT_EQ(none.get(), nullptr);
}
