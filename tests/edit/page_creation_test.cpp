#include "edit/page_creation.h"

#include <gtest/gtest.h>

#include "base/image_io.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::Page;

constexpr Colour kPink = MakeColour(250, 10, 120);

TEST(PageFromImage, FitsAtTheTopLeftCornerOrCutsALongImageIntoBandsTopFirst) {
    // 100 x 50 is kept as it is, the rest of the page in the background colour.
    const Image small = test::PatternImage(100, 50, 3);
    Image page = PageFromImage(small, true, kPink);
    EXPECT_EQ(page.Copy(0, 0, 100, 50), small);
    EXPECT_EQ(std::pair(page.PixelAt(100, 0), page.PixelAt(0, 50)), std::pair(kPink, kPink));
    // 300 x 200 becomes 255 x 170: column 255 and the rows from 170 keep the background.
    page = PageFromImage(Image(300, 200, MakeColour(1, 2, 3)), true, kPink);
    EXPECT_EQ(page.PixelAt(254, 169), MakeColour(1, 2, 3));
    EXPECT_EQ(std::pair(page.PixelAt(255, 0), page.PixelAt(0, 170)), std::pair(kPink, kPink));

    Image tall(256, 1000);
    for (int y = 0; y < 1000; ++y) tall.FillRect(0, y, 256, 1, MakeColour(0, y % 256, y / 256));
    auto bands = PagesFromLongImage(tall, kPink);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[3].PixelAt(5, 0), MakeColour(0, 768 % 256, 3));
    EXPECT_EQ(bands[3].PixelAt(5, 231), MakeColour(0, 999 % 256, 3));
    EXPECT_EQ(bands[3].PixelAt(5, 232), kPink);

    EXPECT_EQ(PagesFromLongImage(Image(512, 1024), kPink).size(), 2u);  // fitted to 256 x 512
    bands = PagesFromLongImage(Image(100, 300, MakeColour(1, 1, 1)), kPink);
    ASSERT_EQ(bands.size(), 2u);  // a narrow image is not widened
    EXPECT_EQ(std::pair(bands[1].PixelAt(99, 43), bands[1].PixelAt(100, 0)),
              std::pair(MakeColour(1, 1, 1), kPink));
    EXPECT_EQ(PagesFromLongImage(Image(30, 10), kPink).size(), 1u);
}

TEST(AddNewPages, BlankOrFromImagesAndABlankPageWhenTheImageCannotBeLoaded) {
    test::TempDir dir;
    const std::string tall = dir.File("tall.png");
    ASSERT_TRUE(SaveImage(Image(256, 600, MakeColour(5, 6, 7)), tall, ImageFormat::Png));
    Project project;
    test::NewInMemory(project);
    // The colour chosen becomes the new page colour; no record is made.
    EXPECT_TRUE(AddNewPages(project, {.colour = kPink, .count = 10, .imagePath = ""}).IsDone());
    EXPECT_EQ(std::pair(project.PageCount(), project.RecordCount()), std::pair(11, 1));
    EXPECT_EQ(project.newPageColour, kPink);
    EXPECT_EQ(Page(project, 10), Image(256, 256, kPink));

    NewPageOptions options{.kind = NewPageKind::FromLongImage, .imagePath = tall};
    EXPECT_TRUE(AddNewPages(project, options).IsDone());
    ASSERT_EQ(project.PageCount(), 14);
    EXPECT_EQ(Page(project, 13).PixelAt(0, 87), MakeColour(5, 6, 7));
    EXPECT_EQ(Page(project, 13).PixelAt(0, 88), 0u);
    EXPECT_EQ(project.selectedPage, 13);
    // Without keeping the aspect the image is stretched over the whole page.
    options.kind = NewPageKind::FromImage;
    EXPECT_TRUE(AddNewPages(project, options).IsDone());
    EXPECT_EQ(Page(project, 14), Image(256, 256, MakeColour(5, 6, 7)));

    options.colour = kPink;
    test::WriteFile(dir.File("broken.png"), "\x89PNG broken");
    for (const std::string& path : {dir.File("broken.png"), std::string()}) {
        options.imagePath = path;
        options.kind = path.empty() ? NewPageKind::FromLongImage : NewPageKind::FromImage;
        const int before = project.PageCount();
        const Outcome result = AddNewPages(project, options);
        EXPECT_EQ(std::pair(result.IsDone(), result.changed), std::pair(false, true));
        EXPECT_EQ(result.message, path.empty()
                                      ? "Failed To Load Image...\nCreating Blank Page..."
                                      : "Failed To Load Image...\n" + path +
                                            " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file\n"
                                            "Creating Blank Page...");
        ASSERT_EQ(std::pair(project.PageCount(), project.selectedPage),
                  std::pair(before + 1, before));
        EXPECT_EQ(Page(project, before), Image(256, 256, kPink));
    }
}

}  // namespace
}  // namespace pelmora
