#include "profile/AnsiText.h"

#include <windows.h>

#include <gtest/gtest.h>

// The test prefix runs in code page 1252, like a western Windows installation.
TEST(AnsiText, TextOfTheCodePageRoundTripsByteForByte) {
    ASSERT_EQ(GetACP(), 1252u);
    const std::wstring text = L"mod caf\u00E9 \u20AC5 M\u00FCnchen.mdf";
    const std::optional<std::string> bytes = ToAnsi(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "mod caf\xE9 \x80" "5 M\xFCnchen.mdf");
    EXPECT_EQ(FromAnsi(*bytes), text);
    EXPECT_EQ(ToAnsi(L""), std::string());
}

TEST(AnsiText, TextTheCodePageCannotHoldIsRefusedNotReplaced) {
    // Each of these would otherwise reach the file as '?' or as a look-alike letter.
    for (const wchar_t* text : {L"\u6F22.mdf", L"\u0101bc.mdf", L"x\U0001F600.mdf", L"\u0416"}) {
        SCOPED_TRACE(testing::Message() << "text " << ::testing::PrintToString(std::wstring(text)));
        EXPECT_FALSE(ToAnsi(text));
        EXPECT_FALSE(FitsAnsi(text));
    }
}
