#include "export/bulk_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "base/file_util.h"
#include "test_support.h"

namespace pelmora {
namespace {

Image Page(uint8_t seed) {
    return Image::FromPackedRgb(256, 256, test::PatternPage(seed).data());
}

class BulkExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        project.filePath = dir.File("level.wad");
        for (uint8_t seed = 1; seed <= 3; ++seed) project.pages.AddBitmapHandle(Page(seed));
        project.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1),
                           MakeRecord(0, 0, 256, 256, 0, 0, 0), MakeRecord(5, 5, 8, 8, 1)};
        options.folder = dir.Path();
    }
    std::string Out(const std::string& name) const { return dir.File(name); }

    test::TempDir dir;
    Project project;
    ExportOptions options;
};

TEST_F(BulkExportTest, PagesAreWrittenAsNumberedFilesInEachFormat) {
    for (const ExportFormatInfo& format : kExportFormats) {
        options.format = format.format;
        options.saveHtmlPage = false;
        const Outcome result = ExportAllPages(project, options);
        ASSERT_TRUE(result.IsDone()) << format.label << ": " << result.message;
        for (int n = 1; n <= 3; ++n) {
            const std::string path = Out("Page" + std::to_string(n) + "." + format.extension);
            const auto image = LoadImage(path);
            ASSERT_TRUE(image) << path;
            if (format.format != ImageFormat::Jpeg)
                EXPECT_EQ(*image, Page(static_cast<uint8_t>(n)));
        }
    }
    EXPECT_FALSE(FileExists(Out("Page1.tiff")));
    EXPECT_FALSE(FileExists(Out("Page4.bmp")));
}

TEST_F(BulkExportTest, TexturesAreCutFromTheirPagesWithoutFlips) {
    std::vector<int> steps;
    const std::thread::id caller = std::this_thread::get_id();
    const Outcome result =
        ExportAllTextures(project, options, [&](const std::string& text, int done, int total) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(text, "Saving Textures Please Wait...");
            EXPECT_EQ(total, 4);
            steps.push_back(done);
        });
    ASSERT_TRUE(result.IsDone()) << result.message;
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4}));
    const auto second = LoadImage(Out("Texture2.bmp"));
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, Page(2).Copy(10, 20, 30, 40));  // FlipX and FlipY are -1: not applied
    EXPECT_EQ(*LoadImage(Out("Texture3.bmp")), Page(1));
    EXPECT_FALSE(FileExists(Out("texture_pieces.htm")));  // BMP: no gallery
}

TEST_F(BulkExportTest, ExportTexturesWritesOnlyThePagesRecordsByOverallNumber) {
    options.format = ImageFormat::Png;
    ASSERT_TRUE(ExportPageTextures(project, 1, options).IsDone());
    EXPECT_TRUE(FileExists(Out("Texture2.png")));
    EXPECT_TRUE(FileExists(Out("Texture4.png")));
    EXPECT_FALSE(FileExists(Out("Texture1.png")));
    EXPECT_FALSE(FileExists(Out("Texture3.png")));
    EXPECT_EQ(LoadImage(Out("Texture4.png"))->Width(), 8);
    options.format = ImageFormat::Jpeg;
    ASSERT_TRUE(ExportPageTextures(project, 1, options).IsDone());
    EXPECT_FALSE(FileExists(Out("texture_pieces.htm")));  // never a gallery here
    EXPECT_EQ(ExportPageTextures(project, 3, options).message, "There is no page 4.");
}

TEST_F(BulkExportTest, GalleryOnlyForJpegAndEvenWithoutImages) {
    options.format = ImageFormat::Png;
    ASSERT_TRUE(ExportAllPages(project, options).IsDone());
    EXPECT_FALSE(FileExists(Out("texture_pages.htm")));

    options.format = ImageFormat::Jpeg;
    options.gallery.columns = 2;
    ASSERT_TRUE(ExportAllPages(project, options).IsDone());
    EXPECT_EQ(test::ReadFile(Out("texture_pages.htm")),
              GalleryHtml(GalleryKind::Pages, "level.wad", 3, options.gallery, "jpg"));
    ASSERT_TRUE(ExportAllTextures(project, options).IsDone());
    EXPECT_EQ(test::ReadFile(Out("texture_pieces.htm")),
              GalleryHtml(GalleryKind::Textures, "level.wad", 4, options.gallery, "jpg"));

    Project empty;
    empty.filePath = Out("empty.plm");
    test::TempDir other;
    options.folder = other.Path();
    ASSERT_TRUE(ExportAllPages(empty, options).IsDone());
    EXPECT_NE(test::ReadFile(other.File("texture_pages.htm")).find(">0 pages</P>"),
              std::string::npos);
    EXPECT_FALSE(FileExists(other.File("Page1.jpg")));
}

TEST_F(BulkExportTest, RecordsOnMissingPagesAreSkippedAndCounted) {
    project.records.push_back(MakeRecord(0, 0, 4, 4, 9));
    project.records.push_back(MakeRecord(0, 0, 4, 4, 3));
    const Outcome result = ExportAllTextures(project, options);
    EXPECT_FALSE(result.IsDone());
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.message, "2 textures were not exported because their pages do not exist.");
    EXPECT_TRUE(FileExists(Out("Texture4.bmp")));
    EXPECT_FALSE(FileExists(Out("Texture5.bmp")));

    project.records.pop_back();
    EXPECT_EQ(ExportAllTextures(project, options).message,
              "1 texture was not exported because its page does not exist.");
}

