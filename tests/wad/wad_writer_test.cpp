#include "wad/wad_writer.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "wad_test_support.h"

namespace pelmora {
namespace {

using test::ReadFile;
using test::WadBytes;

WadBytes SampleWad() {
    return {.version = 129,
            .records = {TextureRecord{}, MakeRecord(3, 4, 5, 6, 1, 0, -1),
                        MakeRecord(0, 0, 256, 256, 0)},
            .pages = {test::PatternPage(1), test::PatternPage(2)},
            .rest = std::string("\0rest of the level\xff", 19)};
}

using SaveTest = test::FileInFolderTest;

TEST_F(SaveTest, OpenAndSaveGivesTheSameBytesEveryTimeAndNewProjectsNoRest) {
    EXPECT_FALSE(SaveProject(project).changed);  // without a project: nothing
    const std::string original = SampleWad().Build();
    ASSERT_TRUE(Open("level.wad", original).IsDone());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(SaveProject(project).IsDone());
        EXPECT_EQ(ReadFile(dir.File("level.wad")), original);
    }
    // A new project never carries the rest of an earlier file.
    for (const char* name : {"fresh.plm", "after-close.plm"}) {
        NewProject(project, dir.File(name));
        ASSERT_TRUE(SaveProject(project).IsDone());
        EXPECT_EQ(FileSize(dir.File(name)), 20 + kPageBytes);
        CloseProject(project);  // the rest file is gone now
    }
}

TEST_F(SaveTest, WriteTextureFileWritesAsManyRecordsAndPagesAsTheProjectHolds) {
    NewProject(project, dir.File("a.plm"));
    for (int i = 0; i < 4; ++i) project.records.push_back(MakeRecord(i, i, 2, 2, i % 3));
    project.AddBlankPage();
    project.AddBlankPage();
    ASSERT_TRUE(WriteTextureFile(project, dir.File("a.plm")).IsDone());
    const std::string bytes = ReadFile(dir.File("a.plm"));
    EXPECT_EQ(bytes.substr(0, 8), std::string("PELM\x05\0\0\0", 8));
    EXPECT_EQ(bytes.substr(48, 4), std::string("\0\0\x09\0", 4));  // 589,824
    EXPECT_EQ(bytes.size(), 52u + 3 * kPageBytes);
}

// Lower-case ".wad" only: stored files and scripts may rely on ".WAD" staying put.
TEST_F(SaveTest, ATextureOnlyProjectAtAWadPathMovesToAFreePlmNameIfThereIsOne) {
    WadBytes noRecords = SampleWad();
    noRecords.records.clear();
    test::WriteFile(dir.File("level.plm"), "taken");
    test::WriteFile(dir.File("level1.plm"), "taken too");
    for (const char* name : {"LEVEL.WAD", "level.wad"}) {
        ASSERT_TRUE(Open(name, noRecords.Build()).IsDone());
        ASSERT_TRUE(SaveProject(project).IsDone());
    }
    EXPECT_EQ(ReadFile(dir.File("LEVEL.WAD")).substr(0, 4), "PELM");
    EXPECT_EQ(project.filePath, dir.File("level2.plm"));
    EXPECT_FALSE(FileExists(dir.File("level.wad")));
    EXPECT_EQ(ReadFile(dir.File("level.plm")), "taken");
    // A texture-only file that carries along the rest of the WAD it came from.
    const std::string saved = ReadFile(dir.File("level2.plm"));
    EXPECT_EQ(saved.substr(0, 4) + saved.substr(saved.size() - 19), "PELM" + noRecords.rest);

    // It gives up renaming when every numbered name is taken.
    for (int n = 3; n <= kMaxNumberedNames; ++n)
        test::WriteFile(dir.File("level" + std::to_string(n) + ".plm"), "");
    NewProject(project, dir.File("level.wad"));
    EXPECT_NE(SaveProject(project).message.find("level.wad"), std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("level.wad"));
    EXPECT_EQ(ReadFile(dir.File("level.wad")).substr(0, 4), "PELM");  // saved, not moved
}

TEST_F(SaveTest, SaveAsKeepsTheKindAndVersionOrReportsAndKeepsThePath) {
    NewProject(project, dir.File("never-saved.plm"));
    ASSERT_TRUE(SaveProjectAs(project, dir.File("copy.wad")).IsDone());
    EXPECT_EQ(project.filePath, dir.File("copy.wad"));
    EXPECT_EQ(ReadFile(dir.File("copy.wad")).substr(0, 4), "PELM");
    EXPECT_FALSE(FileExists(dir.File("never-saved.plm")));
    EXPECT_NE(SaveProjectAs(project, dir.File("no/such/b.plm")).message.find("b.plm"),
              std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("copy.wad"));

    ASSERT_TRUE(Open("level.wad", SampleWad().Build()).IsDone());
    ASSERT_TRUE(SaveProjectAs(project, dir.File("other.plm")).IsDone());
    EXPECT_EQ(ReadFile(dir.File("other.plm")), SampleWad().Build());
    EXPECT_EQ(project.filePath, dir.File("other.plm"));
}

TEST_F(SaveTest, AFailedWriteLeavesTheOldFileByteForByte) {
    const std::string original = SampleWad().Build();
    ASSERT_TRUE(Open("level.wad", original).IsDone());
    project.AddBlankPage();  // the new file would be larger than the limit below

    // A file-size limit hits in the middle of the pages.
    EXPECT_TRUE(test::HoldsUnderSizeLimit(static_cast<long long>(original.size()), [&] {
        const Outcome result = SaveProject(project);
        return !result.IsDone() && result.message.find("level.wad") != std::string::npos;
    })) << "the failure was not reported";
    EXPECT_EQ(ReadFile(dir.File("level.wad")), original);
    EXPECT_EQ(test::Entries(dir.Path()), 1u);  // and no temporary file is left behind
}

}  // namespace
}  // namespace pelmora
