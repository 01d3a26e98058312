#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/file_util.h"
#include "base/image_io.h"
#include "cli/cli_runner.h"
#include "test_support.h"

namespace pelmora {
namespace {

// Two pages; record 2 on page 2, record 3 on a page that does not exist.
std::string SampleWad() {
    test::WadBytes wad;
    wad.version = 129;
    wad.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1), MakeRecord(0, 0, 8, 8, 5)};
    wad.pages = {test::PatternPage(1), test::PatternPage(2)};
    return wad.Build();
}

class CliExportCommands : public test::CliTest {
protected:
    void SetUp() override {
        Write("level.wad", SampleWad());
        ::mkdir(dir.File("out").c_str(), 0755);
    }
    std::string Out(const std::string& name) { return dir.File("out/" + name); }
};

TEST_F(CliExportCommands, ExportPagesAndSingleWriteTheFormatAsked) {
    Ok({"export-pages", "level.wad", "out"});
    EXPECT_TRUE(FileExists(Out("Page2.bmp")));
    Ok({"export-pages", "level.wad", "out", "--format", "tiff"});
    EXPECT_TRUE(FileExists(Out("Page1.tif")));
    EXPECT_FALSE(FileExists(Out("Page3.tif")));
    EXPECT_FALSE(FileExists(Out("texture_pages.htm")));
    // What the pictures hold is the bulk export's business (BulkExportTest).
    Ok({"export-single", "level.wad", "out/all.JPG", "--quality", "10"});
    EXPECT_EQ(Read("out/all.JPG").substr(0, 2), "\xff\xd8");  // JPEG by the capital extension
    EXPECT_EQ(Read("level.wad"), SampleWad());
}

TEST_F(CliExportCommands, GalleryOptionsReachThePage) {
    auto run = Ok({"export-pages", "level.wad",    "out",      "--format",  "jpeg",
                   "--quality",    "40",           "--html",   "--columns", "1",
                   "--width",      "100%",         "--border", "3",         "--table-color",
                   "102030",       "--cell-color", "0000ff",   "--align",   "left"});
    const std::string html = Read("out/texture_pages.htm");
    EXPECT_NE(html.find("<TITLE>Texture Pages from - level.wad</TITLE>\r\n"), std::string::npos);
    EXPECT_NE(html.find("<TABLE WIDTH=\"100%\" CELLPADDING=\"2\" CELLSPACING=\"2\" BORDER=\"3\" "
                        "BGCOLOR=\"#102030\">\r\n\t<TR>\r\n\t\t<TD ALIGN=\"LEFT\" "
                        "BGCOLOR=\"#0000ff\"><A HREF=\"Page1.jpg\">"),
              std::string::npos)
        << html;

    run = Run({"export-textures", "level.wad", "out", "--format", "jpg", "--html", "--no-width"});
    EXPECT_EQ(run.status, 1);  // record 3's page is missing
    EXPECT_EQ(run.err, "level.wad: 1 texture was not exported because its page does not exist.\n");
    EXPECT_NE(Read("out/texture_pieces.htm").find("<TABLE CELLPADDING"), std::string::npos);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"export-pages", "level.wad", "out", "--format", "jpeg", "--columns", "2"},
             {"export-pages", "level.wad", "out", "--format", "gif"},
             {"export-pages", "level.wad", "out", "--quality", "101"},
             {"export-pages", "level.wad", "out", "--format", "jpeg", "--html", "--align", "top"},
             {"export-single", "level.wad", "out/all.gif"}}) {
        EXPECT_EQ(Status(args), 2) << args[3];
    }

    // As in the editor, the gallery option is ignored where it does not apply.
    std::remove(Out("texture_pages.htm").c_str());
    std::remove(Out("texture_pieces.htm").c_str());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"export-pages", "level.wad", "out", "--html"},
             {"export-textures", "level.wad", "out", "--page", "2", "--format", "jpeg", "--html"},
             {"export-textures", "level.wad", "out", "--page", "2", "--html"}}) {
        run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("--html is ignored"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(Out("texture_pages.htm")));
    EXPECT_FALSE(FileExists(Out("texture_pieces.htm")));
}

}  // namespace
}  // namespace pelmora
