#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "base/file_util.h"
#include "cli/cli_runner.h"
#include "test_support.h"
#include "update/local_http_server.h"

namespace pelmora {
namespace {

using nlohmann::json;

// What each operation does to pages, records and files is the core's test; here every option
// has to reach it and the command has to say what it did.
class CliOperations : public test::CliTest {
protected:
    std::string Info(const std::string& file) { return Run("info " + file).out; }
    // Page n of file as raw bytes, through export-page.
    std::string RawPage(const std::string& file, int n) {
        Ok("export-page " + file + " " + std::to_string(n) + " p.raw");
        return Read("p.raw");
    }
    bool Exists(const std::string& name) { return FileExists(dir.File(name)); }
};

// That a save or a merge keeps every byte is the writer's and the merge's test; here -o has to
// arrive, keep the kind of file and leave FILE as it was.
TEST_F(CliOperations, SaveAndMergeWithOutputLeaveTheFileUntouched) {
    Write("level.wad", test::SampleWad(129));
    EXPECT_EQ(Ok("save level.wad -o copy.plm").out, "");
    EXPECT_EQ(Read("copy.plm"), test::SampleWad(129));
    Ok("merge level.wad a.plm -o merged.wad");
    EXPECT_NE(Run("info merged.wad").out.find("\"129\", \"records\": 3, \"pages\": 4"),
              std::string::npos);
    EXPECT_EQ(Read("level.wad"), test::SampleWad(129));
}

TEST_F(CliOperations, NewTakesItsColourAndRenamesAWadPath) {
    Ok("new n.plm --color ff8000");
    // The layout of a new file is the writer's business; here --color has to reach its page.
    EXPECT_EQ(Read("n.plm").substr(20, 3), std::string("\xff\x80\0", 3));
    Ok("new --force n.plm");
    EXPECT_EQ(Read("n.plm").substr(20, 3), std::string(3, '\0'));
    Write("b.plm", "taken");
    EXPECT_EQ(Ok("new b.wad").out, "saved as b1.plm\n");
    EXPECT_FALSE(Exists("b.wad"));
}

TEST_F(CliOperations, AddPiecesPrintsEachPieceAndSkipsWhatCannotBeLoaded) {
    Ok("new t.plm");
    ASSERT_EQ(::mkdir(dir.File("icons").c_str(), 0755), 0);
    test::WritePng(dir, "icons/a.png", test::PatternImage(100, 60, 1));
    test::WritePng(dir, "icons/b.png", test::PatternImage(200, 200, 2));
    Write("icons/broken.png", "not an image");
    const auto run =
        Run("add-pieces t.plm --sort size-desc --color 0000ff icons none.png -o u.plm");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Texture 2: page 1 at 0,0 size 200x200 <- icons/b.png\n"
              "Texture 3: page 2 at 0,0 size 100x60 <- icons/a.png\n");
    // Each skipped file on a line of its own, with the reason that names it.
    EXPECT_EQ(run.err,
              "Failed To Load Image... Cannot open \"none.png\": No such file or directory\n"
              "Failed To Load Image... icons/broken.png is not a BMP, PCX, PNG, TGA, TIFF or JPEG "
              "file\n");
    EXPECT_EQ(RawPage("u.plm", 2).substr(200 * 3, 3), std::string("\0\0\xff", 3));

