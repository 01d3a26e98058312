#include "edit/single_image.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/image_io.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::WithPatternPages;

TEST(ImportPage, StretchesToTheWholePageAndKeepsRecords) {
    test::TempDir dir;
    const Image wide = test::PatternImage(512, 128, 5);
    ASSERT_TRUE(SaveImage(wide, dir.File("wide.png"), ImageFormat::Png));
    Project project;
    WithPatternPages(project, 2);
    project.records.push_back(MakeRecord(1, 2, 3, 4, 1));
    EXPECT_TRUE(ImportPage(project, 1, dir.File("wide.png")).IsDone());
    EXPECT_EQ(*project.pages.GetBitmap(1), ResizeImage(wide, 256, 256));
    EXPECT_EQ(project.selectedPage, 1);
    EXPECT_EQ(project.RecordCount(), 2);

    test::WriteFile(dir.File("bad.bmp"), "BM not really");
    const Image before = *project.pages.GetBitmap(0);
    const Outcome failed = ImportPage(project, 0, dir.File("bad.bmp"));
    EXPECT_EQ(failed.message, "Failed To Load Image...\n" + dir.File("bad.bmp") +
                                  " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file");
    EXPECT_FALSE(failed.changed);
    EXPECT_EQ(*project.pages.GetBitmap(0), before);
}

TEST(ImportPiece, DrawsOnTheRecordsOwnPageWhateverPageIsShown) {
    test::TempDir dir;
    const Image small = test::PatternImage(10, 10, 8);
    ASSERT_TRUE(SaveImage(small, dir.File("small.tga"), ImageFormat::Tga));
    Project project;
    WithPatternPages(project, 3);
    project.records.push_back(MakeRecord(100, 40, 64, 32, 2));
    project.selectedPage = 0;  // another page is on screen
    const Image page1 = *project.pages.GetBitmap(0);
    Image expected = *project.pages.GetBitmap(2);
    expected.Combine(ResizeImage(small, 64, 32), 100, 40);

    EXPECT_TRUE(ImportPiece(project, 1, dir.File("small.tga")).IsDone());
    EXPECT_EQ(*project.pages.GetBitmap(2), expected);
    EXPECT_EQ(*project.pages.GetBitmap(0), page1);
    EXPECT_EQ(project.selectedPage, 2);
    EXPECT_EQ(project.selectedTexture, 1);

    project.records.push_back(MakeRecord(0, 0, 8, 8, 7));
    EXPECT_EQ(ImportPiece(project, 2, dir.File("small.tga")).message,
              "You need to add 5 more pages before texture 3 is selectable");
}

TEST(ExportPageAndPiece, RawIsRowsTopFirstInRedGreenBlue) {
    test::TempDir dir;
    Project project;
    WithPatternPages(project, 3);
    project.records.push_back(MakeRecord(7, 9, 10, 3, 2));
    ASSERT_TRUE(ExportPage(project, 2, dir.File("Page3.RAW")).IsDone());
    const std::string page = test::ReadFile(dir.File("Page3.RAW"));
    ASSERT_EQ(page.size(), 196608u);
    const Image source = *project.pages.GetBitmap(2);
    const auto packed = source.PackedRgb();
    EXPECT_EQ(page, std::string(packed.begin(), packed.end()));

    ASSERT_TRUE(ExportPiece(project, 1, dir.File("Texture2.raw")).IsDone());
    const std::string piece = test::ReadFile(dir.File("Texture2.raw"));
    ASSERT_EQ(piece.size(), 90u);
    const auto expected = source.Copy(7, 9, 10, 3).PackedRgb();
    EXPECT_EQ(piece, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(PageExportName(2), "Page3");
    EXPECT_EQ(TextureExportName(4), "Texture5");
}

TEST(ExportPageAndPiece, FormatByExtensionAndTheJpegQualityHonoured) {
    test::TempDir dir;
    Project project;
    WithPatternPages(project, 1);
    const Image page = *project.pages.GetBitmap(0);
    // Each format's round trip is ImageIo's; here the extension has to choose it.
    ASSERT_TRUE(ExportPage(project, 0, dir.File("p.TIFF")).IsDone());
    EXPECT_EQ(*LoadImage(dir.File("p.TIFF")), page);
    ASSERT_TRUE(ExportPage(project, 0, dir.File("low.JPG"), 5).IsDone());
    ASSERT_TRUE(ExportPage(project, 0, dir.File("high.jpeg"), 100).IsDone());
    ASSERT_TRUE(ExportPage(project, 0, dir.File("plain.jfif"), 5).IsDone());
    const long long low = FileSize(dir.File("low.JPG")), high = FileSize(dir.File("high.jpeg"));
    const long long plain = FileSize(dir.File("plain.jfif"));
    EXPECT_LT(low * 3, high);
    EXPECT_GT(plain, low);  // "jfif" takes the encoder's own quality, not the one given
    EXPECT_EQ(test::ReadFile(dir.File("plain.jfif")).substr(0, 2), "\xff\xd8");
    EXPECT_TRUE(AsksForJpegQuality("x.JPE"));
    EXPECT_FALSE(AsksForJpegQuality("x.jfif"));

    EXPECT_FALSE(ExportPage(project, 0, dir.File("p.gif")).IsDone());
    EXPECT_FALSE(FileExists(dir.File("p.gif")));
    const Outcome failed = ExportPage(project, 0, dir.File("missing/p.raw"));
    EXPECT_FALSE(failed.IsDone());
    EXPECT_NE(failed.message.find("missing/p.raw"), std::string::npos) << failed.message;
}

}  // namespace
}  // namespace pelmora
