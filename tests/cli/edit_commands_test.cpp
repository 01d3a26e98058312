#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_util.h"
#include "base/image_io.h"
#include "base/project.h"
#include "cli/cli_runner.h"
#include "test_support.h"

namespace pelmora {
namespace {

using Args = std::vector<std::string>;

std::string SampleFile() {
    return test::SampleWad(kPelmMagic);
}

// Noise does not compress, so a larger image makes a larger file.
Image Noise(int side, unsigned seed) {
    Image image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.SetPixel(x, y, seed >> 8 & 0xFFFFFF);
        }
    return image;
}

class CliEditCommands : public test::CliTest {
protected:
    void WritePng(const std::string& name, const Image& image) {
        ASSERT_TRUE(SaveImage(image, dir.File(name), ImageFormat::Png));
    }
    std::string Info(const std::string& file) { return Run({"info", file}).out; }
    // Page n of file as raw bytes, through export-page.
    std::string RawPage(const std::string& file, const std::string& n) {
        EXPECT_EQ(Status({"export-page", file, n, "p.raw"}), 0);
        return Read("p.raw");
    }
};

TEST_F(CliEditCommands, AddPiecesPrintsEachPieceSkipsWhatCannotBeLoadedAndSaysSo) {
    ASSERT_EQ(Status({"new", "t.plm"}), 0);
    WritePng("img10.png", Image(200, 200, MakeColour(1, 2, 3)));
    WritePng("img2.png", Image(100, 60));
    WritePng("img1.png", Image(600, 300));
    Write("img3.png", "not an image");
    const auto run = Run({"add-pieces", "t.plm", "img10.png", "img2.png", "img1.png", "img3.png",
                          "img5.png", "--color", "0000ff"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Texture 2: page 1 at 0,0 size 256x128 <- img1.png\n"
              "Texture 3: page 1 at 0,128 size 100x60 <- img2.png\n"
              "Texture 4: page 2 at 0,0 size 200x200 <- img10.png\n");
    // Each skipped file on a line of its own, with the reason that names it.
    EXPECT_EQ(run.err,
              "Failed To Load Image... img3.png is not a BMP, PCX, PNG, TGA, TIFF or JPEG file\n"
              "Failed To Load Image... Cannot open \"img5.png\": No such file or directory\n");
    // The page made for the 200 x 200 piece has the colour given.
    EXPECT_EQ(RawPage("t.plm", "2").substr(200 * 3, 3), std::string("\0\0\xff", 3));

    // The order itself is AddPiecesFromFiles'; here --sort and -o have to arrive.
    const std::string before = Read("t.plm");
    WritePng("small.png", Noise(20, 1));
    WritePng("big.png", Noise(100, 2));
    EXPECT_EQ(
        Ok({"add-pieces", "t.plm", "--sort", "size-desc", "small.png", "big.png", "-o", "u.plm"})
            .out,
        "Texture 5: page 1 at 100,128 size 100x100 <- big.png\n"
        "Texture 6: page 1 at 200,128 size 20x20 <- small.png\n");
    EXPECT_EQ(Read("t.plm"), before);
    EXPECT_EQ(Status({"add-pieces", "t.plm", "--sort", "random", "img1.png"}), 2);
}

TEST_F(CliEditCommands, AddPagesBlankImageAndLongImagePagesAndTheBlankPageFallback) {
    Write("a.plm", SampleFile());
    WritePng("tall.png", Image(100, 600, MakeColour(9, 9, 9)));
    Ok({"add-pages", "a.plm", "--blank", "3"});
    Ok({"add-pages", "a.plm", "--long-image", "tall.png"});
    Ok({"add-pages", "a.plm", "--image", "tall.png", "--keep-aspect", "--color", "ff0000"});
    EXPECT_NE(Info("a.plm").find("\"pages\": 9"), std::string::npos);
    // --color reaches the page; how the image is fitted is the page-creation core's business.
    EXPECT_EQ(RawPage("a.plm", "9").substr(42 * 3, 3), std::string("\xff\0\0", 3));

    const auto run = Run({"add-pages", "a.plm", "--image", "nothing.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Failed To Load Image... Cannot open \"nothing.png\": No such file or directory\n"
              "Creating Blank Page...\n");

    const std::string before = Read("a.plm");
    for (const Args& args :
         {Args{"add-pages", "a.plm", "--blank", "11"}, Args{"add-pages", "a.plm"},
          Args{"add-pages", "a.plm", "--blank", "1", "--keep-aspect"},
          Args{"add-pages", "a.plm", "--blank", "1", "--image", "x.png"}}) {
        EXPECT_EQ(Status(args), 2) << args.back();
    }
    EXPECT_EQ(Read("a.plm"), before);
}

TEST_F(CliEditCommands, AddRecordAndGridFollowTheDialogsRules) {
    Write("a.plm", SampleFile());
    Ok({"add-record", "a.plm", "--page", "2", "--x", "300", "--y", "200", "--width", "10",
        "--height", "0", "--flip-y", "0"});
    Ok({"add-grid", "a.plm", "--page", "1", "--across", "100", "--down", "200"});
    // Wrapping, cutting and the grid's cells are the record-editing core's (StoreRecordFields,
    // AddRecordsFromGrid); here every option has to arrive.
    const std::string records = Run({"records", "a.plm"}).out;
    EXPECT_NE(records.find("\nPage=2, X=44, Y=200, Width=212, Height=256, FlipX=-1, FlipY=0\n"
                           "Page=1, X=0, Y=0, Width=100, Height=200, FlipX=-1, FlipY=-1\n"),
              std::string::npos)
        << records;
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 9);

    const std::string before = Read("a.plm");
    const auto run = Run({"add-record", "a.plm", "--page", "3", "--x", "0", "--y", "0", "--width",
                          "1", "--height", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "a.plm: Page 3 does not exist (the file has 2 pages).\n");
    EXPECT_EQ(Status({"add-record", "a.plm", "--page", "1", "--x", "-1", "--y", "0", "--width", "1",
                      "--height", "1"}),
              2);
    EXPECT_EQ(Read("a.plm"), before);
}

TEST_F(CliEditCommands, DeletePagesPiecesAndRecords) {
    Write("a.plm", SampleFile());
    auto run = Run({"delete-record", "a.plm", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "a.plm: Texture 1 should not be deleted...\n");
    EXPECT_EQ(Read("a.plm"), SampleFile());

    Ok({"delete-piece", "a.plm", "2", "--color", "00ff00", "-o", "b.plm"});
    EXPECT_EQ(RawPage("b.plm", "2").substr((20 * 256 + 10) * 3, 3), std::string("\0\xff\0", 3));

    Ok({"delete-page", "a.plm", "2"});
    EXPECT_NE(Info("a.plm").find("\"records\": 1, \"pages\": 1"), std::string::npos);
    Ok({"delete-page", "a.plm", "1", "--color", "123456"});
    EXPECT_EQ(RawPage("a.plm", "1").substr(196605), "\x12\x34\x56");
}

TEST_F(CliEditCommands, SingleImagesImportAndExportPagesAndPieces) {
    Write("a.plm", SampleFile());
    WritePng("red.png", Image(3, 3, MakeColour(255, 0, 0)));
    Ok({"import-piece", "a.plm", "2", "red.png"});
    Ok({"export-piece", "a.plm", "2", "piece.raw"});
    Ok({"import-page", "a.plm", "1", "red.png"});
    Ok({"export-page", "a.plm", "1", "page.jpg", "--quality", "40"});
    // What the files hold is the single-image core's business; here they only have to be there.
    EXPECT_TRUE(FileExists(dir.File("piece.raw")) && FileExists(dir.File("page.jpg")));

    const std::string before = Read("a.plm");
    const auto run = Run({"import-page", "a.plm", "1", "none.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Failed To Load Image... Cannot open \"none.png\": No such file or directory\n");
    EXPECT_EQ(Read("a.plm"), before);
    EXPECT_EQ(Status({"export-page", "a.plm", "1", "page.gif"}), 2);
    EXPECT_EQ(Status({"export-page", "a.plm", "1", "p.jpg", "--quality", "101"}), 2);
}

}  // namespace
}  // namespace pelmora
