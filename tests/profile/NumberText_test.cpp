#include "profile/NumberText.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseInt16, AcceptsWholeSixteenBitNumbersOnly) {
    const struct {
        const wchar_t* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {L"0", 0},         {L"4021", 4021},     {L"-5", -5},         {L"+7", 7},
        {L"  12\t", 12},   {L"007", 7},         {L"32767", 32767},   {L"-32768", -32768},
        {L"32768", {}},    {L"-32769", {}},     {L"99999999999", {}}, {L"", {}},
        {L"  ", {}},       {L"-", {}},          {L"1.0", {}},        {L"12a", {}},
        {L"1 2", {}},      {L"0x10", {}},       {L"\u0661", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(ParseInt16(c.text), c.value);
    }
}
