#include "export/bulk_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "base/file_util.h"
#include "test_support.h"

namespace pelmora {
namespace {

Image Page(int seed) {
    return Image::FromPackedRgb(256, 256, test::PatternPage(static_cast<uint8_t>(seed)).data());
}

class BulkExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        project.filePath = dir.File("level.wad");
        for (int seed = 1; seed <= 3; ++seed) project.pages.AddBitmapHandle(Page(seed));
        project.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1),
                           MakeRecord(0, 0, 256, 256, 0, 0, 0), MakeRecord(5, 5, 8, 8, 1)};
        options.folder = dir.Path();
    }
    std::string Out(const std::string& name) const { return dir.File(name); }
    bool Exists(const std::string& name) const { return FileExists(dir.File(name)); }

    test::TempDir dir;
    Project project;
    ExportOptions options;
};

TEST_F(BulkExportTest, PagesAreWrittenAsNumberedFilesInEachFormat) {
    options.saveHtmlPage = false;
    for (const ExportFormatInfo& format : kExportFormats) {
        options.format = format.format;
        const Outcome result = ExportAllPages(project, options);
        ASSERT_TRUE(result.IsDone()) << format.label << ": " << result.message;
        for (int n = 1; n <= 3; ++n) {
            const auto image = LoadImage(Out("Page" + std::to_string(n) + "." + format.extension));
            ASSERT_TRUE(image) << format.label << n;
            EXPECT_TRUE(format.format == ImageFormat::Jpeg || *image == Page(n)) << format.label;
        }
    }
    EXPECT_FALSE(Exists("Page1.tiff") || Exists("Page4.bmp") || Exists("texture_pages.htm"));
}

// Records on missing pages are skipped and counted; FlipX and FlipY are -1 here and not
// applied.
TEST_F(BulkExportTest, TexturesAreCutFromTheirPagesWithoutFlipsAndNamedByTheirNumbers) {
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
    EXPECT_EQ(*LoadImage(Out("Texture2.bmp")), Page(2).Copy(10, 20, 30, 40));
    EXPECT_EQ(*LoadImage(Out("Texture3.bmp")), Page(1));
    RemoveFileQuietly(Out("Texture4.bmp"));

    project.records.push_back(MakeRecord(0, 0, 4, 4, 9));
    const Outcome skipped = ExportAllTextures(project, options);
    EXPECT_TRUE(skipped.changed);
    EXPECT_EQ(skipped.message, "1 texture was not exported because its page does not exist.");
    EXPECT_TRUE(Exists("Texture4.bmp") && !Exists("Texture5.bmp"));
    project.records.push_back(MakeRecord(0, 0, 4, 4, 3));
    EXPECT_EQ(ExportAllTextures(project, options).message,
              "2 textures were not exported because their pages do not exist.");

    // Export Textures writes only one page's records, by their overall numbers.
    options.format = ImageFormat::Jpeg;  // and never a gallery
    ASSERT_TRUE(ExportPageTextures(project, 1, options).IsDone());
    EXPECT_TRUE(Exists("Texture2.jpg") && Exists("Texture4.jpg"));
    EXPECT_FALSE(Exists("Texture1.jpg") || Exists("Texture3.jpg") || Exists("texture_pieces.htm"));
    EXPECT_EQ(LoadImage(Out("Texture4.jpg"))->Width(), 8);
    EXPECT_EQ(ExportPageTextures(project, 3, options).message, "There is no page 4.");
}

TEST_F(BulkExportTest, GalleryOnlyForJpegAndEvenWithoutImages) {
    options.format = ImageFormat::Png;
    ASSERT_TRUE(ExportAllPages(project, options).IsDone());
    ASSERT_TRUE(ExportAllTextures(project, options).IsDone());
    EXPECT_FALSE(Exists("texture_pages.htm") || Exists("texture_pieces.htm"));

    options.format = ImageFormat::Jpeg;
    options.gallery.columns = 2;
    ASSERT_TRUE(ExportAllPages(project, options).IsDone());
    EXPECT_EQ(test::ReadFile(Out("texture_pages.htm")),
              GalleryHtml(GalleryKind::Pages, "level.wad", 3, options.gallery, "jpg"));
    ASSERT_TRUE(ExportAllTextures(project, options).IsDone());
    EXPECT_EQ(test::ReadFile(Out("texture_pieces.htm")),
              GalleryHtml(GalleryKind::Textures, "level.wad", 4, options.gallery, "jpg"));

    project.pages.ClearBitmaps();
    options.folder = Out("empty");
    ASSERT_EQ(::mkdir(options.folder.c_str(), 0755), 0);
    ASSERT_TRUE(ExportAllPages(project, options).IsDone());
    EXPECT_NE(test::ReadFile(Out("empty/texture_pages.htm")).find(">0 pages</P>"),
              std::string::npos);
}

