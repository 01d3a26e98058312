#include "wad/wad_reader.h"

#include <gtest/gtest.h>

#include <climits>

#include "store/file_util.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::WadBytes;

TEST(OpenTextureFile, ReadsRecordsPagesAndKeepsTheRest) {
    test::TempDir dir;
    WadBytes wad;
    wad.version = 130;
    wad.records = {TextureRecord{}, MakeRecord(1, 2, 3, 4, 1),
                   MakeRecord(0, 0, 256, 256, 0, 0, -1)};
    wad.pages = {test::PatternPage(1), test::PatternPage(2)};
    wad.rest = "meshes and animations\0\1\2";
    test::WriteFile(dir.File("level.wad"), wad.Build());

    Project project;
    const OpResult result = OpenTextureFile(project, dir.File("level.wad"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(project.version, 130u);
    EXPECT_EQ(project.records, wad.records);
    ASSERT_EQ(project.PageCount(), 2);
    EXPECT_EQ(project.pagesInFile, 2);
    EXPECT_EQ(project.pages.GetBitmap(1)->PackedRgb(), test::PatternPage(2));
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), wad.rest);
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [level.wad] wad version 130");
    EXPECT_EQ(project.rememberedWadFolder, dir.Path() + "/");
    EXPECT_EQ(project.selectedTexture, 0);
    EXPECT_EQ(project.selectedPage, 0);
}

TEST(OpenTextureFile, TheFirstFileByteIsTheRedOfTheTopLeftPixel) {
    test::TempDir dir;
    WadBytes wad;
    wad.records = {TextureRecord{}};
    wad.pages = {std::vector<uint8_t>(kPageBytes, 0)};
    wad.pages[0][0] = 200;
    wad.pages[0][1] = 100;
    wad.pages[0][2] = 50;
    test::WriteFile(dir.File("a.wad"), wad.Build());
    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("a.wad")).ok);
    EXPECT_EQ(project.pages.GetBitmap(0)->PixelAt(0, 0), MakeColour(200, 100, 50));
}

TEST(OpenTextureFile, TheMagicDecidesTheKindNotTheExtension) {
    test::TempDir dir;
    WadBytes pelm;
    pelm.version = 0x4D4C4550;
    pelm.records = {TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)};
    pelm.pages = {test::PatternPage(0)};
    test::WriteFile(dir.File("x.wad"), pelm.Build());
    WadBytes wad = pelm;
    wad.version = 129;
    test::WriteFile(dir.File("y.plm"), wad.Build());

    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("x.wad")).ok);
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [x.wad] wad version PELM");
    ASSERT_TRUE(OpenTextureFile(project, dir.File("y.plm")).ok);
    EXPECT_EQ(project.version, 129u);
}

TEST(OpenTextureFile, MissingRecordsOrPagesMakeATextureOnlyProject) {
    test::TempDir dir;
    Project project;
    project.newPageColour = MakeColour(1, 2, 3);

    WadBytes noRecords;
    noRecords.pages = {test::PatternPage(1), test::PatternPage(2)};
    test::WriteFile(dir.File("a.wad"), noRecords.Build());
    ASSERT_TRUE(OpenTextureFile(project, dir.File("a.wad")).ok);
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.records, std::vector<TextureRecord>{TextureRecord{}});
    EXPECT_EQ(project.PageCount(), 2);

    WadBytes noPages;
    noPages.records = {TextureRecord{}, MakeRecord(5, 5, 5, 5, 0)};
    test::WriteFile(dir.File("b.wad"), noPages.Build());
    ASSERT_TRUE(OpenTextureFile(project, dir.File("b.wad")).ok);
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.RecordCount(), 2);
    ASSERT_EQ(project.PageCount(), 1);
    EXPECT_EQ(project.pagesInFile, 1);
    EXPECT_EQ(*project.pages.GetBitmap(0), Image(256, 256, MakeColour(1, 2, 3)));

    // Four bytes holding 129: no count, no size, nothing behind.
    test::WriteFile(dir.File("c.wad"), std::string("\x81\0\0\0", 4));
    ASSERT_TRUE(OpenTextureFile(project, dir.File("c.wad")).ok);
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.RecordCount(), 1);
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(FileSize(project.restOfFilePath), 0);
}

TEST(OpenTextureFile, BytesAfterTheLastWholePageBelongToTheRest) {
    test::TempDir dir;
    WadBytes wad;
    wad.records = {TextureRecord{}};
    wad.pages = {test::PatternPage(7)};
    std::string bytes = wad.Build();
    // Claim 200,000 bytes of page data: one page, the other 3,392 bytes are the rest's.
    const uint32_t size = 200000;
    for (int i = 0; i < 4; ++i) bytes[16 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    const std::string tail(3392 + 10, 'r');
    test::WriteFile(dir.File("a.wad"), bytes + tail);
    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("a.wad")).ok);
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), tail);
}

