#include "launcher/ModsFormat.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> Paths(const ParsedCatalogue& parsed) {
    std::vector<std::wstring> paths;
    for (const cMod& mod : parsed.entries) paths.push_back(mod.Path());
    return paths;
}

std::wstring Entries(int count) {
    std::wstring text;
    for (int i = 1; i <= count; ++i) text += std::to_wstring(i) + L"\r\n\r\nm" + std::to_wstring(i) + L".mdf\r\n";
    return text;
}

}  // namespace

TEST(ParseCatalogue, ReadsEntriesOfThreeLinesWithAnyLineEnd) {
    const ParsedCatalogue example = ParseCatalogue(L"12\r\n\r\na.mdf\r\n5400\r\n\r\nb.mdf\r\n", 1000);
    ASSERT_EQ(example.entries.size(), 2u);
    EXPECT_EQ(example.entries[0].iID(), 12);
    EXPECT_EQ(example.entries[0].sName(), L"");
    EXPECT_EQ(example.entries[0].Path(), L"a.mdf");
    EXPECT_EQ(example.entries[1].iID(), 5400);
    EXPECT_EQ(example.entries[1].Path(), L"b.mdf");
    EXPECT_FALSE(example.bTruncated);

    const std::vector<std::wstring> ab = {L"a.mdf", L"b.mdf"};
    EXPECT_EQ(Paths(ParseCatalogue(L"12\r\n\r\na.mdf\r\n5400\r\n\r\nb.mdf", 1000)), ab) << "last line without end";
    EXPECT_EQ(Paths(ParseCatalogue(L"12\n\na.mdf\n5400\n\nb.mdf\n", 1000)), ab) << "LF only";
    EXPECT_EQ(Paths(ParseCatalogue(L"12\r\n\r\na.mdf\n5400\n\r\nb.mdf", 1000)), ab) << "mixed";

    const ParsedCatalogue named = ParseCatalogue(L"1\r\nMy Mod\r\nsub dir\\x.mdf\r\n", 1000);
    ASSERT_EQ(named.entries.size(), 1u);
    EXPECT_EQ(named.entries[0].sName(), L"My Mod");
    EXPECT_EQ(named.entries[0].Path(), L"sub dir\\x.mdf");

    EXPECT_TRUE(ParseCatalogue(L"", 1000).entries.empty());
}

TEST(ParseCatalogue, CopesWithDamagedFiles) {
    // A blank line after the last entry, or a cut-off last entry, is an incomplete entry: dropped.
    EXPECT_EQ(Paths(ParseCatalogue(L"12\r\n\r\na.mdf\r\n\r\n", 1000)), std::vector<std::wstring>{L"a.mdf"});
    EXPECT_EQ(Paths(ParseCatalogue(L"12\r\n\r\na.mdf\r\n7\r\n\r\n", 1000)), std::vector<std::wstring>{L"a.mdf"});
    EXPECT_TRUE(ParseCatalogue(L"12\r\n", 1000).entries.empty());

    // IDs that are no 16-bit whole number become 0; the entry itself is kept.
    const ParsedCatalogue badIds = ParseCatalogue(L"abc\r\n\r\na.mdf\r\n70000\r\n\r\nb.mdf\r\n\r\n\r\nc.mdf\r\n", 1000);
    ASSERT_EQ(badIds.entries.size(), 3u);
    for (const cMod& mod : badIds.entries) EXPECT_EQ(mod.iID(), 0);

    // A lone CR is no line end; it stays part of the text.
    const ParsedCatalogue loneCr = ParseCatalogue(L"1\r\n\r\na\rb.mdf\r\n", 1000);
    ASSERT_EQ(loneCr.entries.size(), 1u);
    EXPECT_EQ(loneCr.entries[0].Path(), L"a\rb.mdf");
}

TEST(ParseCatalogue, StopsAtCapacityAndSaysWhenMoreFollowed) {
    const ParsedCatalogue exactly = ParseCatalogue(Entries(1000), 1000);
    EXPECT_EQ(exactly.entries.size(), 1000u);
    EXPECT_FALSE(exactly.bTruncated);

    const ParsedCatalogue trailingBlank = ParseCatalogue(Entries(1000) + L"\r\n", 1000);
    EXPECT_FALSE(trailingBlank.bTruncated) << "an incomplete entry is not a further mod";

    const ParsedCatalogue more = ParseCatalogue(Entries(1003), 1000);
    ASSERT_EQ(more.entries.size(), 1000u);
    EXPECT_TRUE(more.bTruncated);
    EXPECT_EQ(more.entries.back().Path(), L"m1000.mdf");
}

TEST(FormatCatalogue, WritesThreeCrLfLinesPerEntryAndReadsBack) {
    cMod entries[2];
    entries[0].iID(4021);
    entries[0].Path(L"mymod.mdf");
    entries[1].iID(-3);
    entries[1].sName(L"Named");
    entries[1].Path(L"b.mdf");
    const std::wstring text = FormatCatalogue(entries, 2);
    EXPECT_EQ(text, L"4021\r\n\r\nmymod.mdf\r\n-3\r\nNamed\r\nb.mdf\r\n");
    EXPECT_EQ(FormatCatalogue(entries, 0), L"");

    const ParsedCatalogue back = ParseCatalogue(text, 1000);
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0], entries[0]);
    EXPECT_EQ(back.entries[1], entries[1]);
}
