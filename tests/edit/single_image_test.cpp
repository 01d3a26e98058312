#include "edit/single_image.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/image_io.h"
#include "edit/pasting.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::Page;
using test::PatternImage;

// A page image put on its page wants the page itself stretched; a piece wants the record's
// own page, whichever page is on screen.
TEST(ImportPageAndPiece, StretchedToThePageOrTheRecordOnItsOwnPage) {
    test::TempDir dir;
    const Image wide = PatternImage(512, 128, 5), small = PatternImage(10, 10, 8);
    ASSERT_TRUE(SaveImage(wide, dir.File("wide.png"), ImageFormat::Png));
    ASSERT_TRUE(SaveImage(small, dir.File("small.tga"), ImageFormat::Tga));
    Project project;
    test::WithPatternPages(project, 3);
    project.records.push_back(MakeRecord(100, 40, 64, 32, 2));
    EXPECT_TRUE(ImportPage(project, 1, dir.File("wide.png")).IsDone());
    EXPECT_EQ(Page(project, 1), ResizeImage(wide, 256, 256));
    EXPECT_EQ(project.selectedPage, 1);
    EXPECT_EQ(project.RecordCount(), 2);

    project.selectedPage = 0;
    EXPECT_TRUE(ImportPiece(project, 1, dir.File("small.tga")).IsDone());
    Image expected = PatternImage(256, 256, 2);
    expected.Combine(ResizeImage(small, 64, 32), 100, 40);
    EXPECT_EQ(Page(project, 2), expected);
    EXPECT_EQ(std::pair(project.selectedPage, project.selectedTexture), std::pair(2, 1));

    test::WriteFile(dir.File("bad.bmp"), "BM not really");
    const Outcome failed = ImportPage(project, 0, dir.File("bad.bmp"));
    EXPECT_EQ(failed.message, "Failed To Load Image...\n" + dir.File("bad.bmp") +
                                  " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file");
    EXPECT_FALSE(failed.changed);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));
}

TEST(ExportPageAndPiece, RawIsRowsTopFirstInRedGreenBlue) {
    test::TempDir dir;
    Project project;
    test::WithPatternPages(project, 3);
    project.records.push_back(MakeRecord(7, 9, 10, 3, 2));
    ASSERT_TRUE(ExportPage(project, 2, dir.File("Page3.RAW")).IsDone());
    ASSERT_TRUE(ExportPiece(project, 1, dir.File("Texture2.raw")).IsDone());
    // Pattern pixel (x, y) of page 3 is (7x + 2, 13y, 2).
    std::string page, piece;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const char rgb[] = {static_cast<char>(x * 7 + 2), static_cast<char>(y * 13), 2};
            page.append(rgb, 3);
            if (x >= 7 && x < 17 && y >= 9 && y < 12) piece.append(rgb, 3);
        }
    }
    EXPECT_TRUE(test::ReadFile(dir.File("Page3.RAW")) == page);  // 192 KB: no printing
    EXPECT_EQ(test::ReadFile(dir.File("Texture2.raw")), piece);
    EXPECT_EQ(PageExportName(2), "Page3");
    EXPECT_EQ(TextureExportName(4), "Texture5");

    // Each format's round trip is ImageIo's; here the extension has to choose it.
    ASSERT_TRUE(ExportPage(project, 0, dir.File("p.TIFF")).IsDone());
    EXPECT_EQ(*LoadImage(dir.File("p.TIFF")), Page(project, 0));
    for (const auto& [name, quality] :
         {std::pair{"low.JPG", 5}, std::pair{"high.jpeg", 100}, std::pair{"plain.jfif", 5}})
        ASSERT_TRUE(ExportPage(project, 0, dir.File(name), quality).IsDone());
    const long long low = FileSize(dir.File("low.JPG"));
    EXPECT_LT(low * 3, FileSize(dir.File("high.jpeg")));
    // "jfif" takes the encoder's own quality, not the one given.
    EXPECT_GT(FileSize(dir.File("plain.jfif")), low);
    EXPECT_EQ(test::ReadFile(dir.File("plain.jfif")).substr(0, 2), "\xff\xd8");
    EXPECT_TRUE(AsksForJpegQuality("x.JPE"));

    EXPECT_FALSE(ExportPage(project, 0, dir.File("p.gif")).IsDone());
    EXPECT_FALSE(FileExists(dir.File("p.gif")));
    const Outcome failed = ExportPage(project, 0, dir.File("missing/p.raw"));
    EXPECT_EQ(failed.kind, Outcome::Kind::Failed);
    EXPECT_NE(failed.message.find("missing/p.raw"), std::string::npos) << failed.message;
}

TEST(Paste, PageStretchedTextureReplacesTheRecordsRectangleUnflippedOnItsOwnPage) {
    Project project;
    test::WithPatternPages(project, 2);
    project.records.push_back(MakeRecord(100, 40, 32, 16, 1, -1, -1));
    project.records.push_back(MakeRecord(0, 0, 8, 8, 3));  // its page does not exist
    const Image wide = PatternImage(512, 128, 9), piece = PatternImage(32, 16, 200);

    // An image too large to scale is refused.
    const long long budget = ImageDecodeBudget();
    SetImageDecodeBudget(ImageDecodeCost(64, 64) - 1);
    const Image image = PatternImage(64, 64, 1);
    const Outcome page = PastePage(project, 0, image), texture = PasteTexture(project, 1, image);
    SetImageDecodeBudget(budget);
    EXPECT_EQ(page.message, kPasteTooLargeMessage);
    EXPECT_EQ(texture.message, kPasteTooLargeMessage);

    EXPECT_FALSE(PastePage(project, 2, wide).changed);
    EXPECT_FALSE(PastePage(project, 0, Image()).changed);
    EXPECT_FALSE(PasteTexture(project, 2, piece).changed);
    EXPECT_FALSE(TexturePiece(project, 2));
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));
    EXPECT_EQ(Page(project, 1), PatternImage(256, 256, 1));

    project.selectedPage = 1;
    EXPECT_TRUE(PastePage(project, 0, wide).changed);
    EXPECT_EQ(Page(project, 0), ResizeImage(wide, 256, 256));
    // A page copied from another comes back unchanged.
    EXPECT_TRUE(PastePage(project, 0, Page(project, 1)).changed);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 1));
    EXPECT_EQ(project.selectedPage, 0);

    ASSERT_TRUE(PasteTexture(project, 1, piece).changed);
    Image expected = PatternImage(256, 256, 1);
    expected.Combine(piece, 100, 40);
    EXPECT_EQ(Page(project, 1), expected);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 1));
    EXPECT_EQ(std::pair(project.selectedPage, project.selectedTexture), std::pair(1, 1));
    // Copy Texture gives back what was pasted, unflipped; another size is stretched.
    EXPECT_EQ(TexturePiece(project, 1), piece);
    ASSERT_TRUE(PasteTexture(project, 1, image).changed);
    EXPECT_EQ(TexturePiece(project, 1), ResizeImage(image, 32, 16));
}

}  // namespace
}  // namespace pelmora
