#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>

#include "base/file_util.h"
#include "base/paths.h"
#include "records/duplicate_check.h"
#include "records/record_sort.h"
#include "test_support.h"

namespace pelmora {
namespace {

// An open project whose records lie on these pages (from 1); X numbers them from 0.
struct WithPages : Project {
    explicit WithPages(const std::vector<int>& pages) {
        filePath = "level.plm";
        AddBlankPage();
        for (const int page : pages)
            records.push_back(MakeRecord(RecordCount(), 0, 8, 8, page - 1));
    }
    // "page:X " for each record.
    std::string Layout() const {
        std::string out;
        for (const auto& r : records)
            out += std::to_string(r.Page + 1) + ":" + std::to_string(r.X) + " ";
        return out;
    }
};

// Records of one page keep their order.
TEST(SortRecordsTest, FirstRecordStaysAndTheRestFollowTheOrder) {
    const struct {
        std::vector<int> pages;
        SortOrder order;
        std::string sorted;
    } cases[] = {{{1, 3, 2, 1}, SortOrder::Ascending, "1:0 1:3 2:2 3:1 "},
                 {{1, 3, 2, 1}, SortOrder::Descending, "1:0 3:1 2:2 1:3 "},
                 {{9, 3, 2, 1, 2}, SortOrder::Ascending, "9:0 1:3 2:2 2:4 3:1 "}};
    for (const auto& c : cases) {
        WithPages project(c.pages);
        EXPECT_TRUE(SortRecordsByPage(project, c.order).IsDone());
        EXPECT_EQ(project.Layout(), c.sorted);
    }
    WithPages one({4}), closed({1, 3, 2});
    EXPECT_FALSE(SortRecordsByPage(one, SortOrder::Descending).changed);
    closed.filePath.clear();
    SortRecordsByPage(closed, SortOrder::Ascending);
    EXPECT_EQ(closed.Layout(), "1:0 3:1 2:2 ");
}

// The pairs the check reports as the editor always found them: every pair compared, the
// last equal pair remembered.
std::vector<std::pair<int, int>> ReferencePairs(const std::vector<TextureRecord>& records) {
    std::vector<std::pair<int, int>> pairs;
    int lastI = -1, lastJ = -1;
    for (int i = 0; i < static_cast<int>(records.size()); ++i)
        for (int j = i + 1; j < static_cast<int>(records.size()); ++j) {
            if (!(records[i] == records[j])) continue;
            if (j != lastJ && i != lastI) pairs.emplace_back(i, j);
            lastI = i, lastJ = j;
        }
    return pairs;
}

// Runs of three and four equal records, and records that differ only in a flip, come up
// here; the report's text is checked below.
TEST(DuplicateCheckTest, MatchesTheExhaustiveComparisonOnRandomLists) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::vector<TextureRecord> records(random() % 24);
        const int kinds = 1 + static_cast<int>(random() % 5);
        for (auto& r : records) {
            r = MakeRecord(static_cast<int>(random() % kinds), 0, 4, 4, 0);
            r.FlipY = random() % 4 == 0 ? 0 : -1;
        }
        const DuplicateCheck check = FindDuplicates(records);
        std::vector<std::pair<int, int>> pairs;
        for (size_t k = 0; k < check.removal.size(); ++k)
            pairs.emplace_back(check.originals.at(k), check.removal[k]);
        ASSERT_EQ(pairs, ReferencePairs(records)) << "round " << round;
        ASSERT_EQ(check.count, static_cast<int>(pairs.size()));
    }
}

std::vector<TextureRecord> Copies(std::initializer_list<int> kinds) {
    std::vector<TextureRecord> records;
    for (const int k : kinds) records.push_back(MakeRecord(k, k, 8, 8, 0));
    return records;
}

TEST(DuplicateCheckTest, RemovalWorksFromTheHighestIndexDownAndTheReportHasCrLf) {
    WithPages project({});
    project.records = Copies({1, 1, 2, 3, 3});
    project.selectedTexture = 4;
    test::TempDir dir;
    const std::string path = dir.File("Pelmora_duplicate_list.txt");
    ASSERT_TRUE(WriteDuplicateReport(FindDuplicates(project.records), path).IsDone());
    EXPECT_EQ(test::ReadFile(path),
              "Found 2 duplicates\r\n\r\ntexture 1 and texture 2 match\r\n"
              "texture 4 and texture 5 match\r\n");
    EXPECT_FALSE(WriteDuplicateReport({}, dir.File("no/such/folder.txt")).IsDone());
    EXPECT_TRUE(RemoveDuplicates(project, FindDuplicates(project.records)).IsDone());
    EXPECT_EQ(project.records, Copies({1, 2, 3}));
    EXPECT_EQ(project.selectedTexture, 0);

    // Three equal records need two checks; the first record always survives.
    project.records = Copies({0, 0, 0});
    RemoveDuplicates(project, FindDuplicates(project.records));
    EXPECT_EQ(project.records, Copies({0, 0}));
    RemoveDuplicates(project, FindDuplicates(project.records));
    EXPECT_EQ(project.records, Copies({0}));
    ASSERT_TRUE(WriteDuplicateReport(FindDuplicates(project.records), path).IsDone());
    EXPECT_EQ(test::ReadFile(path), "Found 0 duplicates\r\n\r\n");
}

TEST(DuplicateCheckTest, TheEditorsReportIsAPrivateFileOfItsOwn) {
    test::TempDir runtime, temp, mine;
    const test::ScopedTempFolder tmp(temp.Path());
    // Another user planted a link at the name every running copy used to share.
    test::WriteFile(mine.File("victim.txt"), "mine");
    ASSERT_EQ(
        ::symlink(mine.File("victim.txt").c_str(), temp.File("Pelmora_duplicate_list.txt").c_str()),
        0);
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = xdg ? xdg : "";

    // In the user's runtime folder when there is one, else in the temporary-files folder.
    for (const bool hasRuntime : {true, false}) {
        hasRuntime ? ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1)
                   : ::unsetenv("XDG_RUNTIME_DIR");
        DuplicateListFile file, other;
        ASSERT_TRUE(WriteDuplicateListFile(file, FindDuplicates(Copies({1, 1}))).IsDone());
        EXPECT_EQ(DirectoryOf(file.path), hasRuntime ? runtime.Path() + "/" : TempFolder());
        EXPECT_EQ(test::ReadFile(file.path).substr(0, 20), "Found 1 duplicates\r\n");
        struct stat st {};
        ASSERT_EQ(::lstat(file.path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);

        // Only the copy that wrote it removes it.
        RemoveDuplicateListFile(other);
        EXPECT_TRUE(FileExists(file.path));
        const std::string report = file.path;
        RemoveDuplicateListFile(file);
        EXPECT_FALSE(FileExists(report));
    }
    xdg ? ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(test::ReadFile(mine.File("victim.txt")), "mine");
}

}  // namespace
}  // namespace pelmora
