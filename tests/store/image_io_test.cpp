#include "store/image_io.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "store/file_util.h"
#include "test_support.h"

namespace pelmora {
namespace {

TEST(ImageIo, LosslessFormatsRoundTripExactly) {
    test::TempDir dir;
    const Image original = test::PatternImage(37, 21, 5);  // odd width: padded rows
    // TGA has no signature: it is known by its name, in any case.
    for (const char* ext : {"bmp", "pcx", "png", "tga", "TGA", "tif", "tiff"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("a.") + ext);
        std::string error;
        ASSERT_TRUE(SaveImage(original, path, FormatFromExtension(path), 100, &error)) << error;
        const auto loaded = LoadImage(path, &error);
        ASSERT_TRUE(loaded) << error;
        EXPECT_EQ(*loaded, original);
    }
}

TEST(ImageIo, JpegHonoursTheQuality) {
    test::TempDir dir;
    const Image original = test::PatternImage(64, 64, 9);
    ASSERT_TRUE(SaveImage(original, dir.File("low.jpg"), ImageFormat::Jpeg, 5));
    ASSERT_TRUE(SaveImage(original, dir.File("high.jpg"), ImageFormat::Jpeg, 100));
    EXPECT_LT(FileSize(dir.File("low.jpg")), FileSize(dir.File("high.jpg")));
    const auto loaded = LoadImage(dir.File("high.jpg"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Width(), 64);
}

TEST(ImageIo, FormatsFollowTheExtension) {
    EXPECT_EQ(FormatFromExtension("x/Page1.JPEG"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatFromExtension("a.jfif"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatFromExtension(".tiff"), ImageFormat::Tiff);
    EXPECT_EQ(FormatFromExtension("raw"), ImageFormat::Raw);
    EXPECT_EQ(FormatFromExtension("a.gif"), ImageFormat::Unknown);
    EXPECT_STREQ(ExtensionForFormat(ImageFormat::Tiff), "tif");
}

TEST(ImageIo, ResizeGivesExactlyTheAskedSize) {
    const Image big = test::PatternImage(300, 200, 1);
    const Image small = ResizeImage(big, 255, 170);
    EXPECT_EQ(small.Width(), 255);
    EXPECT_EQ(small.Height(), 170);
    const Image uniform = ResizeImage(Image(10, 10, MakeColour(40, 50, 60)), 64, 32);
    EXPECT_EQ(uniform.PixelAt(63, 31), MakeColour(40, 50, 60));
}

TEST(ImageIo, HostileAndBrokenFilesAreRefusedWithAReason) {
    test::TempDir dir;
    test::WriteFile(dir.File("bomb.png"), test::ClaimingPng(20000, 20000));
    test::WriteFile(dir.File("wide.png"), test::ClaimingPng(60000, 2000));
    test::WriteFile(dir.File("noise.png"), std::string(300, '\x5a'));
    test::WriteFile(dir.File("empty.bmp"), "");
    for (const char* name : {"bomb.png", "wide.png"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(LoadImage(dir.File(name), &error));
        EXPECT_NE(error.find("larger than the images Pelmora accepts"), std::string::npos) << error;
    }
    for (const char* name : {"noise.png", "empty.bmp", "missing.png"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(LoadImage(dir.File(name), &error));
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
}

TEST(ImageIo, ATruncatedFileIsRefusedOrDecodedButNeverCrashes) {
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(test::PatternImage(64, 64, 3), dir.File("a.png"), ImageFormat::Png));
    std::string bytes = test::ReadFile(dir.File("a.png"));
    test::WriteFile(dir.File("cut.png"), bytes.substr(0, bytes.size() / 2));
    const auto loaded = LoadImage(dir.File("cut.png"));
    EXPECT_TRUE(!loaded || loaded->Width() == 64);
}

TEST(ImageIo, AFailedSaveLeavesTheOldFile) {
    test::TempDir dir;
    test::WriteFile(dir.File("keep.png"), "old");
    // No encoder for an unknown format: nothing is written.
    EXPECT_FALSE(
        SaveImage(test::PatternImage(4, 4, 1), dir.File("keep.png"), ImageFormat::Unknown));
    EXPECT_EQ(test::ReadFile(dir.File("keep.png")), "old");
    std::string error;
    EXPECT_FALSE(SaveImage(test::PatternImage(4, 4, 1), dir.File("no/such/dir/a.png"),
                           ImageFormat::Png, 100, &error));
    EXPECT_NE(error.find("a.png"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
