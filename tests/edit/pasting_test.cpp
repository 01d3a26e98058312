#include "edit/pasting.h"

#include <gtest/gtest.h>

#include "base/image_io.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::WithPatternPages;

TEST(PastePage, StretchesAnyShapeToTheWholePage) {
    Project project;
    WithPatternPages(project, 2);
    const Image wide = test::PatternImage(512, 128, 9);
    EXPECT_TRUE(PastePage(project, 1, wide).changed);
    EXPECT_EQ(*project.pages.GetBitmap(1), ResizeImage(wide, 256, 256));
    EXPECT_EQ(project.selectedPage, 1);

    // A page copied from another comes back unchanged.
    const Image page0 = *project.pages.GetBitmap(0);
    EXPECT_TRUE(PastePage(project, 1, page0).changed);
    EXPECT_EQ(*project.pages.GetBitmap(1), page0);

    EXPECT_FALSE(PastePage(project, 2, wide).changed);
    EXPECT_FALSE(PastePage(project, 0, Image()).changed);
    EXPECT_EQ(*project.pages.GetBitmap(0), page0);
}

TEST(PasteTexture, ReplacesExactlyTheRecordsRectangleUnflipped) {
    Project project;
    WithPatternPages(project, 2);
    project.records.push_back(MakeRecord(100, 40, 32, 16, 1, -1, -1));
    project.selectedPage = 0;
    const Image before0 = *project.pages.GetBitmap(0);
    const Image before1 = *project.pages.GetBitmap(1);
    const Image piece = test::PatternImage(32, 16, 200);

    ASSERT_TRUE(PasteTexture(project, 1, piece).changed);
    Image expected = before1;  // exactly the rectangle, and unflipped
    expected.Combine(piece, 100, 40);
    EXPECT_EQ(*project.pages.GetBitmap(1), expected);
    EXPECT_EQ(*project.pages.GetBitmap(0), before0);
    EXPECT_EQ(project.selectedTexture, 1);
    EXPECT_EQ(project.selectedPage, 1);
    // Copy Texture gives back what was pasted, unflipped.
    EXPECT_EQ(TexturePiece(project, 1), piece);

    // Another size is stretched to the record's.
    const Image big = test::PatternImage(64, 64, 3);
    ASSERT_TRUE(PasteTexture(project, 1, big).changed);
    EXPECT_EQ(TexturePiece(project, 1), ResizeImage(big, 32, 16));
}

TEST(PasteTexture, ARecordWithoutItsPageChangesNothing) {
    Project project;
    WithPatternPages(project, 1);
    project.records.push_back(MakeRecord(0, 0, 8, 8, 3));
    const Image before = *project.pages.GetBitmap(0);
    const Outcome result = PasteTexture(project, 1, test::PatternImage(8, 8, 1));
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(*project.pages.GetBitmap(0), before);
    EXPECT_FALSE(TexturePiece(project, 1));
}

TEST(Paste, AnImageTooLargeToScaleIsRefused) {
    Project project;
    WithPatternPages(project, 1);
    project.records.push_back(MakeRecord(0, 0, 8, 8, 0));
    const Image before = *project.pages.GetBitmap(0);
    const long long budget = ImageDecodeBudget();
    SetImageDecodeBudget(ImageDecodeCost(64, 64) - 1);
    const Image image = test::PatternImage(64, 64, 1);
    const Outcome page = PastePage(project, 0, image);
    const Outcome texture = PasteTexture(project, 1, image);
    SetImageDecodeBudget(budget);
    EXPECT_EQ(page.message, kPasteTooLargeMessage);
    EXPECT_EQ(texture.message, kPasteTooLargeMessage);
    EXPECT_EQ(*project.pages.GetBitmap(0), before);
}

}  // namespace
}  // namespace pelmora
