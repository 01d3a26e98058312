#include "wad/wad_writer.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "test_support.h"
#include "wad/wad_open.h"
#include "wad_test_support.h"

namespace pelmora {
namespace {

using test::WadBytes;

WadBytes SampleWad() {
    return {.version = 129,
            .records = {TextureRecord{}, MakeRecord(3, 4, 5, 6, 1, 0, -1),
                        MakeRecord(0, 0, 256, 256, 0)},
            .pages = {test::PatternPage(1), test::PatternPage(2)},
            .rest = std::string("\0rest of the level\xff", 19)};
}

using SaveTest = test::FileInFolderTest;

TEST_F(SaveTest, OpenAndSaveGivesTheSameBytes) {
    const std::string original = SampleWad().Build();
    ASSERT_TRUE(Open("level.wad", original).IsDone());
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("level.wad")), original);
    EXPECT_EQ(project.filePath, dir.File("level.wad"));
    // And again: every save appends the same rest.
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("level.wad")), original);
}

TEST_F(SaveTest, WriteTextureFileWritesAsManyRecordsAndPagesAsTheProjectHolds) {
    NewProject(project, dir.File("a.plm"));
    for (int i = 0; i < 4; ++i) project.records.push_back(MakeRecord(i, i, 2, 2, i % 3));
    project.AddBlankPage();
    project.AddBlankPage();
    ASSERT_TRUE(WriteTextureFile(project, dir.File("a.plm")).IsDone());
    const std::string bytes = test::ReadFile(dir.File("a.plm"));
    EXPECT_EQ(bytes.substr(0, 8), std::string("PELM\x05\0\0\0", 8));
    EXPECT_EQ(bytes.substr(48, 4), std::string("\0\0\x09\0", 4));  // 589,824
    EXPECT_EQ(bytes.size(), 52u + 3 * kPageBytes);
}

TEST_F(SaveTest, ATextureOnlyProjectAtAWadPathMovesToAPlmName) {
    WadBytes noRecords = SampleWad();
    noRecords.records.clear();
    test::WriteFile(dir.File("level.plm"), "taken");
    test::WriteFile(dir.File("level1.plm"), "taken too");
    ASSERT_TRUE(Open("level.wad", noRecords.Build()).IsDone());
    ASSERT_TRUE(project.IsTextureOnly());
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(project.filePath, dir.File("level2.plm"));
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [level2.plm] wad version PELM");
    EXPECT_FALSE(FileExists(dir.File("level.wad")));
    EXPECT_EQ(test::ReadFile(dir.File("level.plm")), "taken");
    // A texture-only file that carries along the rest of the WAD it came from.
    const std::string saved = test::ReadFile(dir.File("level2.plm"));
    EXPECT_EQ(saved.substr(0, 4), "PELM");
    EXPECT_EQ(saved.substr(saved.size() - 19), noRecords.rest);
}

TEST_F(SaveTest, AnUpperCaseWadExtensionIsKept) {
    WadBytes noPages = SampleWad();
    noPages.pages.clear();
    ASSERT_TRUE(Open("LEVEL.WAD", noPages.Build()).IsDone());
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(project.filePath, dir.File("LEVEL.WAD"));
    EXPECT_EQ(test::ReadFile(dir.File("LEVEL.WAD")).substr(0, 4), "PELM");
}

TEST_F(SaveTest, GivesUpRenamingWhenEveryNumberedNameIsTaken) {
    test::WriteFile(dir.File("level.plm"), "taken");
    for (int n = 1; n <= kMaxNumberedNames; ++n)
        test::WriteFile(dir.File("level" + std::to_string(n) + ".plm"), "");
    NewProject(project, dir.File("level.wad"));
    const Outcome result = SaveProject(project);
    EXPECT_FALSE(result.IsDone());
    EXPECT_NE(result.message.find("level.wad"), std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("level.wad"));
    EXPECT_EQ(test::ReadFile(dir.File("level.wad")).substr(0, 4), "PELM");  // saved, not moved
    EXPECT_EQ(test::ReadFile(dir.File("level.plm")), "taken");
}

TEST_F(SaveTest, SaveAsWritesANewProjectKeepsTheKindAndVersionOrReportsAndKeepsThePath) {
    NewProject(project, dir.File("never-saved.plm"));
    ASSERT_TRUE(SaveProjectAs(project, dir.File("copy.wad")).IsDone());
    EXPECT_EQ(project.filePath, dir.File("copy.wad"));
    EXPECT_TRUE(project.IsTextureOnly());  // Save As never changes the kind
    EXPECT_EQ(test::ReadFile(dir.File("copy.wad")).substr(0, 4), "PELM");
    EXPECT_FALSE(FileExists(dir.File("never-saved.plm")));
    const Outcome failed = SaveProjectAs(project, dir.File("no/such/folder/b.plm"));
    EXPECT_FALSE(failed.IsDone());
    EXPECT_NE(failed.message.find("b.plm"), std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("copy.wad"));

    ASSERT_TRUE(Open("level.wad", SampleWad().Build()).IsDone());
    ASSERT_TRUE(SaveProjectAs(project, dir.File("other.plm")).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("other.plm")), SampleWad().Build());
    EXPECT_EQ(project.filePath, dir.File("other.plm"));
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [other.plm] wad version 129");
}

TEST_F(SaveTest, NewProjectNeverCarriesTheRestOfAnEarlierFile) {
    ASSERT_TRUE(Open("level.wad", SampleWad().Build()).IsDone());
    NewProject(project, dir.File("fresh.plm"));
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(FileSize(dir.File("fresh.plm")), 20 + kPageBytes);

    CloseProject(project);  // the rest file is gone now
    NewProject(project, dir.File("after-close.plm"));
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(FileSize(dir.File("after-close.plm")), 20 + kPageBytes);
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
    EXPECT_EQ(test::ReadFile(dir.File("level.wad")), original);
    // No temporary file is left behind either.
    EXPECT_EQ(test::Entries(dir.Path()), 1u);
}

TEST_F(SaveTest, DoesNothingWithoutAProject) {
    const Outcome result = SaveProject(project);
    EXPECT_TRUE(result.IsDone());
    EXPECT_FALSE(result.changed);
}

}  // namespace
}  // namespace pelmora