    const auto added = Run("add-pieces t.plm icons --json");
    EXPECT_EQ(added.status, 1);
    const json doc = json::parse(added.out);
    ASSERT_EQ(doc["placed"].size(), 2u);
    // By name, the default.
    EXPECT_EQ(json({doc["path"], doc["placed"][0]["source"], doc["skipped"][0]["source"]}),
              json({"t.plm", "icons/a.png", "icons/broken.png"}));
    // The records list is the placed list without the sources, after the reserved record.
    json placed = doc["placed"][1];
    placed.erase("source");
    EXPECT_EQ(json::parse(Ok("records t.plm --json").out)["records"][2], placed);
}

TEST_F(CliOperations, AddPagesOfEachKindAndTheBlankPageFallback) {
    test::WritePng(dir, "tall.png", Image(100, 600, MakeColour(9, 9, 9)));
    Ok("add-pages a.plm --blank 3");
    Ok("add-pages a.plm --long-image tall.png");
    Ok("add-pages a.plm --image tall.png --keep-aspect --color ff0000");
    EXPECT_NE(Info("a.plm").find("\"pages\": 9"), std::string::npos);
    EXPECT_EQ(RawPage("a.plm", 9).substr(42 * 3, 3), std::string("\xff\0\0", 3));

    const auto run = Run("add-pages a.plm --image nothing.png");  // the blank page is saved
    EXPECT_EQ(std::to_string(run.status) + run.err,
              "1Failed To Load Image... Cannot open \"nothing.png\": No such file or directory\n"
              "Creating Blank Page...\n");
    EXPECT_NE(Info("a.plm").find("\"pages\": 10"), std::string::npos);
}

TEST_F(CliOperations, DeleteImportAndExportTakeTheirNumbersAndColours) {
    Ok("add-record a.plm --page 2 --x 300 --y 200 --width 10 --height 0 --flip-y 0");
    Ok("add-grid a.plm --page 1 --across 100 --down 200");
    const std::string records = Run("records a.plm").out;
    EXPECT_NE(records.find("\nPage=2, X=44, Y=200, Width=212, Height=256, FlipX=-1, FlipY=0\n"
                           "Page=1, X=0, Y=0, Width=100, Height=200, FlipX=-1, FlipY=-1\n"),
              std::string::npos)
        << records;

    Ok("delete-piece a.plm 2 --color 00ff00 -o b.plm");
    EXPECT_EQ(RawPage("b.plm", 2).substr((20 * 256 + 10) * 3, 3), std::string("\0\xff\0", 3));
    Ok("delete-record a.plm 9 -o c.plm");
    EXPECT_NE(Info("c.plm").find("\"records\": 8, \"pages\": 2"), std::string::npos);
    Ok("delete-page a.plm 2");
    EXPECT_NE(Info("a.plm").find("\"records\": 7, \"pages\": 1"), std::string::npos);
    Ok("delete-page a.plm 1 --color 123456");
    EXPECT_EQ(RawPage("a.plm", 1).substr(196605), "\x12\x34\x56");

    test::WritePng(dir, "red.png", Image(3, 3, MakeColour(255, 0, 0)));
    const std::string red("\xff\0\0", 3);
    Ok("import-page a.plm 1 red.png");
    EXPECT_EQ(RawPage("a.plm", 1).substr(0, 3), red);
    Ok("import-piece b.plm 1 red.png");
    Ok("export-piece b.plm 1 piece.raw");
    EXPECT_EQ(Read("piece.raw"), red);
}

TEST_F(CliOperations, RecordsFilesAreReadAndWrittenByTheirNamesAndSortTakesItsOrder) {
    Ok("export-records a.plm r.rec");
    Ok("export-records a.plm r.json");
    EXPECT_EQ(Read("r.rec").rfind("#Pelmora Texture Records File", 0), 0u);
    EXPECT_EQ(json::parse(Read("r.json"))["records"],
              json::parse(Ok("records a.plm --json").out)["records"]);
    const std::string before = Run("records a.plm").out;
    Ok("import-records a.plm r.rec --overwrite -o copy.plm");
    EXPECT_EQ(Run("records copy.plm").out, before);

    // By default the appended pages move up by the page count, as the dialog proposes.
    Ok("import-records a.plm r.json --append");
    Ok("import-records a.plm r.rec --append --shift 0");
    Ok("sort a.plm --descending");
    EXPECT_EQ(Run("records a.plm").out,
              "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0\n"
              "Page=4, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n");
}

TEST_F(CliOperations, CheckDuplicatesReportsAndRemovesOnRequest) {
    Ok("add-record a.plm --page 2 --x 10 --y 20 --width 30 --height 40 --flip-x 0");
    const std::string report = "Found 1 duplicates\n\ntexture 2 and texture 3 match\n";
    EXPECT_EQ(Ok("check-duplicates a.plm --report d.txt").out, report);
    EXPECT_TRUE(Exists("d.txt"));  // its layout is DuplicateCheckTest's
    const json found = json::parse(Ok("check-duplicates a.plm --json").out);
    EXPECT_EQ(found["duplicates"].dump() + found["copies"][0]["texture"].dump() +
                  found["copies"][0]["same_as"].dump(),
              "132");

    EXPECT_EQ(Ok("check-duplicates a.plm --remove").out, report);
    EXPECT_EQ(Run("check-duplicates a.plm").out, "Found 0 duplicates\n\n");
}

TEST_F(CliOperations, BulkExportsWriteTheFormatAskedAndTheGalleryWhereItApplies) {
    ::mkdir(dir.File("out").c_str(), 0755);
    Ok("export-pages a.plm out --format tiff");
    EXPECT_TRUE(Exists("out/Page2.tif") && !Exists("out/Page3.tif"));
    Ok("export-single a.plm out/all.JPG --quality 10");
    EXPECT_EQ(Read("out/all.JPG").substr(0, 2), "\xff\xd8");  // JPEG by the capital extension

    // As in the editor, the gallery option is ignored where it does not apply.
    for (const char* line : {"export-pages a.plm out --html",
                             "export-textures a.plm out --page 2 --format jpeg --html"})
        EXPECT_NE(Ok(line).err.find("--html is ignored"), std::string::npos);
    EXPECT_FALSE(Exists("out/texture_pages.htm") || Exists("out/texture_pieces.htm"));

    Ok("export-pages a.plm out --format jpeg --quality 40 --html --columns 1 --width 100% "
       "--border 3 --table-color 102030 --cell-color 0000ff --align left");
    EXPECT_NE(Read("out/texture_pages.htm")
                  .find("<TABLE WIDTH=\"100%\" CELLPADDING=\"2\" CELLSPACING=\"2\" BORDER=\"3\" "
                        "BGCOLOR=\"#102030\">\r\n\t<TR>\r\n\t\t<TD ALIGN=\"LEFT\" "
                        "BGCOLOR=\"#0000ff\"><A HREF=\"Page1.jpg\">"),
              std::string::npos);
    Ok("export-textures a.plm out --format jpg --html --no-width");
    EXPECT_NE(Read("out/texture_pieces.htm").find("<TABLE CELLPADDING"), std::string::npos);
}

TEST_F(CliOperations, CheckUpdatePrintsTheOfferOrTheMessageAndFailsOnlyWhenTheCheckFails) {
    test::LocalHttpServer newer(test::LocalHttpServer::Body("99.0\r\n<html></html>"));
    test::LocalHttpServer same(test::LocalHttpServer::Body(PELMORA_VERSION));
    test::RefusingPort refusing;
    // The option wins over the environment, which wins over the program's own site.
    ::setenv("PELMORA_UPDATE_SITE", refusing.Base().c_str(), 1);

    const std::string site = newer.Base();
    EXPECT_EQ(Ok("check-update --site " + site.substr(0, site.size() - 1)).out,
              "Would you like update Pelmora v" PELMORA_VERSION
              " to v99.0,\nClick yes to visit download site...\n" +
                  site + "pelmora.htm#new_version\n");
    EXPECT_EQ(Ok("check-update --site " + same.Base()).out, "Update Not Required\n");

    const auto failed = Run("check-update");
    EXPECT_EQ(std::to_string(failed.status) + failed.out + failed.err,
              "1Internet Connect Failure\n");
    ::unsetenv("PELMORA_UPDATE_SITE");
}

}  // namespace
}  // namespace pelmora