TEST(OpenTextureFile, APageCutShortIsWhiteWhereBytesAreMissing) {
    test::TempDir dir;
    WadBytes wad;
    wad.records = {TextureRecord{}};
    wad.pages = {test::PatternPage(1), test::PatternPage(2)};
    const std::string bytes = wad.Build();
    test::WriteFile(dir.File("a.wad"), bytes.substr(0, bytes.size() - kPageBytes / 2));
    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("a.wad")).ok);
    ASSERT_EQ(project.PageCount(), 2);
    const Image second = *project.pages.GetBitmap(1);
    EXPECT_EQ(second.PixelAt(0, 0), MakeColour(0, 0, 2));
    EXPECT_EQ(second.PixelAt(255, 127), MakeColour(255, 127, 2));
    EXPECT_EQ(second.PixelAt(0, 128), MakeColour(255, 255, 255));
    EXPECT_EQ(second.PixelAt(255, 255), MakeColour(255, 255, 255));
}

// A file this large is read on several threads; every page must still land in its place.
TEST(OpenTextureFile, ALargeFileReadsEveryPageInItsPlace) {
    test::TempDir dir;
    WadBytes wad;
    wad.records = {TextureRecord{}};
    for (int i = 0; i < 120; ++i) wad.pages.push_back(test::PatternPage(static_cast<uint8_t>(i)));
    wad.rest = "tail";
    test::WriteFile(dir.File("big.wad"), wad.Build());
    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("big.wad")).ok);
    ASSERT_EQ(project.PageCount(), 120);
    for (int i = 0; i < 120; ++i) {
        ASSERT_EQ(project.pages.GetBitmap(i)->PackedRgb(), wad.pages[i]) << "page " << i;
    }
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), "tail");
}

// Counts come from the file and are not trusted beyond what it holds.
TEST(OpenTextureFile, HugeCountsAreBoundedByTheFileSize) {
    test::TempDir dir;
    std::string bytes("\x81\0\0\0\xff\xff\xff\x7f", 8);  // N = 2,147,483,647
    bytes += std::string(92, '\x01');
    test::WriteFile(dir.File("records.wad"), bytes);
    Project project;
    ASSERT_TRUE(OpenTextureFile(project, dir.File("records.wad")).ok);
    EXPECT_EQ(project.RecordCount(), 12);  // 11 whole records and one zero-filled at the end
    EXPECT_EQ(
        project.records[11],
        TextureRecord::FromBytes(reinterpret_cast<const uint8_t*>("\x01\x01\x01\x01\0\0\0\0")));
    EXPECT_EQ(project.PageCount(), 1);  // the blank page of a project without pages

    WadBytes wad;
    wad.records = {TextureRecord{}};
    wad.pages = {test::PatternPage(1)};
    std::string paged = wad.Build();
    paged[16] = paged[17] = paged[18] = '\xff';
    paged[19] = '\x7f';  // S = 2,147,483,647: 10,922 pages claimed, one held
    test::WriteFile(dir.File("pages.wad"), paged);
    ASSERT_TRUE(OpenTextureFile(project, dir.File("pages.wad")).ok);
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(project.pages.GetBitmap(0)->PackedRgb(), test::PatternPage(1));

    paged[19] = '\xff';  // negative size: no pages
    test::WriteFile(dir.File("negative.wad"), paged);
    ASSERT_TRUE(OpenTextureFile(project, dir.File("negative.wad")).ok);
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.PageCount(), 1);
}

TEST(OpenTextureFile, AWrongVersionClosesTheProjectButKeepsWhatWasShown) {
    test::TempDir dir;
    Project project;
    NewProject(project, dir.File("new.plm"));
    test::WriteFile(dir.File("bad.wad"), std::string("\x80\0\0\0\0\0\0\0", 8));
    const OpResult result = OpenTextureFile(project, dir.File("bad.wad"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "This is not a Stonecrypt Wad file or wrong version or type of wad...");
    EXPECT_FALSE(project.IsOpen());
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell)");
    EXPECT_EQ(project.PageCount(), 1);
    test::WriteFile(dir.File("tiny.wad"), "\x81");
    EXPECT_FALSE(OpenTextureFile(project, dir.File("tiny.wad")).ok);
}

TEST(OpenTextureFile, AFileThatCannotBeOpenedChangesNothing) {
    test::TempDir dir;
    Project project;
    NewProject(project, dir.File("new.plm"));
    const OpResult result = OpenTextureFile(project, dir.File("missing.wad"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("missing.wad"), std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("new.plm"));
    EXPECT_FALSE(OpenTextureFile(project, dir.Path()).ok);  // a folder is no file
    EXPECT_EQ(project.filePath, dir.File("new.plm"));
}

TEST(HasWadExtension, IgnoresCase) {
    EXPECT_TRUE(HasWadExtension("/x/LEVEL.WAD"));
    EXPECT_TRUE(HasWadExtension("a.Plm"));
    EXPECT_FALSE(HasWadExtension("level.txt"));
    EXPECT_FALSE(HasWadExtension("wad"));
}

}  // namespace
}  // namespace pelmora
