#include "configurator/ConfigValues.h"

#include <gtest/gtest.h>

TEST(SelectionFromStored, StoredNumberMinusOneRoundedHalfToEven) {
    const struct {
        const wchar_t* stored;
        int items;
        int selection;
    } cases[] = {
        {L"1", 2, 0},    {L"2", 2, 1},     {L"5", 5, 4},     {L"0", 5, -1},    {L" 3 ", 3, 2},
        {L"2.4", 3, 1},  {L"2.5", 3, 2},   {L"3.5", 5, 2},   {L"1.5", 2, 0},   {L"0.5", 2, 0},
        {L"1.6", 2, 1},  {L"+2", 2, 1},    {L"02", 2, 1},    {L"-0.5", 2, -1},
        // Values that select no item of the list, or are no number at all, select nothing.
        {L"3", 2, -1},   {L"9", 2, -1},    {L"-1", 2, -1},   {L"6", 5, -1},    {L"abc", 2, -1},
        {L"", 2, -1},    {L"1x", 2, -1},   {L".", 2, -1},    {L"1e0", 2, -1},  {L"1,5", 2, -1},
        {L"99999999999999999999", 5, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.stored)));
        EXPECT_EQ(SelectionFromStored(c.stored, c.items), c.selection);
    }
}

TEST(StoredFromSelection, OneBasedDecimalAndZeroForNothing) {
    EXPECT_EQ(StoredFromSelection(0), L"1");
    EXPECT_EQ(StoredFromSelection(4), L"5");
    EXPECT_EQ(StoredFromSelection(-1), L"0");
}
