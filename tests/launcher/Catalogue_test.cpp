#include <gtest/gtest.h>

#include <set>

#include "launcher/modMain.h"
#include "support/TestSupport.h"

namespace {

const std::string kExample = "12\r\n\r\na.mdf\r\n5400\r\n\r\nb.mdf\r\n";

class Catalogue : public testing::Test {
protected:
    void SetUp() override { modMain::SetAppFolder(folder.path()); }
    std::wstring ModsFile() const { return folder / L"Mods.cfg"; }

    // Loads as the main window does at start-up.
    modMain::ModsLoad Load() {
        modMain::CreateMods();
        return modMain::LoadMods();
    }

    void Add(const std::wstring& path) {
        cMod& mod = modMain::Mods(modMain::NextModIndex());
        mod.iID(modMain::NewModID());
        mod.Path(path);
    }

    ScratchFolder folder;
};

}  // namespace

TEST_F(Catalogue, FirstStartCreatesAnEmptyCatalogue) {
    const modMain::ModsLoad load = Load();
    EXPECT_EQ(modMain::iModCount, 0);
    EXPECT_EQ(ReadBytes(ModsFile()), std::string());
    EXPECT_FALSE(load.readError);
    EXPECT_FALSE(load.bTruncated);
    EXPECT_EQ(load.sCurrentMod, L"");
    EXPECT_FALSE(PathExists(folder / L"Varmoth.ini")) << "reading the current mod creates no file";
}

TEST_F(Catalogue, ExampleRoundTripsWithAnAddition) {
    WriteBytes(ModsFile(), kExample);
    Load();
    ASSERT_EQ(modMain::iModCount, 2);
    EXPECT_EQ(modMain::Mods(1).iID(), 12);
    EXPECT_EQ(modMain::Mods(1).Path(), L"a.mdf");
    EXPECT_EQ(modMain::Mods(2).iID(), 5400);
    EXPECT_EQ(modMain::Mods(2).Path(), L"b.mdf");

    Add(L"cool.mdf");
    ASSERT_FALSE(modMain::SaveMods());
    const std::string expectedStart = kExample + std::to_string(modMain::Mods(3).iID()) + "\r\n\r\ncool.mdf\r\n";
    EXPECT_EQ(*ReadBytes(ModsFile()), expectedStart);
    EXPECT_FALSE(PathExists(ModsFile() + L".tmp"));
}

TEST_F(Catalogue, LastLineWithoutLineEndAndNamesInTheCodePage) {
    WriteBytes(ModsFile(), "1\r\nCaf\xE9 mod\r\ncaf\xE9.mdf");
    Load();
    ASSERT_EQ(modMain::iModCount, 1);
    EXPECT_EQ(modMain::Mods(1).sName(), L"Caf\u00E9 mod");
    EXPECT_EQ(modMain::Mods(1).Path(), L"caf\u00E9.mdf");
    ASSERT_FALSE(modMain::SaveMods());
    EXPECT_EQ(*ReadBytes(ModsFile()), "1\r\nCaf\xE9 mod\r\ncaf\xE9.mdf\r\n");
}

TEST_F(Catalogue, MoreThanAThousandEntriesAreCutAndReported) {
    std::string text;
    for (int i = 1; i <= 1002; ++i) text += std::to_string(i) + "\r\n\r\nm" + std::to_string(i) + ".mdf\r\n";
    WriteBytes(ModsFile(), text);
    const modMain::ModsLoad load = Load();
    EXPECT_TRUE(load.bTruncated);
    EXPECT_EQ(modMain::iModCount, 1000);
    EXPECT_EQ(modMain::Mods(1000).Path(), L"m1000.mdf");
    EXPECT_THROW(modMain::Mods(1001), std::out_of_range);
    EXPECT_THROW(modMain::Mods(0), std::out_of_range);
}

TEST_F(Catalogue, CurrentModIsFoundWhateverTheLetterCase) {
    WriteBytes(folder / L"VARMOTH.INI", "[MODS]\r\nCurrentMod=main\r\n");
    EXPECT_EQ(Load().sCurrentMod, L"main");
}