TEST_F(BulkExportTest, FilesThatCannotBeWrittenAreNamedOnceAtTheEnd) {
    // A folder in the way of an image cannot be replaced by it.
    ASSERT_EQ(::mkdir(Out("Page2.bmp").c_str(), 0755), 0);
    Outcome result = ExportAllPages(project, options);
    EXPECT_TRUE(result.changed && !result.IsDone());
    EXPECT_EQ(result.message.find("Cannot write \"" + Out("Page2.bmp") + "\": "), 0u)
        << result.message;
    EXPECT_EQ(result.message.find('\n'), std::string::npos);
    EXPECT_TRUE(Exists("Page1.bmp") && Exists("Page3.bmp"));

    RemoveFileQuietly(Out("Page3.bmp"));
    ASSERT_EQ(::mkdir(Out("Page3.bmp").c_str(), 0755), 0);
    EXPECT_EQ(ExportAllPages(project, options)
                  .message.find("2 of 3 files could not be written:\nCannot write \"" +
                                Out("Page2.bmp") + "\""),
              0u);

    options.folder = Out("missing");
    result = ExportAllPages(project, options);
    EXPECT_FALSE(result.IsDone() || result.changed);
    EXPECT_NE(result.message.find(Out("missing")), std::string::npos);
}

// The user's own pages are no hostile input: a tall image is written in every format whose
// files can record its height, and the others say which limit stops them.
TEST_F(BulkExportTest, SingleImageStacksPagesWithPageOneOnTop) {
    EXPECT_FALSE(ExportSingleImage(project, Out("all.xyz"), 100).IsDone());
    ASSERT_TRUE(ExportSingleImage(project, Out("all.JPEG"), 50).IsDone());  // capitals name it too
    EXPECT_EQ(test::ReadFile(Out("all.JPEG")).substr(0, 2), "\xff\xd8");

    for (int i = 3; i < 300; ++i)
        project.pages.AddBitmapHandle(Image(256, 256, MakeColour(9, 9, 9)));
    project.pages.ReplaceBitmapHandle(299, Page(7));
    for (const char* name : {"all.bmp", "all.png", "all.tif"}) {
        const Outcome result = ExportSingleImage(project, Out(name), 100);
        ASSERT_TRUE(result.IsDone()) << name << ": " << result.message;
    }
    // Decoding one 76,800-row BMP is enough to know the others: its header says the size.
    EXPECT_EQ(test::ReadFile(Out("all.bmp")).substr(18, 8),
              std::string("\x00\x01\x00\x00\x00\x2c\x01\x00", 8));
    for (const char* name : {"all.png", "all.tif"}) {
        const auto image = LoadImage(Out(name));
        ASSERT_TRUE(image && image->Height() == 76800) << name;
        for (const int i : {0, 1, 2, 299})
            EXPECT_EQ(image->Copy(0, 256 * i, 256, 256), Page(i == 299 ? 7 : i + 1)) << name << i;
    }
    for (const auto& [name, limit] : {std::pair{"all.pcx", "65536 rows, that is 256 pages"},
                                      std::pair{"all.tga", "65535 rows, that is 255 pages"},
                                      std::pair{"all.jpg", "65500 rows, that is 255 pages"}}) {
        EXPECT_NE(ExportSingleImage(project, Out(name), 100).message.find(limit), std::string::npos)
            << name;
        EXPECT_FALSE(Exists(name));
    }
    project.pages.ClearBitmaps();
    EXPECT_FALSE(ExportSingleImage(project, Out("none.png"), 100).changed);
    EXPECT_FALSE(Exists("none.png") || Exists("all.xyz"));
}

TEST(ShortFolderTextTest, LongFoldersKeepTheirEnds) {
    const std::string thirty = "/home/someone/textures/abcdefg";
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
