#include <gtest/gtest.h>

#include <set>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

TEST(Catalogue, ReadsAndWritesNamesInTheCodePageAndALastLineWithoutEnd) {
    ScratchFolder folder;
    modMain::SetAppFolder(folder.path());
    WriteBytes(folder / L"Mods.cfg", "1\r\nCaf\xE9 mod\r\ncaf\xE9.mdf");
    modMain::CreateMods();
    EXPECT_FALSE(modMain::LoadMods().readError);
    ASSERT_EQ(modMain::iModCount, 1);
    EXPECT_EQ(modMain::Mods(1).sName(), L"Caf\u00E9 mod");
    EXPECT_EQ(modMain::Mods(1).Path(), L"caf\u00E9.mdf");
    EXPECT_THROW(modMain::Mods(1001), std::out_of_range);

    ASSERT_FALSE(modMain::SaveMods());
    EXPECT_EQ(ReadBytes(folder / L"Mods.cfg"), "1\r\nCaf\xE9 mod\r\ncaf\xE9.mdf\r\n");
    EXPECT_FALSE(PathExists(folder / L"Mods.cfg.tmp"));

    modMain::Mods(1).Path(L"\u6F22.mdf");
    const std::optional<FileError> refused = modMain::SaveMods();
    ASSERT_TRUE(refused) << "no '?' may reach the file";
    EXPECT_EQ(refused->code, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(NewModID, DrawsEveryPartOfZeroTo5499) {
    std::set<int> tenths;
    for (int i = 0; i < 20000; ++i) {
        const int id = modMain::NewModID();
        ASSERT_GE(id, 0);
        ASSERT_LE(id, 5499);
        tenths.insert(id / 550);
    }
    EXPECT_EQ(tenths.size(), 10u) << "draws should cover the whole range";
}