TEST_F(Catalogue, AnUnreadableCatalogueIsNeverOverwritten) {
    WriteBytes(ModsFile(), kExample);
    {
        UniqueFileHandle held = HoldExclusively(ModsFile());
        ASSERT_TRUE(held);
        const modMain::ModsLoad load = Load();
        ASSERT_TRUE(load.readError);
        EXPECT_EQ(load.readError->sFile, ModsFile());
        EXPECT_EQ(load.readError->code, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(modMain::iModCount, 0);
        EXPECT_TRUE(modMain::ModsFileProtected());
    }
    // The other program has let go, but the catalogue in memory is still empty: a save now would
    // wipe the two mods in the file.
    Add(L"new.mdf");
    EXPECT_TRUE(modMain::SaveMods());
    EXPECT_EQ(*ReadBytes(ModsFile()), kExample);

    // Once the user has deleted the file on purpose, saving is fine again.
    EXPECT_FALSE(modMain::DeleteModsFile());
    EXPECT_FALSE(modMain::ModsFileProtected());
    Add(L"new.mdf");
    EXPECT_FALSE(modMain::SaveMods());
    EXPECT_EQ(modMain::iModCount, 1);
}

TEST_F(Catalogue, AFolderInPlaceOfTheCatalogueIsReportedAtLoad) {
    ASSERT_TRUE(CreateDirectoryW(ModsFile().c_str(), nullptr));
    const modMain::ModsLoad load = Load();
    ASSERT_TRUE(load.readError);
    EXPECT_NE(load.readError->Describe().find(L"Mods.cfg"), std::wstring::npos);
    EXPECT_EQ(modMain::iModCount, 0);
}

TEST_F(Catalogue, AFailedSaveLeavesTheOldFileWholeAndSaysWhy) {
    WriteBytes(ModsFile(), kExample);
    Load();
    Add(L"c.mdf");
    {
        UniqueFileHandle held = HoldExclusively(ModsFile());
        ASSERT_TRUE(held);
        const std::optional<FileError> failed = modMain::SaveMods();
        ASSERT_TRUE(failed) << "a file held open by another program cannot be replaced";
        EXPECT_EQ(failed->sFile, ModsFile());
        EXPECT_NE(failed->code, 0u);
    }
    EXPECT_EQ(*ReadBytes(ModsFile()), kExample);
    EXPECT_FALSE(PathExists(ModsFile() + L".tmp"));

    // A folder put where the file was.
    ASSERT_TRUE(DeleteFileW(ModsFile().c_str()));
    ASSERT_TRUE(CreateDirectoryW(ModsFile().c_str(), nullptr));
    EXPECT_TRUE(modMain::SaveMods());
    EXPECT_FALSE(PathExists(ModsFile() + L".tmp"));
}

TEST_F(Catalogue, NamesTheCodePageCannotHoldAreRefusedWhole) {
    WriteBytes(ModsFile(), kExample);
    Load();
    Add(L"\u6F22.mdf");
    const std::optional<FileError> failed = modMain::SaveMods();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->code, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(*ReadBytes(ModsFile()), kExample);
}

TEST_F(Catalogue, DeleteRemovesTheFileAndEmptiesTheCatalogue) {
    WriteBytes(ModsFile(), kExample);
    Load();
    {
        UniqueFileHandle held = HoldExclusively(ModsFile());
        ASSERT_TRUE(held);
        EXPECT_TRUE(modMain::DeleteModsFile());
        EXPECT_EQ(modMain::iModCount, 2) << "the list must keep matching the file that is still there";
    }
    EXPECT_FALSE(modMain::DeleteModsFile());
    EXPECT_EQ(modMain::iModCount, 0);
    EXPECT_FALSE(PathExists(ModsFile()));
    EXPECT_FALSE(modMain::DeleteModsFile()) << "a missing file is no error";

    Add(L"only.mdf");
    ASSERT_FALSE(modMain::SaveMods());
    EXPECT_EQ(*ReadBytes(ModsFile()), std::to_string(modMain::Mods(1).iID()) + "\r\n\r\nonly.mdf\r\n");
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
