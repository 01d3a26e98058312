#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "store/file_util.h"
#include "store/image_io.h"
#include "store/project.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::RunCliBinary;

// Two pattern pages; Texture 2 is a 30 x 40 rectangle at 10, 20 of page 2.
std::string SampleFile() {
    test::WadBytes wad;
    wad.version = kPelmMagic;
    wad.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1, 0, -1)};
    wad.pages = {test::PatternPage(1), test::PatternPage(2)};
    return wad.Build();
}

std::string Records(const test::TempDir& dir, const std::string& file) {
    return RunCliBinary(dir.Path(), {"records", file}).out;
}

void WritePng(const test::TempDir& dir, const std::string& name, const Image& image) {
    ASSERT_TRUE(SaveImage(image, dir.File(name), ImageFormat::Png));
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

TEST(CliAddPieces, PrintsEachPieceSkipsWhatCannotBeLoadedAndSaysSo) {
    test::TempDir dir;
    ASSERT_EQ(RunCliBinary(dir.Path(), {"new", "t.plm"}).status, 0);
    WritePng(dir, "img10.png", Image(200, 200, MakeColour(1, 2, 3)));
    WritePng(dir, "img2.png", Image(100, 60));
    WritePng(dir, "img1.png", Image(600, 300));
    test::WriteFile(dir.File("img3.png"), "not an image");
    const auto run = RunCliBinary(dir.Path(), {"add-pieces", "t.plm", "img10.png", "img2.png",
                                               "img1.png", "img3.png", "--color", "0000ff"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Texture 2: page 1 at 0,0 size 256x128\n"
              "Texture 3: page 1 at 0,128 size 100x60\n"
              "Texture 4: page 2 at 0,0 size 200x200\n");
    EXPECT_EQ(run.err, "Failed To Load Image... img3.png\n");
    EXPECT_EQ(RunCliBinary(dir.Path(), {"info", "t.plm"}).out,
              "{\"path\": \"t.plm\", \"version\": \"PELM\", \"records\": 4, \"pages\": 2, "
              "\"rest_bytes\": 0}\n");
    // The page made for the 200 x 200 piece has the colour given.
    ASSERT_EQ(RunCliBinary(dir.Path(), {"export-page", "t.plm", "2", "p2.raw"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir.File("p2.raw")).substr(200 * 3, 3), std::string("\0\0\xff", 3));

    const std::string before = test::ReadFile(dir.File("t.plm"));
    WritePng(dir, "small.png", Noise(20, 1));
    WritePng(dir, "big.png", Noise(100, 2));
    auto sized = RunCliBinary(dir.Path(), {"add-pieces", "t.plm", "--sort", "size-desc",
                                           "small.png", "big.png", "-o", "u.plm"});
    EXPECT_EQ(sized.status, 0) << sized.err;
    EXPECT_EQ(sized.out,
              "Texture 5: page 1 at 100,128 size 100x100\n"
              "Texture 6: page 1 at 200,128 size 20x20\n");
    EXPECT_EQ(test::ReadFile(dir.File("t.plm")), before);  // -o leaves FILE alone
    sized = RunCliBinary(dir.Path(), {"add-pieces", "t.plm", "--sort", "size-asc", "big.png",
                                      "small.png", "-o", "u.plm"});
    EXPECT_EQ(sized.out,
              "Texture 5: page 1 at 100,128 size 20x20\n"
              "Texture 6: page 1 at 120,128 size 100x100\n");
    EXPECT_EQ(
        RunCliBinary(dir.Path(), {"add-pieces", "t.plm", "--sort", "random", "img1.png"}).status,
        2);
}

TEST(CliAddPages, BlankImageAndLongImagePagesAndTheBlankPageFallback) {
    test::TempDir dir;
    test::WriteFile(dir.File("a.plm"), SampleFile());
    WritePng(dir, "tall.png", Image(100, 600, MakeColour(9, 9, 9)));
    auto run = RunCliBinary(dir.Path(), {"add-pages", "a.plm", "--blank", "3"});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCliBinary(dir.Path(), {"add-pages", "a.plm", "--long-image", "tall.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCliBinary(dir.Path(), {"add-pages", "a.plm", "--image", "tall.png", "--keep-aspect",
                                    "--color", "ff0000"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(RunCliBinary(dir.Path(), {"info", "a.plm"}).out.find("\"pages\": 9"),
              std::string::npos);
    ASSERT_EQ(RunCliBinary(dir.Path(), {"export-page", "a.plm", "9", "p.raw"}).status, 0);
    const std::string page = test::ReadFile(dir.File("p.raw"));
    EXPECT_EQ(page.substr(0, 3), "\x09\x09\x09");  // 100 x 600 fitted to 42 x 256
    EXPECT_EQ(page.substr(42 * 3, 3), std::string("\xff\0\0", 3));

    run = RunCliBinary(dir.Path(), {"add-pages", "a.plm", "--image", "nothing.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Failed To Load Image... nothing.png\nCreating Blank Page...\n");
    EXPECT_NE(RunCliBinary(dir.Path(), {"info", "a.plm"}).out.find("\"pages\": 10"),
              std::string::npos);

    const std::string before = test::ReadFile(dir.File("a.plm"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"add-pages", "a.plm", "--blank", "11"},
          std::vector<std::string>{"add-pages", "a.plm"},
          std::vector<std::string>{"add-pages", "a.plm", "--blank", "1", "--keep-aspect"},
          std::vector<std::string>{"add-pages", "a.plm", "--blank", "1", "--image", "x.png"}}) {
        EXPECT_EQ(RunCliBinary(dir.Path(), args).status, 2) << args.back();
    }
    EXPECT_EQ(test::ReadFile(dir.File("a.plm")), before);
}

TEST(CliRecordEditing, AddRecordAndGridFollowTheDialogsRules) {
    test::TempDir dir;
    test::WriteFile(dir.File("a.plm"), SampleFile());
    auto run = RunCliBinary(dir.Path(), {"add-record", "a.plm", "--page", "2", "--x", "300", "--y",
                                         "200", "--width", "10", "--height", "0", "--flip-y", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCliBinary(dir.Path(),
                       {"add-grid", "a.plm", "--page", "1", "--across", "100", "--down", "200"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Records(dir, "a.plm"),
              "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
              "Page=2, X=44, Y=200, Width=212, Height=256, FlipX=-1, FlipY=0\n"
              "Page=1, X=0, Y=0, Width=100, Height=200, FlipX=-1, FlipY=-1\n"
              "Page=1, X=100, Y=0, Width=100, Height=200, FlipX=-1, FlipY=-1\n"
              "Page=1, X=200, Y=0, Width=56, Height=200, FlipX=-1, FlipY=-1\n"
              "Page=1, X=0, Y=200, Width=100, Height=56, FlipX=-1, FlipY=-1\n"
              "Page=1, X=100, Y=200, Width=100, Height=56, FlipX=-1, FlipY=-1\n"
              "Page=1, X=200, Y=200, Width=56, Height=56, FlipX=-1, FlipY=-1\n");

    const std::string before = test::ReadFile(dir.File("a.plm"));
    run = RunCliBinary(dir.Path(), {"add-record", "a.plm", "--page", "3", "--x", "0", "--y", "0",
                                    "--width", "1", "--height", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Page 3 does not exist (the file has 2 pages).\n");
    EXPECT_EQ(RunCliBinary(dir.Path(),
                           {"add-grid", "a.plm", "--page", "1", "--across", "0", "--down", "5"})
                  .status,
              2);
    EXPECT_EQ(RunCliBinary(dir.Path(), {"add-record", "a.plm", "--page", "1", "--x", "-1", "--y",
                                        "0", "--width", "1", "--height", "1"})
                  .status,
              2);
    EXPECT_EQ(test::ReadFile(dir.File("a.plm")), before);
}

TEST(CliDelete, PagesPiecesAndRecords) {
    test::TempDir dir;
    test::WriteFile(dir.File("a.plm"), SampleFile());
    auto run = RunCliBinary(dir.Path(), {"delete-record", "a.plm", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Texture 1 should not be deleted...\n");
    run = RunCliBinary(dir.Path(), {"delete-piece", "a.plm", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(RunCliBinary(dir.Path(), {"delete-record", "a.plm", "3"}).status, 1);
    EXPECT_EQ(test::ReadFile(dir.File("a.plm")), SampleFile());

    run = RunCliBinary(dir.Path(),
                       {"delete-piece", "a.plm", "2", "--color", "00ff00", "-o", "b.plm"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Records(dir, "b.plm"), "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0\n");
    ASSERT_EQ(RunCliBinary(dir.Path(), {"export-page", "b.plm", "2", "p.raw"}).status, 0);
    const std::string page = test::ReadFile(dir.File("p.raw"));
    EXPECT_EQ(page.substr((20 * 256 + 10) * 3, 3), std::string("\0\xff\0", 3));
    EXPECT_EQ(page.substr((59 * 256 + 39) * 3, 3), std::string("\0\xff\0", 3));
    EXPECT_EQ(page.substr((59 * 256 + 40) * 3, 3), std::string("\x28\x3b\x02", 3));

    run = RunCliBinary(dir.Path(), {"delete-page", "a.plm", "2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(RunCliBinary(dir.Path(), {"info", "a.plm"}).out.find("\"records\": 1, \"pages\": 1"),
              std::string::npos);
    run = RunCliBinary(dir.Path(), {"delete-page", "a.plm", "1", "--color", "123456"});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(RunCliBinary(dir.Path(), {"export-page", "a.plm", "1", "p1.raw"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir.File("p1.raw")).substr(196605), "\x12\x34\x56");
    EXPECT_EQ(RunCliBinary(dir.Path(), {"delete-page", "a.plm", "2"}).status, 1);
}

TEST(CliSingleImages, ImportAndExportPagesAndPieces) {
    test::TempDir dir;
    test::WriteFile(dir.File("a.plm"), SampleFile());
    WritePng(dir, "red.png", Image(3, 3, MakeColour(255, 0, 0)));
    auto run = RunCliBinary(dir.Path(), {"import-piece", "a.plm", "2", "red.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCliBinary(dir.Path(), {"export-piece", "a.plm", "2", "piece.raw"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string red;
    for (int i = 0; i < 30 * 40; ++i) red += std::string("\xff\0\0", 3);
    EXPECT_EQ(test::ReadFile(dir.File("piece.raw")), red);
    run = RunCliBinary(dir.Path(), {"import-page", "a.plm", "1", "red.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCliBinary(dir.Path(), {"export-page", "a.plm", "1", "page.jpg", "--quality", "40"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadFile(dir.File("page.jpg")).substr(0, 2), "\xff\xd8");

    const std::string before = test::ReadFile(dir.File("a.plm"));
    run = RunCliBinary(dir.Path(), {"import-page", "a.plm", "1", "none.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Failed To Load Image... none.png\n");
    EXPECT_EQ(test::ReadFile(dir.File("a.plm")), before);
    EXPECT_EQ(RunCliBinary(dir.Path(), {"export-page", "a.plm", "1", "page.gif"}).status, 2);
    EXPECT_EQ(
        RunCliBinary(dir.Path(), {"export-page", "a.plm", "1", "p.jpg", "--quality", "101"}).status,
        2);
    EXPECT_EQ(RunCliBinary(dir.Path(), {"export-piece", "a.plm", "3", "p.png"}).status, 1);
    EXPECT_FALSE(FileExists(dir.File("p.png")));
}

}  // namespace
}  // namespace pelmora
