#include <gtest/gtest.h>

#include "test_support.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora {
namespace {

using test::PatternPage;
using test::WadBytes;

class ImportTextureFileTest : public ::testing::Test {
protected:
    // A WAD project with three pages and a rest of its own.
    void SetUp() override {
        test::WriteFile(dir.File("first.wad"),
                        WadBytes{.version = 130,
                                 .records = {TextureRecord{}, MakeRecord(0, 0, 16, 16, 2)},
                                 .pages = {PatternPage(1), PatternPage(2), PatternPage(3)},
                                 .rest = "first rest"}
                            .Build());
        ASSERT_TRUE(OpenTextureFile(project, dir.File("first.wad")).IsDone());
    }
    // Writes bytes as name in the test's folder and imports that into into.
    Outcome Import(Project& into, const std::string& name, const WadBytes& wad) {
        test::WriteFile(dir.File(name), wad.Build());
        return ImportTextureFile(into, dir.File(name));
    }
    Outcome Import(Project& into, const std::string& name, std::vector<TextureRecord> records,
                   std::vector<std::vector<uint8_t>> pages) {
        WadBytes wad;
        wad.records = std::move(records);
        wad.pages = std::move(pages);
        return Import(into, name, wad);
    }

    test::TempDir dir;
    Project project;
};

TEST_F(ImportTextureFileTest, ShiftsImportedRecordsBehindTheProjectsPages) {
    // A texture-only file goes into a WAD project.
    ASSERT_TRUE(Import(project, "second.plm",
                       {.version = kPelmMagic,
                        .records = {MakeRecord(9, 9, 9, 9, 0), MakeRecord(1, 0, 4, 4, 0),
                                    MakeRecord(2, 0, 4, 4, 1), MakeRecord(3, 0, 4, 4, 2)},
                        .pages = {PatternPage(4), PatternPage(5), PatternPage(6)},
                        .rest = "second rest"})
                    .IsDone());
    ASSERT_EQ(project.RecordCount(), 5);
    EXPECT_EQ(project.records[2], MakeRecord(1, 0, 4, 4, 3));
    EXPECT_EQ(project.records[3], MakeRecord(2, 0, 4, 4, 4));
    EXPECT_EQ(project.records[4], MakeRecord(3, 0, 4, 4, 5));
    ASSERT_EQ(project.PageCount(), 6);
    EXPECT_EQ(project.pages.GetBitmap(5)->PackedRgb(), PatternPage(6));
    EXPECT_EQ(project.pagesInFile, 3);
    EXPECT_EQ(project.selectedTexture, 4);
    EXPECT_EQ(project.version, 130u);
    EXPECT_EQ(project.filePath, dir.File("first.wad"));

    // Saving writes the merged section followed by the first file's rest.
    ASSERT_TRUE(SaveProject(project).IsDone());
    const WadBytes merged{.version = 130,
                          .records = project.records,
                          .pages = {PatternPage(1), PatternPage(2), PatternPage(3), PatternPage(4),
                                    PatternPage(5), PatternPage(6)},
                          .rest = "first rest"};
    EXPECT_EQ(test::ReadFile(dir.File("first.wad")), merged.Build());
}

TEST_F(ImportTextureFileTest, PageNumbersWrapAtSixteenBits) {
    Project two;
    NewProject(two, dir.File("two.plm"));
    two.AddBlankPage();
    ASSERT_TRUE(
        Import(two, "second.wad", {TextureRecord{}, MakeRecord(0, 0, 1, 1, 65535)}, {}).IsDone());
    EXPECT_EQ(two.records.back().Page, 1);
}

TEST_F(ImportTextureFileTest, AFileWithOneOrNoRecordsAddsOnlyItsPages) {
    ASSERT_TRUE(Import(project, "one.wad", {MakeRecord(1, 1, 1, 1, 0)}, {PatternPage(8)}).IsDone());
    EXPECT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(project.PageCount(), 4);

    ASSERT_TRUE(Import(project, "none.wad", {}, {PatternPage(9), PatternPage(10)}).IsDone());
    EXPECT_EQ(project.RecordCount(), 2);
    ASSERT_EQ(project.PageCount(), 6);
    EXPECT_EQ(project.pages.GetBitmap(5)->PackedRgb(), PatternPage(10));
}

TEST_F(ImportTextureFileTest, RefusesBadFilesAndLeavesTheProjectAlone) {
    test::WriteFile(dir.File("bad.wad"), std::string("\x07\0\0\0", 4));
    const Outcome bad = ImportTextureFile(project, dir.File("bad.wad"));
    EXPECT_FALSE(bad.IsDone());
    EXPECT_EQ(bad.message, kNotAWadMessage);
    EXPECT_EQ(project.filePath, dir.File("first.wad"));
    EXPECT_FALSE(ImportTextureFile(project, dir.File("missing.wad")).IsDone());
    EXPECT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(project.PageCount(), 3);

    Project closed;
    const Outcome none = ImportTextureFile(closed, dir.File("first.wad"));
    EXPECT_EQ(none.message,
              "Use open to select your first wad...\nthen click import to load your second\n"
              "wad's textures into your first one...");
}

}  // namespace
}  // namespace pelmora
