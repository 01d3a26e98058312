#include <gtest/gtest.h>

#include "test_support.h"
#include "wad/wad_reader.h"
#include "wad/wad_writer.h"

namespace pelmora {
namespace {

using test::WadBytes;

class ImportTextureFileTest : public ::testing::Test {
protected:
    // A WAD project with three pages and a rest of its own.
    void SetUp() override {
        WadBytes first;
        first.version = 130;
        first.records = {TextureRecord{}, MakeRecord(0, 0, 16, 16, 2)};
        first.pages = {test::PatternPage(1), test::PatternPage(2), test::PatternPage(3)};
        first.rest = "first rest";
        test::WriteFile(dir.File("first.wad"), first.Build());
        ASSERT_TRUE(OpenTextureFile(project, dir.File("first.wad")).ok);
    }

    test::TempDir dir;
    Project project;
};

TEST_F(ImportTextureFileTest, ShiftsImportedRecordsBehindTheProjectsPages) {
    WadBytes second;
    second.version = 0x4D4C4550;  // a texture-only file goes into a WAD project
    second.records = {MakeRecord(9, 9, 9, 9, 0), MakeRecord(1, 0, 4, 4, 0),
                      MakeRecord(2, 0, 4, 4, 1), MakeRecord(3, 0, 4, 4, 2)};
    second.pages = {test::PatternPage(4), test::PatternPage(5), test::PatternPage(6)};
    second.rest = "second rest";
    test::WriteFile(dir.File("second.plm"), second.Build());

    ASSERT_TRUE(ImportTextureFile(project, dir.File("second.plm")).ok);
    ASSERT_EQ(project.RecordCount(), 5);
    EXPECT_EQ(project.records[2], MakeRecord(1, 0, 4, 4, 3));
    EXPECT_EQ(project.records[3], MakeRecord(2, 0, 4, 4, 4));
    EXPECT_EQ(project.records[4], MakeRecord(3, 0, 4, 4, 5));
    ASSERT_EQ(project.PageCount(), 6);
    EXPECT_EQ(project.pages.GetBitmap(5)->PackedRgb(), test::PatternPage(6));
    EXPECT_EQ(project.pagesInFile, 3);
    EXPECT_EQ(project.selectedTexture, 4);
    EXPECT_EQ(project.version, 130u);
    EXPECT_EQ(project.filePath, dir.File("first.wad"));

    // Saving writes the merged section followed by the first file's rest.
    ASSERT_TRUE(SaveProject(project).ok);
    WadBytes merged;
    merged.version = 130;
    merged.records = project.records;
    merged.pages = {test::PatternPage(1), test::PatternPage(2), test::PatternPage(3),
                    test::PatternPage(4), test::PatternPage(5), test::PatternPage(6)};
    merged.rest = "first rest";
    EXPECT_EQ(test::ReadFile(dir.File("first.wad")), merged.Build());
}

TEST_F(ImportTextureFileTest, PageNumbersWrapAtSixteenBits) {
    Project two;
    NewProject(two, dir.File("two.plm"));
    two.AddBlankPage();
    WadBytes second;
    second.records = {TextureRecord{}, MakeRecord(0, 0, 1, 1, 65535)};
    test::WriteFile(dir.File("second.wad"), second.Build());
    ASSERT_TRUE(ImportTextureFile(two, dir.File("second.wad")).ok);
    EXPECT_EQ(two.records.back().Page, 1);
}

TEST_F(ImportTextureFileTest, AFileWithOneOrNoRecordsAddsOnlyItsPages) {
    WadBytes one;
    one.records = {MakeRecord(1, 1, 1, 1, 0)};
    one.pages = {test::PatternPage(8)};
    test::WriteFile(dir.File("one.wad"), one.Build());
    ASSERT_TRUE(ImportTextureFile(project, dir.File("one.wad")).ok);
    EXPECT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(project.PageCount(), 4);

    WadBytes none;
    none.pages = {test::PatternPage(9), test::PatternPage(10)};
    test::WriteFile(dir.File("none.wad"), none.Build());
    ASSERT_TRUE(ImportTextureFile(project, dir.File("none.wad")).ok);
    EXPECT_EQ(project.RecordCount(), 2);
    ASSERT_EQ(project.PageCount(), 6);
    EXPECT_EQ(project.pages.GetBitmap(5)->PackedRgb(), test::PatternPage(10));
}

TEST_F(ImportTextureFileTest, RefusesBadFilesAndLeavesTheProjectAlone) {
    test::WriteFile(dir.File("bad.wad"), std::string("\x07\0\0\0", 4));
    const OpResult bad = ImportTextureFile(project, dir.File("bad.wad"));
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.message, kNotAWadMessage);
    EXPECT_EQ(project.filePath, dir.File("first.wad"));
    EXPECT_FALSE(ImportTextureFile(project, dir.File("missing.wad")).ok);
    EXPECT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(project.PageCount(), 3);

    Project closed;
    const OpResult none = ImportTextureFile(closed, dir.File("first.wad"));
    EXPECT_EQ(none.message,
              "Use open to select your first wad...\nthen click import to load your second\n"
              "wad's textures into your first one...");
}

}  // namespace
}  // namespace pelmora
