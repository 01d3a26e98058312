#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "base/file_util.h"
#include "cli/cli_runner.h"
#include "test_support.h"

namespace pelmora {
namespace {

std::string SampleWad(uint32_t version = 130, const std::string& rest = "REST") {
    return test::SampleWad(version, rest);
}

class CliFileCommands : public test::CliTest {};

// That a save keeps every byte is the writer's test (SaveTest); here -o has to arrive.
TEST_F(CliFileCommands, SaveIsSilentAndOutputLeavesTheFileUntouched) {
    Write("level.wad", SampleWad(129));
    EXPECT_EQ(Ok({"save", "level.wad", "-o", "copy.plm"}).out, "");
    EXPECT_EQ(Read("copy.plm"), SampleWad(129));  // still a version 129 WAD
    EXPECT_EQ(Read("level.wad"), SampleWad(129));
}

TEST_F(CliFileCommands, NewCreatesOnceAndRenamesAWadPath) {
    Ok({"new", "a.plm", "--color", "ff8000"});
    const std::string bytes = Read("a.plm");
    // The layout of a new file is the writer's business; here --color has to reach its page.
    EXPECT_EQ(bytes.substr(20, 3), std::string("\xff\x80\0", 3));
    const auto run = Run({"new", "a.plm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("a.plm"), std::string::npos);
    EXPECT_EQ(Read("a.plm"), bytes);
    EXPECT_EQ(Status({"new", "--force", "a.plm"}), 0);

    Write("b.plm", "taken");
    EXPECT_EQ(Ok({"new", "b.wad"}).out, "saved as b1.plm\n");
    EXPECT_FALSE(FileExists(dir.File("b.wad")));
}

// The messages themselves are CliCommandLine's; here the status and that FILE stays.
TEST_F(CliFileCommands, FailuresAndUsageErrorsHaveTheirOwnStatusAndChangeNothing) {
    Write("bad.wad", "nonsense");
    Write("a.wad", SampleWad());
    Write("b.wad", SampleWad(129, "B-REST"));
    Ok({"merge", "a.wad", "b.wad", "-o", "merged.wad"});
    const std::string before = Read("a.wad");
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"info", "bad.wad"}, 1},
        {{"save", "missing.wad"}, 1},
        {{"merge", "a.wad", "bad.wad"}, 1},
        {{"info", "a.wad", "--bogus"}, 2},
        {{"new", "c.plm", "--color", "red"}, 2},
        {{"save", "a.wad", "-o", ""}, 2},  // an empty OUT must not mean "save over FILE"
    };
    for (const auto& c : cases) {
        const auto run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[1];
        if (c.status == 1) {
            EXPECT_NE(run.err.find(c.args.back()), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(Read("a.wad"), before);
    EXPECT_FALSE(FileExists(dir.File("c.plm")));
}

TEST_F(CliFileCommands, ASignalMidSaveRemovesTheTemporaryFiles) {
    // The save goes into a FIFO whose reader never reads: once the first bytes arrive, the
    // program is stuck in the middle of writing, with every temporary file it makes in place.
    Write("level.wad", SampleWad(129, std::string(2 << 20, 'r')));
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
        EXPECT_EQ(test::Entries(dir.Path()), 2u);  // level.wad and the FIFO
        char drain[1 << 16];
        while (::read(reader, drain, sizeof drain) > 0) {
        }
    }
    ::close(reader);
}

// Commands that never save need no copy of the rest, so no room in the temporary folder;
// nothing waits on a FIFO.
TEST_F(CliFileCommands, ReadingNeedsNoTemporaryFolderAndAFifoIsRefused) {
    const std::string head = SampleWad(130, "");
    test::WriteSparseFile(dir.File("big.wad"), head,
                          static_cast<long long>(head.size()) + (3LL << 30));
    ASSERT_EQ(::mkfifo(dir.File("fifo.wad").c_str(), 0600), 0);
    const test::ScopedTempFolder readOnly("/proc");  // no file can be made there
    EXPECT_EQ(Ok({"info", "big.wad"}).out,
              "{\"path\": \"big.wad\", \"version\": \"130\", \"records\": 2, \"pages\": 2, "
              "\"rest_bytes\": 3221225472}\n");
    auto run = Run({"save", "big.wad", "-o", "copy.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("/proc/PelXXXXXX"), std::string::npos) << run.err;
    run = Run({"info", "fifo.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("fifo.wad\": not a regular file"), std::string::npos) << run.err;
}

TEST_F(CliFileCommands, HelpAndVersion) {
    EXPECT_EQ(Ok({"--version"}).out, "pelmora-cli 1.0.6.6\n");
    EXPECT_NE(Ok({"--help"}).out.find("merge"), std::string::npos);
    EXPECT_NE(Ok({"save", "--help"}).out.find("--output"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