TEST_F(BulkExportTest, FilesThatCannotBeWrittenAreNamedOnceAtTheEnd) {
    // A folder in the way of an image cannot be replaced by it.
    ASSERT_EQ(::mkdir(Out("Page2.bmp").c_str(), 0755), 0);
    Outcome result = ExportAllPages(project, options);
    EXPECT_FALSE(result.IsDone());
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.message.find("Cannot write \"" + Out("Page2.bmp") + "\": "), 0u)
        << result.message;
    EXPECT_EQ(result.message.find('\n'), std::string::npos);
    EXPECT_TRUE(FileExists(Out("Page1.bmp")));
    EXPECT_TRUE(FileExists(Out("Page3.bmp")));

    RemoveFileQuietly(Out("Page3.bmp"));
    ASSERT_EQ(::mkdir(Out("Page3.bmp").c_str(), 0755), 0);
    result = ExportAllPages(project, options);
    EXPECT_EQ(result.message.find("2 of 3 files could not be written:\nCannot write \"" +
                                  Out("Page2.bmp") + "\""),
              0u)
        << result.message;

    options.folder = Out("missing");
    result = ExportAllPages(project, options);
    EXPECT_FALSE(result.IsDone());
    EXPECT_FALSE(result.changed);
    EXPECT_NE(result.message.find(Out("missing")), std::string::npos);
}

TEST_F(BulkExportTest, SingleImageStacksPagesWithPageOneOnTop) {
    ASSERT_TRUE(ExportSingleImage(project, Out("Page1-3.png"), 100).IsDone());
    const auto image = LoadImage(Out("Page1-3.png"));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Width(), 256);
    ASSERT_EQ(image->Height(), 768);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(image->Copy(0, 256 * i, 256, 256), Page(static_cast<uint8_t>(i + 1))) << i;

    // Capitals name the format too.
    ASSERT_TRUE(ExportSingleImage(project, Out("all.JPEG"), 50).IsDone());
    EXPECT_EQ(test::ReadFile(Out("all.JPEG")).substr(0, 2), "\xff\xd8");
    const Outcome unknown = ExportSingleImage(project, Out("all.xyz"), 100);
    EXPECT_FALSE(unknown.IsDone());
    EXPECT_FALSE(FileExists(Out("all.xyz")));
    Project empty;
    empty.filePath = Out("e.plm");
    EXPECT_FALSE(ExportSingleImage(empty, Out("none.png"), 100).changed);
    EXPECT_FALSE(FileExists(Out("none.png")));
}

// The user's own pages are no hostile input: a tall image is written in every format whose
// files can record its height, and the others say which limit stops them.
TEST_F(BulkExportTest, SingleImageOfThreeHundredPages) {
    for (int i = 3; i < 300; ++i)
        project.pages.AddBitmapHandle(Image(256, 256, MakeColour(9, 9, 9)));
    project.pages.ReplaceBitmapHandle(299, Page(7));
    for (const char* name : {"all.bmp", "all.png", "all.tif"}) {
        SCOPED_TRACE(name);
        const Outcome result = ExportSingleImage(project, Out(name), 100);
        ASSERT_TRUE(result.IsDone()) << result.message;
    }
    // Decoding one 76,800-row BMP is enough to know the others: its header says the size.
    const std::string bmp = test::ReadFile(Out("all.bmp"));
    ASSERT_GE(bmp.size(), 26u);
    EXPECT_EQ(bmp.substr(18, 8), std::string("\x00\x01\x00\x00\x00\x2c\x01\x00", 8));
    for (const char* name : {"all.png", "all.tif"}) {
        const auto image = LoadImage(Out(name));
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->Height(), 76800);
        EXPECT_EQ(image->Copy(0, 256 * 299, 256, 256), Page(7)) << name;
    }
    for (const auto& [name, limit] : {std::pair{"all.pcx", "65536 rows, that is 256 pages"},
                                      std::pair{"all.tga", "65535 rows, that is 255 pages"},
                                      std::pair{"all.jpg", "65500 rows, that is 255 pages"}}) {
        SCOPED_TRACE(name);
        const Outcome result = ExportSingleImage(project, Out(name), 100);
        EXPECT_FALSE(result.IsDone());
        EXPECT_NE(result.message.find(limit), std::string::npos) << result.message;
        EXPECT_FALSE(FileExists(Out(name)));
    }
}

TEST(ShortFolderTextTest, LongFoldersKeepTheirEnds) {
    const std::string thirty = "/home/someone/textures/abcdefg";
    ASSERT_EQ(thirty.size(), 30u);
    EXPECT_EQ(ShortFolderText(thirty), thirty);
    EXPECT_EQ(ShortFolderText(thirty + "h"), "/ho...omeone/textures/abcdefgh");
    // Characters, not bytes: 30 two-byte letters fit whole, and a longer name is never cut
    // inside a letter.
    std::string umlauts;
    for (int i = 0; i < 30; ++i) umlauts += "\xC3\xBC";  // u with diaeresis
    EXPECT_EQ(ShortFolderText(umlauts), umlauts);
    EXPECT_EQ(ShortFolderText("/\xC3\xA4" + umlauts),
              "/\xC3\xA4\xC3\xBC..." + umlauts.substr(umlauts.size() - 48));
}

}  // namespace
}  // namespace pelmora
