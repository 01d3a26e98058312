#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "base/file_util.h"
#include "base/image_io.h"
#include "cli/cli_app.h"
#include "cli/cli_runner.h"
#include "test_support.h"

namespace pelmora {
namespace {

using Args = std::vector<std::string>;

class CliCommandLine : public test::CliTest {
protected:
    void SetUp() override { Ok({"new", "a.plm"}); }
};

TEST_F(CliCommandLine, MalformedArgumentsAreUsageErrorsThatSayWhatIsWrong) {
    Write("r.rec", "");
    const struct {
        Args args;
        std::string message;
    } cases[] = {
        // An empty value used to be read as 0, or as no file at all.
        {{"export-textures", "a.plm", ".", "--page", ""}, "--page: must not be empty"},
        {{"delete-page", "a.plm", ""}, "P: must not be empty"},
        {{"add-record", "a.plm", "--page", "1", "--x", "0", "--y", "0", "--width", "1", "--height",
          "1", "--flip-x", ""},
         "--flip-x: must not be empty"},
        {{"new", "", "--force"}, "FILE: must not be empty"},
        // Ranges in plain whole numbers.
        {{"export-textures", "a.plm", ".", "--page", "0"},
         "--page: must be from 1 to 65536, not 0"},
        {{"add-grid", "a.plm", "--page", "1", "--across", "0", "--down", "1"},
         "--across: must be 1 or more, not 0"},
        {{"export-page", "a.plm", "1", "p.png", "--quality", "1x"},
         "--quality: must be a whole number, not '1x'"},
        {{"delete-page", "a.plm", "99999999999"},
         "P: must be from -2147483648 to 2147483647, not 99999999999"},
        {{"frobnicate"}, "'frobnicate' is not a command"},
        {{}, "a command is required"},
        {{"info", "-dash.wad"},
         "FILE is required (a FILE whose name starts with '-' goes after "
         "'--': pelmora-cli info -- -level.wad)"},
    };
    const std::string before = Read("a.plm");
    for (const auto& c : cases) {
        const auto run = Run(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err, "pelmora-cli: " + c.message + "\nRun 'pelmora-cli --help' for usage.\n");
    }
    EXPECT_EQ(Read("a.plm"), before);
    EXPECT_NE(Run({"info", "--help"}).out.find("info -- -level.wad"), std::string::npos);
    EXPECT_EQ(Run({"info", "--", "-dash.wad"}).err,
              "Cannot open \"-dash.wad\": No such file or directory\n");
}

TEST_F(CliCommandLine, FailuresNameTheFileTheyAreAbout) {
    Write("bad.wad", "nonsense");
    ::mkdir(dir.File("folder").c_str(), 0755);
    const struct {
        Args args;
        std::string err;
    } cases[] = {
        {{"merge", "a.plm", "bad.wad"},
         "This is not a Stonecrypt Wad file or wrong version or type of wad... bad.wad\n"},
        {{"delete-page", "a.plm", "0"}, "a.plm: Page 0 does not exist (the file has 1 page).\n"},
        {{"export-textures", "a.plm", "folder", "--page", "65536"},
         "a.plm: There is no page 65536.\n"},
        {{"export-records", "a.plm", "folder/"},
         "Cannot write \"folder/\": it is a folder, not a records file.\n"},
    };
    for (const auto& c : cases) {
        const auto run = Run(c.args);
        EXPECT_EQ(run.status, 1) << c.err;
        EXPECT_EQ(run.err, c.err);
    }
}

TEST_F(CliCommandLine, ABulkExportThatFailsOftenSaysSoInOneLine) {
    Ok({"add-grid", "a.plm", "--page", "1", "--across", "64", "--down", "64"});
    ::mkdir(dir.File("out").c_str(), 0755);
    // Folders in place of every texture but the first make each of those writes fail.
    for (int i = 2; i <= 17; ++i)
        ::mkdir(dir.File("out/Texture" + std::to_string(i) + ".bmp").c_str(), 0755);
    const auto run = Run({"export-textures", "a.plm", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind("16 of 17 files could not be written: Cannot write \"out/Texture", 0),
              0u)
        << run.err;
    EXPECT_NE(run.err.find("; ... and 11 more.\n"), std::string::npos) << run.err;
}

TEST_F(CliCommandLine, InfoWritesJsonEvenForANameThatIsNotUtf8) {
    const std::string name = "l\xe9vel \xc3\xa9\xff.plm";  // Latin-1 é, UTF-8 é, a stray byte
    Write(name, Read("a.plm"));
    EXPECT_EQ(Ok({"info", name}).out,
              "{\"path\": \"l\\ufffdvel \xc3\xa9\\ufffd.plm\", \"version\": \"PELM\", \"records\": "
              "1, \"pages\": 1, \"rest_bytes\": 0}\n");
}

TEST_F(CliCommandLine, PlacementLinesNeverLandOnTheProgressLine) {
    ASSERT_TRUE(SaveImage(Image(8, 8), dir.File("p1.png"), ImageFormat::Png));
    ASSERT_TRUE(SaveImage(Image(8, 8), dir.File("p2.png"), ImageFormat::Png));
    // Both streams into one, as on a terminal.
    std::ostringstream screen;
    const std::string file = dir.File("a.plm");
    const std::string p1 = dir.File("p1.png"), p2 = dir.File("p2.png");
    const char* argv[] = {"pelmora-cli", "add-pieces", file.c_str(), p1.c_str(), p2.c_str()};
    ASSERT_EQ(cli::RunCli(5, argv, screen, screen, true), 0);
    const std::string text = screen.str();
    for (const char* line : {"Texture 2: page 1", "Texture 3: page 1"}) {
        const size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_EQ(text.substr(at - 4, 4), "\r\033[K") << text;
    }
}

}  // namespace
}  // namespace pelmora
