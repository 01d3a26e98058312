#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "store/file_util.h"
#include "test_support.h"

namespace pelmora {
namespace {

std::string SampleWad(uint32_t version = 130, const std::string& rest = "REST") {
    test::WadBytes wad;
    wad.version = version;
    wad.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1, 0, -1)};
    wad.pages = {test::PatternPage(1), test::PatternPage(2)};
    wad.rest = rest;
    return wad.Build();
}

class CliFileCommands : public test::CliTest {};

TEST_F(CliFileCommands, InfoAndRecordsDescribeTheFile) {
    test::WriteFile(dir.File("level \"1\".wad"), SampleWad());
    const auto info = Ok({"info", "level \"1\".wad"});
    EXPECT_EQ(info.out,
              "{\"path\": \"level \\\"1\\\".wad\", \"version\": \"130\", \"records\": 2, "
              "\"pages\": 2, \"rest_bytes\": 4}\n");
    const auto records = Run({"records", "level \"1\".wad"});
    EXPECT_EQ(records.out,
              "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n");
}

TEST_F(CliFileCommands, SaveKeepsAWadByteForByteAndOutputLeavesItUntouched) {
    const std::string original = SampleWad(129, std::string(5000, 'r'));
    Write("level.wad", original);
    EXPECT_EQ(Ok({"save", "level.wad"}).out, "");
    EXPECT_EQ(Read("level.wad"), original);
    Ok({"save", "level.wad", "-o", "copy.plm"});
    EXPECT_EQ(Read("copy.plm"), original);  // still a version 129 WAD
}

TEST_F(CliFileCommands, NewCreatesOnceAndRenamesAWadPath) {
    Ok({"new", "a.plm", "--color", "ff8000"});
    const std::string bytes = Read("a.plm");
    ASSERT_EQ(bytes.size(), 20 + kPageBytes);
    EXPECT_EQ(bytes.substr(0, 4), "PELM");
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

TEST_F(CliFileCommands, MergeAppendsTheSecondFilesTextures) {
    Write("a.wad", SampleWad(130, "A-REST"));
    Write("b.wad", SampleWad(129, "B-REST"));
    Ok({"merge", "a.wad", "b.wad"});
    EXPECT_EQ(Run({"info", "a.wad"}).out,
              "{\"path\": \"a.wad\", \"version\": \"130\", \"records\": 3, \"pages\": 4, "
              "\"rest_bytes\": 6}\n");
    EXPECT_NE(Run({"records", "a.wad"}).out.find("Page=4, X=10"), std::string::npos);
}

TEST_F(CliFileCommands, FailuresAndUsageErrorsHaveTheirOwnStatus) {
    Write("bad.wad", "nonsense");
    auto run = Run({"info", "bad.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("This is not a Stonecrypt Wad file or wrong version or type of wad..."),
              std::string::npos);
    run = Run({"save", "missing.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("missing.wad"), std::string::npos);
    Write("a.wad", SampleWad());
    run = Run({"merge", "a.wad", "bad.wad"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.wad"), std::string::npos);
    EXPECT_EQ(Read("a.wad"), SampleWad());

    EXPECT_EQ(Status({"frobnicate"}), 2);
    EXPECT_EQ(Status({"info"}), 2);
    EXPECT_EQ(Status({"info", "a.wad", "--bogus"}), 2);
    EXPECT_EQ(Status({"new", "c.plm", "--color", "red"}), 2);
    EXPECT_FALSE(FileExists(dir.File("c.plm")));
}

TEST_F(CliFileCommands, HelpAndVersion) {
    auto run = Run({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "pelmora-cli 1.0.6.6\n");
    run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("merge"), std::string::npos);
    run = Run({"save", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--output"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
