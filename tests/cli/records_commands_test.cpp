#include <gtest/gtest.h>

#include "base/file_util.h"
#include "cli/cli_runner.h"
#include "records/records_file.h"
#include "test_support.h"

namespace pelmora {
namespace {

// Three pages; records 2 and 3 equal, record 4 on page 3.
const std::vector<TextureRecord> kRecords = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1, 0, -1),
                                             MakeRecord(10, 20, 30, 40, 1, 0, -1),
                                             MakeRecord(0, 0, 256, 256, 2)};

std::string SampleWad() {
    test::WadBytes wad;
    wad.version = 130;
    wad.records = kRecords;
    wad.pages = {test::PatternPage(1), test::PatternPage(2), test::PatternPage(3)};
    wad.rest = "REST";
    return wad.Build();
}

class CliRecordsCommands : public test::CliTest {
protected:
    void SetUp() override { Write("level.wad", SampleWad()); }
    std::string Records() { return Run({"records", "level.wad"}).out; }
};

TEST_F(CliRecordsCommands, ExportWritesTheRecordsFileAndLeavesTheWad) {
    Ok({"export-records", "level.wad", "level.rec"});
    EXPECT_EQ(Read("level.rec"), RecordsFileText(kRecords));
    EXPECT_EQ(Read("level.wad"), SampleWad());
}

TEST_F(CliRecordsCommands, ImportOverwritesOrAppendsWithTheShift) {
    ASSERT_EQ(Status({"export-records", "level.wad", "level.rec"}), 0);
    const std::string before = Records();

    Ok({"import-records", "level.wad", "level.rec", "--append"});
    // By default the appended pages move up by the page count, as the dialog proposes.
    EXPECT_EQ(Records(), before +
                             "Page=5, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
                             "Page=5, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
                             "Page=6, X=0, Y=0, Width=256, Height=256, FlipX=-1, FlipY=-1\n");

    Ok({"import-records", "level.wad", "level.rec", "--overwrite", "-o", "copy.wad"});
    EXPECT_EQ(Run({"records", "copy.wad"}).out, before);

    Ok({"import-records", "level.wad", "level.rec", "--append", "--shift", "0"});
    EXPECT_NE(Records().find("FlipY=-1\nPage=2, X=10"), std::string::npos);
}

TEST_F(CliRecordsCommands, UnusableRecordsFilesLeaveTheWadAlone) {
    Write("bad.rec", "#Pelmora Texture Records File \r\n");
    auto run = Run({"import-records", "level.wad", "bad.rec", "--overwrite"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "This is not at Pelmora Texture Records File... bad.rec\n");

    // Which files fail the header checks is RecordsFileTest's.
    ASSERT_EQ(Status({"export-records", "level.wad", "level.rec"}), 0);
    EXPECT_EQ(Status({"import-records", "level.wad", "none.rec", "--append"}), 1);
    EXPECT_EQ(Read("level.wad"), SampleWad());

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"import-records", "level.wad", "level.rec"},
             {"import-records", "level.wad", "level.rec", "--overwrite", "--append"},
             {"import-records", "level.wad", "level.rec", "--overwrite", "--shift", "2"},
             {"import-records", "level.wad", "level.rec", "--append", "--shift", "two"}}) {
        EXPECT_EQ(Status(args), 2) << args.back();
    }
    EXPECT_EQ(Read("level.wad"), SampleWad());
}

// The order itself is SortRecordsTest's; here --descending has to arrive.
TEST_F(CliRecordsCommands, SortDescending) {
    Ok({"sort", "level.wad", "--descending"});
    EXPECT_EQ(Records(),
              "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0\n"
              "Page=3, X=0, Y=0, Width=256, Height=256, FlipX=-1, FlipY=-1\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n"
              "Page=2, X=10, Y=20, Width=30, Height=40, FlipX=0, FlipY=-1\n");
}

TEST_F(CliRecordsCommands, CheckDuplicatesReportsAndRemovesOnRequest) {
    const std::string report = "Found 1 duplicates\n\ntexture 2 and texture 3 match\n";
    auto run = Ok({"check-duplicates", "level.wad", "--report", "d.txt"});
    EXPECT_EQ(run.out, report);
    EXPECT_TRUE(FileExists(dir.File("d.txt")));  // its layout is DuplicateCheckTest's
    EXPECT_EQ(Read("level.wad"), SampleWad());

    EXPECT_EQ(Status({"check-duplicates", "level.wad", "--report", "no/d.txt", "--remove"}), 1);
    EXPECT_EQ(Read("level.wad"), SampleWad());

    run = Ok({"check-duplicates", "level.wad", "--remove"});
    EXPECT_EQ(run.out, report);
    EXPECT_EQ(Run({"check-duplicates", "level.wad"}).out, "Found 0 duplicates\n\n");
}

}  // namespace
}  // namespace pelmora
