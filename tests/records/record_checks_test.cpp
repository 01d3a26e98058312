#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "base/file_util.h"
#include "base/paths.h"
#include "records/duplicate_check.h"
#include "records/record_sort.h"
#include "test_support.h"

namespace pelmora {
namespace {

std::vector<int> Pages(const Project& project) {
    std::vector<int> pages;
    for (const auto& r : project.records) pages.push_back(r.Page + 1);
    return pages;
}

// An open project whose records lie on these pages (from 1); X numbers them from 0.
struct WithPages : Project {
    WithPages(std::initializer_list<int> pages) {
        filePath = "level.plm";
        AddBlankPage();
        int x = 0;
        for (const int page : pages) records.push_back(MakeRecord(x++, 0, 8, 8, page - 1));
    }
};

TEST(SortRecordsTest, FirstRecordStaysAndTheRestFollowTheOrder) {
    WithPages ascending{1, 3, 2, 1};
    EXPECT_TRUE(SortRecordsByPage(ascending, SortOrder::Ascending).IsDone());
    EXPECT_EQ(Pages(ascending), (std::vector<int>{1, 1, 2, 3}));

    WithPages descending{1, 3, 2, 1};
    SortRecordsByPage(descending, SortOrder::Descending);
    EXPECT_EQ(Pages(descending), (std::vector<int>{1, 3, 2, 1}));

    WithPages firstHighest({9, 3, 2, 1, 2});
    SortRecordsByPage(firstHighest, SortOrder::Ascending);
    EXPECT_EQ(Pages(firstHighest), (std::vector<int>{9, 1, 2, 2, 3}));
    // Records of one page keep their order (x counts the original positions).
    EXPECT_EQ(firstHighest.records[2].X, 2);
    EXPECT_EQ(firstHighest.records[3].X, 4);

    WithPages one({4});
    EXPECT_FALSE(SortRecordsByPage(one, SortOrder::Descending).changed);
    WithPages closed({1, 3, 2});
    closed.filePath.clear();
    SortRecordsByPage(closed, SortOrder::Ascending);
    EXPECT_EQ(Pages(closed), (std::vector<int>{1, 3, 2}));
}

// The check as the editor always made it: every pair compared, the last equal pair
// remembered.
DuplicateCheck ReferenceCheck(const std::vector<TextureRecord>& records) {
    DuplicateCheck check;
    int lastI = -1, lastJ = -1;
    const int n = static_cast<int>(records.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            if (!(records[i] == records[j])) continue;
            if (j != lastJ && i != lastI) {
                ++check.count;
                check.reportText += "texture " + std::to_string(i + 1) + " and texture " +
                                    std::to_string(j + 1) + " match\n";
                check.removal.push_back(j);
            }
            lastI = i;
            lastJ = j;
        }
    return check;
}

std::vector<TextureRecord> Copies(std::initializer_list<int> kinds) {
    std::vector<TextureRecord> records;
    for (const int k : kinds) records.push_back(MakeRecord(k, k, 8, 8, 0));
    return records;
}

// The report's text is ReportFileHasCrLfLineEnds'; runs of three and four equal records are
// left to the comparison with the reference below.
TEST(DuplicateCheckTest, FlipsMakeADifference) {
    auto flips = Copies({1, 1});
    flips[1].FlipY = 0;  // MakeRecord gives -1
    EXPECT_EQ(FindDuplicates(flips).count, 0);
}

TEST(DuplicateCheckTest, MatchesTheExhaustiveComparisonOnRandomLists) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::vector<TextureRecord> records(random() % 24);
        const int kinds = 1 + static_cast<int>(random() % 5);
        for (auto& r : records) r = MakeRecord(static_cast<int>(random() % kinds), 0, 4, 4, 0);
        const DuplicateCheck fast = FindDuplicates(records), slow = ReferenceCheck(records);
        ASSERT_EQ(fast.reportText, slow.reportText) << "round " << round;
        ASSERT_EQ(fast.removal, slow.removal);
        ASSERT_EQ(fast.count, slow.count);
    }
}

TEST(DuplicateCheckTest, RemovalWorksFromTheHighestIndexDown) {
    Project project;
    project.filePath = "level.plm";
    project.AddBlankPage();
    project.records = Copies({1, 1, 2, 3, 3});
    project.selectedTexture = 4;
    const Outcome removed = RemoveDuplicates(project, FindDuplicates(project.records));
    EXPECT_TRUE(removed.IsDone());
    EXPECT_EQ(project.records, Copies({1, 2, 3}));
    EXPECT_EQ(project.selectedTexture, 0);

    // Three equal records need two checks; the first record always survives.
    project.records = Copies({0, 0, 0});
    RemoveDuplicates(project, FindDuplicates(project.records));
    EXPECT_EQ(project.records, Copies({0, 0}));
    EXPECT_EQ(FindDuplicates(project.records).reportText, "texture 1 and texture 2 match\n");
    RemoveDuplicates(project, FindDuplicates(project.records));
    EXPECT_EQ(project.records, Copies({0}));
}

TEST(DuplicateCheckTest, ReportFileHasCrLfLineEnds) {
    test::TempDir dir;
    const std::string path = dir.File("Pelmora_duplicate_list.txt");
    ASSERT_TRUE(WriteDuplicateReport(FindDuplicates(Copies({1, 1, 2, 3, 3})), path).IsDone());
    EXPECT_EQ(test::ReadFile(path),
              "Found 2 duplicates\r\n\r\ntexture 1 and texture 2 match\r\n"
              "texture 4 and texture 5 match\r\n");
    ASSERT_TRUE(WriteDuplicateReport(FindDuplicates({}), path).IsDone());
    EXPECT_EQ(test::ReadFile(path), "Found 0 duplicates\r\n\r\n");
    EXPECT_FALSE(WriteDuplicateReport({}, dir.File("no/such/folder.txt")).IsDone());
}

// Sets an environment variable (or unsets it for null) for one scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) saved = old, had = true;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { had ? ::setenv(name, saved.c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::string saved;
    bool had = false;
};

TEST(DuplicateCheckTest, TheEditorsReportIsAPrivateFileOfItsOwn) {
    test::TempDir runtime, temp, mine;
    const ScopedEnv tmp("TMPDIR", temp.Path().c_str());
    // Another user planted a link at the name every running copy used to share.
    const std::string victim = mine.File("victim.txt");
    test::WriteFile(victim, "mine");
    ASSERT_EQ(::symlink(victim.c_str(), temp.File("Pelmora_duplicate_list.txt").c_str()), 0);

    // In the user's runtime folder when there is one, else in the temporary-files folder.
    for (const char* runtimeDir : {runtime.Path().c_str(), static_cast<const char*>(nullptr)}) {
        const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir);
        DuplicateListFile file, other;
        ASSERT_TRUE(WriteDuplicateListFile(file, FindDuplicates(Copies({1, 1}))).IsDone());
        const std::string report = file.path;
        EXPECT_EQ(DirectoryOf(report), runtimeDir ? runtime.Path() + "/" : TempFolder());
        EXPECT_EQ(test::ReadFile(report),
                  "Found 1 duplicates\r\n\r\ntexture 1 and texture 2 match\r\n");
        struct stat st {};
        ASSERT_EQ(::lstat(report.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);

        // Only the copy that wrote it removes it.
        RemoveDuplicateListFile(other);
        EXPECT_TRUE(FileExists(report));
        RemoveDuplicateListFile(file);
        EXPECT_FALSE(FileExists(report));
    }
    EXPECT_EQ(test::ReadFile(victim), "mine");
}

}  // namespace
}  // namespace pelmora
