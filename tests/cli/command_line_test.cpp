#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

#include "cli/cli_app.h"
#include "cli/cli_runner.h"
#include "test_support.h"

namespace pelmora {
namespace {

class CliCommandLine : public test::CliTest {};

TEST_F(CliCommandLine, HelpAndVersion) {
    EXPECT_EQ(Ok("--version").out, "pelmora-cli 1.0.6.6\n");
    EXPECT_NE(Ok("--help").out.find("merge"), std::string::npos);
    EXPECT_NE(Ok("save --help").out.find("--output"), std::string::npos);
    EXPECT_NE(Ok("info --help").out.find("info -- -level.wad"), std::string::npos);
}

TEST_F(CliCommandLine, UsageErrorsSayWhatIsWrongAndChangeNothing) {
    const std::string record = "add-record a.plm --page 1 --x 0 --y 0 --width 1 --height 1 ";
    const struct {
        std::string line, message;
    } cases[] = {
        // An empty value used to be read as 0, or as no file at all.
        {"export-textures a.plm . --page ''", "--page: must not be empty"},
        {"delete-page a.plm ''", "P: must not be empty"},
        {record + "--flip-x ''", "--flip-x: must not be empty"},
        {"save a.plm -o ''", "--output: OUT is empty"},  // must not mean "save over FILE"
        // Ranges in plain whole numbers.
        {"export-textures a.plm . --page 0", "--page: must be from 1 to 65536, not 0"},
        {"add-grid a.plm --page 1 --across 0 --down 1", "--across: must be 1 or more, not 0"},
        {"export-page a.plm 1 p.png --quality 1x", "--quality: must be a whole number, not '1x'"},
        {"delete-page a.plm 99999999999",
         "P: must be from -2147483648 to 2147483647, not 99999999999"},
        {"add-pages a.plm --blank 11", "--blank: must be from 1 to 10, not 11"},
        {"import-records a.plm r.rec --append --shift two",
         "--shift: must be a whole number, not 'two'"},
        // Words, colours and file kinds.
        {"new c.plm --color red", "--color: a colour is six hex digits RRGGBB, not 'red'"},
        {"add-pieces a.plm --sort random x.png", "--sort: random not in {name,size-asc,size-desc}"},
        {"export-pages a.plm . --format gif",
         "--format: gif not in {bmp,pcx,png,tga,tiff,tif,jpeg,jpg}"},
        {"export-pages a.plm . --html --align top", "--align: top not in {left,center,right}"},
        {"export-page a.plm 1 page.gif",
         "OUT: OUT must end in .bmp, .pcx, .png, .tga, .tif, .tiff, .jpg, .jpe, .jpeg, .jfif or "
         ".raw: page.gif"},
        {"export-single a.plm all.gif",
         "OUT: 'all.gif' does not end in an image format Pelmora exports"},
        // Options that need, or exclude, one another.
        {"add-pages a.plm", "Exactly 1 option from [--blank,--image,--long-image] is required"},
        {"add-pages a.plm --blank 1 --image x.png",
         "Exactly 1 option from [--blank,--image,--long-image] is required and 2 were given"},
        {"add-pages a.plm --blank 1 --keep-aspect", "--keep-aspect requires --image"},
        {"import-records a.plm r.rec --overwrite --append",
         "Exactly 1 option from [--overwrite,--append] is required and 2 were given"},
        {"import-records a.plm r.rec --overwrite --shift 2", "--shift requires --append"},
        {"export-pages a.plm . --columns 2", "--columns requires --html"},
        // Commands and arguments.
        {"frobnicate", "'frobnicate' is not a command"},
        {"", "a command is required"},
        {"info a.plm --bogus", "The following argument was not expected: --bogus"},
        {"info -dash.wad",
         "FILE is required (a FILE whose name starts with '-' goes after "
         "'--': pelmora-cli info -- -level.wad)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto run = Run(c.line);
        EXPECT_EQ(run.status, 2);
        // The library's own words may go on after the part that says what is wrong.
        EXPECT_EQ(run.err.rfind("pelmora-cli: " + c.message, 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.find("\nRun 'pelmora-cli --help' for usage.\n"));
    }
    EXPECT_EQ(Read("a.plm"), test::SampleWad(kPelmMagic));
    EXPECT_EQ(test::Entries(dir.Path()), 1u);  // no file made either
}

TEST_F(CliCommandLine, FailuresSayWhyInOneLineThatNamesTheFileAndChangeNothing) {
    Write("bad.wad", "nonsense");
    Write("bad.rec", "#Pelmora Texture Records File \r\n");
    Write("bad.json", "{\"records\": [{\"x\": 1}]}");
    ::mkdir(dir.File("folder").c_str(), 0755);
    ASSERT_EQ(::mkfifo(dir.File("fifo.wad").c_str(), 0600), 0);
    const struct {
        std::string line, err;
    } cases[] = {
        {"merge a.plm bad.wad",
         "This is not a Stonecrypt Wad file or wrong version or type of wad... bad.wad\n"},
        {"delete-page a.plm 0", "a.plm: Page 0 does not exist (the file has 2 pages).\n"},
        {"add-record a.plm --page 3 --x 0 --y 0 --width 1 --height 1",
         "a.plm: Page 3 does not exist (the file has 2 pages).\n"},
        {"delete-record a.plm 1", "a.plm: Texture 1 should not be deleted...\n"},
        {"export-textures a.plm folder --page 65536", "a.plm: There is no page 65536.\n"},
        {"export-records a.plm folder/",
         "Cannot write \"folder/\": it is a folder, not a records file.\n"},
        {"import-page a.plm 1 none.png",
         "Failed To Load Image... Cannot open \"none.png\": No such file or directory\n"},
        {"import-records a.plm bad.rec --overwrite",
         "This is not at Pelmora Texture Records File... bad.rec\n"},
        {"import-records a.plm bad.json --append",
         "\"bad.json\" cannot be imported: record 1 has no \"y\".\n"},
        {"check-duplicates a.plm --report no/d.txt --remove",
         "Cannot write \"no/d.txt\": No such file or directory\n"},
        {"new a.plm", "\"a.plm\" exists already; use --force to replace it.\n"},
        {"info fifo.wad",
         "Cannot open \"fifo.wad\": not a regular file (a pipe, FIFO or device)\n"},
        {"info -- -dash.wad", "Cannot open \"-dash.wad\": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const auto run = Run(c.line);
        EXPECT_EQ(std::to_string(run.status) + run.err, "1" + c.err) << c.line;
    }
    EXPECT_EQ(Read("a.plm"), test::SampleWad(kPelmMagic));

    // Every command that reads FILE says so when it is missing.
    std::istringstream commands(
        "info; records; save; merge a.plm; add-pieces x.png; add-pages --blank 1; add-grid --page 1"
        " --across 8 --down 8; delete-page 1; delete-piece 2; delete-record 2; import-page 1 x.png;"
        " import-piece 2 x.png; export-page 1 p.png; export-piece 2 p.png; export-records r.rec;"
        " import-records r.rec --overwrite; sort; check-duplicates; check-duplicates --remove;"
        " export-pages folder; export-textures folder; export-single all.png");
    for (std::string line; std::getline(commands, line, ';');) {
        auto args = test::Words(line);
        args.insert(args.begin() + 1, "missing.wad");
        const auto run = RunArgs(args);
        EXPECT_EQ(std::to_string(run.status) + run.err,
                  "1Cannot open \"missing.wad\": No such file or directory\n")
            << line;
    }
}

TEST_F(CliCommandLine, ABulkExportThatFailsOftenSaysSoInOneLine) {
    Ok("add-grid a.plm --page 1 --across 64 --down 64");
    ::mkdir(dir.File("out").c_str(), 0755);
    // Folders in place of every texture but the first make each of those writes fail.
    for (int i = 2; i <= 18; ++i)
        ::mkdir(dir.File("out/Texture" + std::to_string(i) + ".bmp").c_str(), 0755);
    const auto run = Run("export-textures a.plm out");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind("17 of 18 files could not be written: Cannot write", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("; ... and 12 more.\n"), std::string::npos) << run.err;
}

TEST_F(CliCommandLine, PlacementLinesNeverLandOnTheProgressLine) {
    const std::string file = dir.File("a.plm");
    const std::string p1 = test::WritePng(dir, "p1.png", Image(8, 8)),
                      p2 = test::WritePng(dir, "p2.png", Image(8, 8));
    // Both streams into one, as on a terminal.
    std::ostringstream screen;
    const char* argv[] = {"pelmora-cli", "add-pieces", file.c_str(), p1.c_str(), p2.c_str()};
    ASSERT_EQ(cli::RunCli(5, argv, screen, screen, true), 0);
    const std::string text = screen.str();
    for (const char* line : {"Texture 3: page 1", "Texture 4: page 1"}) {
        const size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_EQ(text.substr(at - 4, 4), "\r\033[K") << text;
    }
}

TEST_F(CliCommandLine, ASignalMidSaveRemovesTheTemporaryFiles) {
    // The save goes into a FIFO whose reader never reads: once the first bytes arrive, the
    // program is stuck in the middle of writing, with every temporary file it makes in place.
    Write("level.wad", test::SampleWad(129, std::string(2 << 20, 'r')));
    const std::string fifo = dir.File("out.wad");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        test::TempDir temp;  // the program's temporary-files folder
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("TMPDIR", temp.Path().c_str(), 1);
            for (const int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
            if (::chdir(dir.Path().c_str()) != 0) ::_exit(126);
            ::execl(PELMORA_CLI_PATH, "pelmora-cli", "save", "level.wad", "-o", "out.wad",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int waiting = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((::ioctl(reader, FIONREAD, &waiting) != 0 || waiting == 0) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_GT(waiting, 0) << "the save never started writing";
        EXPECT_EQ(test::Entries(temp.Path()), 2u);  // the rest of the file and the finished copy
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_EQ(test::Entries(temp.Path()), 0u);
        EXPECT_EQ(test::Entries(dir.Path()), 3u);  // a.plm, level.wad and the FIFO
        for (char drain[1 << 16]; ::read(reader, drain, sizeof drain) > 0;) continue;
    }
    ::close(reader);
}

// Commands that never save need no copy of the rest, so no room in the temporary folder.
TEST_F(CliCommandLine, InfoNeedsNoTemporaryFolderAndWritesJsonForAnyName) {
    const std::string name = "l\xe9vel \xc3\xa9\xff.wad";  // Latin-1 é, UTF-8 é, a stray byte
    const std::string head = test::SampleWad(130, "");
    test::WriteSparseFile(dir.File(name), head, static_cast<long long>(head.size()) + (3LL << 30));
    const test::ScopedTempFolder readOnly("/proc");  // no file can be made there
    EXPECT_EQ(RunArgs({"info", name}).out,
              "{\"path\": \"l\\ufffdvel \xc3\xa9\\ufffd.wad\", \"version\": \"130\", \"records\": "
              "2, \"pages\": 2, \"rest_bytes\": 3221225472}\n");
    const auto run = RunArgs({"save", name, "-o", "copy.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("/proc/PelXXXXXX"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pelmora
