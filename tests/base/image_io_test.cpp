#include "base/image_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "base/image_flatten.h"
#include "test_support.h"

namespace pelmora {
namespace {

// Opaque images stay exact also when a background for transparency is given.
TEST(ImageIo, LosslessFormatsRoundTripExactlyAndAFailedSaveLeavesTheOldFile) {
    test::TempDir dir;
    const Image original = test::PatternImage(37, 21, 5);  // odd width: padded rows
    std::string error;
    // TGA has no signature: it is known by its name, in any case.
    for (const char* ext : {"bmp", "pcx", "png", "tga", "TGA", "tif", "tiff"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("a.") + ext);
        ASSERT_TRUE(SaveImage(original, path, FormatFromExtension(path), 100, &error)) << error;
        EXPECT_EQ(LoadImage(path, &error), original) << error;
        EXPECT_EQ(LoadImage(path, nullptr, MakeColour(0, 0, 255)), original);
    }
    // No encoder for an unknown format: nothing is written.
    EXPECT_FALSE(SaveImage(original, dir.File("a.png"), ImageFormat::Unknown));
    EXPECT_EQ(LoadImage(dir.File("a.png")), original);
    EXPECT_FALSE(SaveImage(original, dir.File("no/such/dir/a.png"), ImageFormat::Png, 100, &error));
    EXPECT_NE(error.find("a.png"), std::string::npos);
}

// The choosers, the command line and the messages show these lists word for word.
TEST(ImageIo, FormatsFollowTheExtensionAndTheirListsKeepTheirOrderAndText) {
    EXPECT_EQ((std::vector{FormatFromExtension("x/Page1.JPEG"), FormatFromExtension("a.jfif"),
                           FormatFromExtension("raw"), FormatFromExtension("a.gif")}),
              (std::vector{ImageFormat::Jpeg, ImageFormat::Jpeg, ImageFormat::Raw,
                           ImageFormat::Unknown}));
    EXPECT_STREQ(ExtensionForFormat(ImageFormat::Tiff), "tif");
    EXPECT_EQ(ExtensionList(PictureFormats(), "*.", ";", ";"),
              "*.bmp;*.pcx;*.png;*.tga;*.tif;*.tiff;*.jpg;*.jpe;*.jpeg;*.jfif");
    EXPECT_EQ(ExtensionList(ImageFormats(), ".", ", ", " or "),
              ".bmp, .pcx, .png, .tga, .tif, .tiff, .jpg, .jpe, .jpeg, .jfif or .raw");
    EXPECT_EQ(LabelList(PictureFormats()), "BMP, PCX, PNG, TGA, TIFF or JPEG");
    std::string filters;
    for (const ImageFormatInfo& format : ImageFormats())
        filters += FilterText(format) + " " + FilterPatterns(format) + "|";
    EXPECT_EQ(filters,
              "BMP (*.bmp) *.bmp|PCX (*.pcx) *.pcx|PNG (*.png) *.png|TGA (*.tga) *.tga|"
              "TIFF (*.tif, *.tiff) *.tif;*.tiff|"
              "JPEG (*.jpg, *.jpe, *.jpeg, *.jfif) *.jpg;*.jpe;*.jpeg;*.jfif|RAW (*.raw) *.raw|");
}

// Broken files are refused with a reason naming them, and the library prints nothing itself.
TEST(ImageIo, BrokenFilesAreRefusedWithAReasonAndNothingPrinted) {
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(test::PatternImage(64, 64, 3), dir.File("a.jpg"), ImageFormat::Jpeg));
    const std::string jpeg = test::ReadFile(dir.File("a.jpg"));
    const std::pair<const char*, std::string> files[] = {
        {"noise.png", std::string(300, '\x5a')},
        {"empty.bmp", ""},
        {"bad.png", std::string("\x89PNG\r\n\x1a\n", 8) + "garbage"},
        {"cut.jpg", jpeg.substr(0, jpeg.size() * 2 / 3)},
        {"bad.tif", std::string("II*\0\x08\0\0\0\x01\0\xff\xff", 12)},
        {"bad.bmp", "BM" + std::string(12, '\0') + "\x28" + std::string(60, '\xff')},
        {"missing.png", ""}};
    for (const auto& [name, bytes] : files)
        if (name[0] != 'm') test::WriteFile(dir.File(name), bytes);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::string errors[std::size(files)];
    for (size_t i = 0; i < std::size(files); ++i)
        if (LoadImage(dir.File(files[i].first), &errors[i])) errors[i] = "loaded";
    EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
    // A cut JPEG loads with its missing rows grey, as the library decodes it: only its
    // silence is asked here.
    for (size_t i = 0; i < std::size(files); ++i)
        if (files[i].first != std::string("cut.jpg")) {
            EXPECT_NE(errors[i].find(files[i].first), std::string::npos) << errors[i];
        }
}

// Sets the decoding budget for one test.
struct BudgetScope {
    explicit BudgetScope(long long bytes) { SetImageDecodeBudget(bytes); }
    ~BudgetScope() { SetImageDecodeBudget(old); }
    long long old = ImageDecodeBudget();
};

TEST(ImageIo, BigImagesLoadAHugeClaimIsRefusedAtOnceAndAShrinkingJpegIsDecodedSmaller) {
    test::TempDir dir;
    const BudgetScope budget(2048LL << 20);
    for (const auto& [w, h, grey] : {std::tuple{9000, 8000, 90}, std::tuple{256, 70000, 200}}) {
        SCOPED_TRACE(h);
        test::WriteFile(dir.File("big.png"), test::SolidPng(w, h, grey));
        std::string error;
        const auto image = LoadImage(dir.File("big.png"), &error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(std::pair(image->Width(), image->Height()), std::pair(w, h));
        EXPECT_EQ(image->PixelAt(w - 1, h - 1), MakeColour(grey, grey, grey));
    }
    // A few bytes claiming 100,000 x 100,000 pixels: refused from the header, naming the
    // size and the limit.
    test::WriteFile(dir.File("bomb.png"), test::ClaimingPng(100000, 100000));
    std::string error;
    EXPECT_FALSE(LoadImage(dir.File("bomb.png"), &error));
    EXPECT_NE(error.find("100000 x 100000 pixels"), std::string::npos) << error;
    EXPECT_NE(error.find("the limit is 2048 MB"), std::string::npos) << error;

    // A JPEG that will shrink is decoded smaller: its full size would not fit this budget; an
    // eighth of it does.
    ASSERT_TRUE(SaveImage(Image(2000, 1000, MakeColour(200, 40, 40)), dir.File("big.jpg"),
                          ImageFormat::Jpeg, 90));
    SetImageDecodeBudget(ImageDecodeCost(2000, 1000) / 4);
    EXPECT_FALSE(LoadImage(dir.File("big.jpg")));
    std::pair<int, int> asked;
    const auto piece = LoadScaledImage(dir.File("big.jpg"), [&](int w, int h) {
        asked = {w, h};
        return std::pair{250, 125};
    });
    ASSERT_TRUE(piece);
    EXPECT_EQ(asked, std::pair(2000, 1000));  // the fit is made from the true size
    EXPECT_EQ(std::pair(piece->Width(), piece->Height()), std::pair(250, 125));
    EXPECT_NEAR(RedOf(piece->PixelAt(100, 60)), 200, 8);
    EXPECT_NEAR(GreenOf(piece->PixelAt(100, 60)), 40, 8);
}

TEST(ImageIo, PcxIsRunLengthEncodedAndReadsBackElsewhere) {
    test::TempDir dir;
    // Bytes of 0xC0 and more are the ones a reader of run-length PCX takes for counts.
    Image image = test::PatternImage(37, 21, 0xC5);
    image.FillRect(0, 0, 20, 3, MakeColour(0xFF, 0xC0, 0xC1));
    const std::string path = dir.File("a.pcx"), out = dir.File("pixels.raw");
    ASSERT_TRUE(SaveImage(image, path, ImageFormat::Pcx));
    EXPECT_EQ(test::ReadFile(path)[2], '\x01');  // encoding 1: run-length
    EXPECT_EQ(LoadImage(path), image);

    // Debian's python3-pil goes with the system's interpreter, which may not be first on PATH.
    std::string python;
    for (const std::string candidate : {"/usr/bin/python3", "python3"})
        if (python.empty() &&
            std::system((candidate + " -c 'import PIL' 2>/dev/null").c_str()) == 0)
            python = candidate;
    if (python.empty()) GTEST_SKIP() << "python3 with PIL (python3-pil) is not installed";
    const std::string script =
        " -c \"import sys; from PIL import Image; open(sys.argv[2], 'wb')"
        ".write(Image.open(sys.argv[1]).convert('RGB').tobytes())\" '";
    ASSERT_EQ(std::system((python + script + path + "' '" + out + "'").c_str()), 0);
    const auto rgb = image.PackedRgb();
    EXPECT_EQ(test::ReadFile(out), std::string(rgb.begin(), rgb.end()));
}

// Half-transparent red over blue is half of each; fully transparent red is the background;
// opaque pixels in an RGBA file keep their colour. Without a background the stored colours
// come through.
TEST(ImageIo, AlphaIsLaidOverTheBackgroundGiven) {
    test::TempDir dir;
    constexpr Colour kBlue = MakeColour(0, 0, 255);
    for (const auto& [alpha, red, blue] :
         {std::tuple{128, 128, 127}, std::tuple{0, 0, 255}, std::tuple{255, 255, 0}}) {
        SCOPED_TRACE(alpha);
        test::WriteFile(dir.File("a.png"), test::RgbaPng(6, 4, 255, 0, 0, alpha));
        EXPECT_EQ(LoadImage(dir.File("a.png"), nullptr, kBlue)->PixelAt(5, 3),
                  MakeColour(red, 0, blue));
        EXPECT_EQ(LoadImage(dir.File("a.png"))->PixelAt(0, 0), MakeColour(255, 0, 0));
    }
    // The clipboard's images: the same blend, done by hand, from padded rows.
    const uint8_t rgba[] = {10, 20, 30, 255, 10, 20, 30, 0, 200, 0, 100, 128, 0, 0, 0, 0};
    const Image flat = FlattenRgba(3, 1, rgba, sizeof rgba, MakeColour(0, 100, 255));
    EXPECT_EQ(
        (std::vector{flat.PixelAt(0, 0), flat.PixelAt(1, 0), flat.PixelAt(2, 0)}),
        (std::vector{MakeColour(10, 20, 30), MakeColour(0, 100, 255), MakeColour(100, 50, 177)}));
}

}  // namespace
}  // namespace pelmora
