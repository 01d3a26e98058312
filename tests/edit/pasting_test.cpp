#include "edit/pasting.h"

#include <gtest/gtest.h>

#include "base/image_io.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::Page;
using test::PatternImage;

TEST(PastePage, StretchesAnyShapeToTheWholePage) {
    Project project;
    test::WithPatternPages(project, 2);
    const Image wide = PatternImage(512, 128, 9);
    EXPECT_TRUE(PastePage(project, 1, wide).changed);
    EXPECT_EQ(Page(project, 1), ResizeImage(wide, 256, 256));
    EXPECT_EQ(project.selectedPage, 1);
    // A page copied from another comes back unchanged.
    EXPECT_TRUE(PastePage(project, 1, Page(project, 0)).changed);
    EXPECT_EQ(Page(project, 1), Page(project, 0));

    EXPECT_FALSE(PastePage(project, 2, wide).changed);
    EXPECT_FALSE(PastePage(project, 0, Image()).changed);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));
}

TEST(PasteTexture, ReplacesExactlyTheRecordsRectangleUnflippedOnItsOwnPage) {
    Project project;
    test::WithPatternPages(project, 2);
    project.records.push_back(MakeRecord(100, 40, 32, 16, 1, -1, -1));
    project.records.push_back(MakeRecord(0, 0, 8, 8, 3));  // its page does not exist
    project.selectedPage = 0;
    const Image piece = PatternImage(32, 16, 200);
    EXPECT_FALSE(PasteTexture(project, 2, piece).changed);
    EXPECT_FALSE(TexturePiece(project, 2));

    ASSERT_TRUE(PasteTexture(project, 1, piece).changed);
    Image expected = PatternImage(256, 256, 1);
    expected.Combine(piece, 100, 40);
    EXPECT_EQ(Page(project, 1), expected);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));
    EXPECT_EQ(project.selectedTexture, 1);
    EXPECT_EQ(project.selectedPage, 1);
    // Copy Texture gives back what was pasted, unflipped.
    EXPECT_EQ(TexturePiece(project, 1), piece);

    // Another size is stretched to the record's.
    const Image big = PatternImage(64, 64, 3);
    ASSERT_TRUE(PasteTexture(project, 1, big).changed);
    EXPECT_EQ(TexturePiece(project, 1), ResizeImage(big, 32, 16));
}

TEST(Paste, AnImageTooLargeToScaleIsRefused) {
    Project project;
    test::WithPatternPages(project, 1);
    project.records.push_back(MakeRecord(0, 0, 8, 8, 0));
    const long long budget = ImageDecodeBudget();
    SetImageDecodeBudget(ImageDecodeCost(64, 64) - 1);
    const Image image = PatternImage(64, 64, 1);
    const Outcome page = PastePage(project, 0, image), texture = PasteTexture(project, 1, image);
    SetImageDecodeBudget(budget);
    EXPECT_EQ(page.message, kPasteTooLargeMessage);
    EXPECT_EQ(texture.message, kPasteTooLargeMessage);
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));
}

}  // namespace
}  // namespace pelmora
