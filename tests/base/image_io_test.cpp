#include "base/image_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "base/file_util.h"
#include "base/image_flatten.h"
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

TEST(ImageIo, FormatsFollowTheExtension) {
    EXPECT_EQ(FormatFromExtension("x/Page1.JPEG"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatFromExtension("a.jfif"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatFromExtension(".tiff"), ImageFormat::Tiff);
    EXPECT_EQ(FormatFromExtension("raw"), ImageFormat::Raw);
    EXPECT_EQ(FormatFromExtension("a.gif"), ImageFormat::Unknown);
    EXPECT_STREQ(ExtensionForFormat(ImageFormat::Tiff), "tif");
}

// The choosers, the command line and the messages show these lists word for word.
TEST(ImageIo, FormatListsKeepTheirOrderAndText) {
    EXPECT_EQ(ExtensionList(PictureFormats(), "*.", ";", ";"),
              "*.bmp;*.pcx;*.png;*.tga;*.tif;*.tiff;*.jpg;*.jpe;*.jpeg;*.jfif");
    EXPECT_EQ(ExtensionList(ImageFormats(), ".", ", ", " or "),
              ".bmp, .pcx, .png, .tga, .tif, .tiff, .jpg, .jpe, .jpeg, .jfif or .raw");
    EXPECT_EQ(LabelList(PictureFormats()), "BMP, PCX, PNG, TGA, TIFF or JPEG");
    std::vector<std::string> filters;
    for (const ImageFormatInfo& format : ImageFormats())
        filters.push_back(FilterText(format) + " " + FilterPatterns(format));
    EXPECT_EQ(filters, (std::vector<std::string>{
                           "BMP (*.bmp) *.bmp", "PCX (*.pcx) *.pcx", "PNG (*.png) *.png",
                           "TGA (*.tga) *.tga", "TIFF (*.tif, *.tiff) *.tif;*.tiff",
                           "JPEG (*.jpg, *.jpe, *.jpeg, *.jfif) *.jpg;*.jpe;*.jpeg;*.jfif",
                           "RAW (*.raw) *.raw"}));
}

TEST(ImageIo, BrokenFilesAreRefusedWithAReason) {
    test::TempDir dir;
    test::WriteFile(dir.File("noise.png"), std::string(300, '\x5a'));
    test::WriteFile(dir.File("empty.bmp"), "");
    test::WriteFile(dir.File("bad.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "garbage");
    for (const char* name : {"noise.png", "empty.bmp", "bad.png", "missing.png"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(LoadImage(dir.File(name), &error));
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
}

// Sets the decoding budget for one test.
class BudgetScope {
public:
    explicit BudgetScope(long long bytes) : old_(ImageDecodeBudget()) {
        SetImageDecodeBudget(bytes);
    }
    ~BudgetScope() { SetImageDecodeBudget(old_); }

private:
    long long old_;
};

TEST(ImageIo, BigRealImagesLoadAndAClaimedHugeOneIsRefusedAtOnce) {
    test::TempDir dir;
    const BudgetScope budget(2048LL << 20);
    test::WriteFile(dir.File("photo.png"), test::SolidPng(9000, 8000, 90));
    test::WriteFile(dir.File("strip.png"), test::SolidPng(256, 70000, 200));
    for (const auto& [name, w, h, grey] :
         {std::tuple{"photo.png", 9000, 8000, 90}, std::tuple{"strip.png", 256, 70000, 200}}) {
        SCOPED_TRACE(name);
        std::string error;
        const auto image = LoadImage(dir.File(name), &error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->Width(), w);
        EXPECT_EQ(image->Height(), h);
        EXPECT_EQ(image->PixelAt(w - 1, h - 1), MakeColour(grey, grey, grey));
    }
    // A few bytes claiming 100,000 x 100,000 pixels: refused from the header, naming the
    // size and the limit.
    test::WriteFile(dir.File("bomb.png"), test::ClaimingPng(100000, 100000));
    std::string error;
    EXPECT_FALSE(LoadImage(dir.File("bomb.png"), &error));
    EXPECT_NE(error.find("100000 x 100000 pixels"), std::string::npos) << error;
    EXPECT_NE(error.find("the limit is 2048 MB"), std::string::npos) << error;
}

TEST(ImageIo, AJpegThatWillShrinkIsDecodedSmaller) {
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(Image(2000, 1000, MakeColour(200, 40, 40)), dir.File("big.jpg"),
                          ImageFormat::Jpeg, 90));
    // Its full size would not fit this budget; an eighth of it does.
    const BudgetScope budget(ImageDecodeCost(2000, 1000) / 4);
    EXPECT_FALSE(LoadImage(dir.File("big.jpg")));
    int askedW = 0, askedH = 0;
    const auto piece = LoadScaledImage(dir.File("big.jpg"), [&](int w, int h) {
        askedW = w;
        askedH = h;
        return std::pair{250, 125};
    });
    ASSERT_TRUE(piece);
    EXPECT_EQ(askedW, 2000);  // the fit is made from the true size
    EXPECT_EQ(askedH, 1000);
    EXPECT_EQ(piece->Width(), 250);
    EXPECT_EQ(piece->Height(), 125);
    const Colour c = piece->PixelAt(100, 60);
    EXPECT_NEAR(RedOf(c), 200, 8);
    EXPECT_NEAR(GreenOf(c), 40, 8);
}

TEST(ImageIo, PcxIsRunLengthEncodedAndReadsBackElsewhere) {
    test::TempDir dir;
    // Bytes of 0xC0 and more are the ones a reader of run-length PCX takes for counts.
    Image image = test::PatternImage(37, 21, 0xC5);
    image.FillRect(0, 0, 20, 3, MakeColour(0xFF, 0xC0, 0xC1));
    const std::string path = dir.File("a.pcx");
    ASSERT_TRUE(SaveImage(image, path, ImageFormat::Pcx));
    EXPECT_EQ(test::ReadFile(path)[2], '\x01');  // encoding 1: run-length
    EXPECT_EQ(*LoadImage(path), image);

    // Debian's python3-pil goes with the system's interpreter, which may not be first on PATH.
    std::string python;
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        if (std::system((std::string(candidate) + " -c 'import PIL' >/dev/null 2>&1").c_str()) ==
            0) {
            python = candidate;
            break;
        }
    }
    if (python.empty()) GTEST_SKIP() << "python3 with PIL (python3-pil) is not installed";
    const std::string out = dir.File("pixels.raw");
    const std::string command = python +
                                " -c \"import sys; from PIL import Image; "
                                "open(sys.argv[2], 'wb').write(Image.open(sys.argv[1])"
                                ".convert('RGB').tobytes())\" '" +
                                path + "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto rgb = image.PackedRgb();
    EXPECT_EQ(test::ReadFile(out), std::string(rgb.begin(), rgb.end()));
}

TEST(ImageIo, TheLibraryPrintsNothingItself) {
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(test::PatternImage(64, 64, 3), dir.File("a.jpg"), ImageFormat::Jpeg));
    const std::string jpeg = test::ReadFile(dir.File("a.jpg"));
    test::WriteFile(dir.File("cut.jpg"), jpeg.substr(0, jpeg.size() * 2 / 3));
    test::WriteFile(dir.File("bad.tif"), std::string("II*\0\x08\0\0\0\x01\0\xff\xff", 12));
    test::WriteFile(dir.File("bad.bmp"),
                    "BM" + std::string(12, '\0') + "\x28" + std::string(60, '\xff'));
    // Everything written to stdout and stderr while loading goes to a file.
    const std::string captured = dir.File("out.txt");
    std::fflush(nullptr);
    const int saved[2] = {::dup(1), ::dup(2)};
    const int sink = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(sink, 1);
    ::dup2(sink, 2);
    for (const char* name : {"cut.jpg", "bad.tif", "bad.bmp"}) LoadImage(dir.File(name));
    std::fflush(nullptr);
    ::dup2(saved[0], 1);
    ::dup2(saved[1], 2);
    for (int fd : {sink, saved[0], saved[1]}) ::close(fd);
    EXPECT_EQ(test::ReadFile(captured), "");
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
TEST(LoadImage, AlphaIsLaidOverTheBackgroundGivenAndOpaqueImagesStayExact) {
    test::TempDir dir;
    constexpr Colour kBlue = MakeColour(0, 0, 255);
    // Half-transparent red over blue is half of each; fully transparent red is the
    // background; opaque pixels in an RGBA file keep their colour.
    const struct {
        uint8_t alpha;
        uint8_t red, blue;
    } cases[] = {{128, 128, 127}, {0, 0, 255}, {255, 255, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.alpha));
        test::WriteFile(dir.File("a.png"), test::RgbaPng(6, 4, 255, 0, 0, c.alpha));
        const auto over = LoadImage(dir.File("a.png"), nullptr, kBlue);
        ASSERT_TRUE(over);
        EXPECT_EQ(over->PixelAt(5, 3), MakeColour(c.red, 0, c.blue));
    }
    // Without a background the stored colours come through, as before.
    EXPECT_EQ(LoadImage(dir.File("a.png"))->PixelAt(0, 0), MakeColour(255, 0, 0));
    test::WriteFile(dir.File("a.png"), test::RgbaPng(2, 2, 255, 0, 0, 0));
    EXPECT_EQ(LoadImage(dir.File("a.png"))->PixelAt(0, 0), MakeColour(255, 0, 0));

    const Image opaque = test::PatternImage(9, 7, 3);
    ASSERT_TRUE(SaveImage(opaque, dir.File("b.png"), ImageFormat::Png));
    EXPECT_EQ(*LoadImage(dir.File("b.png"), nullptr, kBlue), opaque);
}

// The clipboard's images: the same blend as the loader's, done by hand.
TEST(FlattenRgba, LaysTransparencyOverTheBackground) {
    const uint8_t rgba[] = {10,  20, 30,  255,  // opaque: kept
                            10,  20, 30,  0,    // clear: the background
                            200, 0,  100, 128, 0, 0, 0, 0};
    const Colour background = MakeColour(0, 100, 255);
    const Image out = FlattenRgba(3, 1, rgba, sizeof rgba, background);
    EXPECT_EQ(out.PixelAt(0, 0), MakeColour(10, 20, 30));
    EXPECT_EQ(out.PixelAt(1, 0), background);
    EXPECT_EQ(out.PixelAt(2, 0), MakeColour(100, 50, 177));
}

}  // namespace pelmora
