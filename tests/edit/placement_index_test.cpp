#include "edit/placement_index.h"

#include <gtest/gtest.h>

#include <random>

#include "edit/placement_oracle.h"

namespace pelmora {
namespace {

using test::IndexedPlaceAll;
using test::RandomPieceSizes;
using test::StraightforwardPlaceAll;

// Records that were there before adding: overlapping ones, ones cut at the page edge, the
// reserved record in the middle of page 1, and ones naming pages that do not exist yet.
std::vector<TextureRecord> ExistingRecords(unsigned seed, int pages, int count) {
    std::mt19937 random(seed);
    std::vector<TextureRecord> records = {MakeRecord(100, 100, 50, 50, 0, 0, 0)};
    for (int i = 0; i < count; ++i) {
        const int page = static_cast<int>(random() % (pages + 3));
        records.push_back(MakeRecord(static_cast<int>(random() % 256),
                                     static_cast<int>(random() % 256),
                                     1 + static_cast<int>(random() % 120),
                                     1 + static_cast<int>(random() % 120), page, -1, 0));
    }
    return records;
}

void ExpectSameAsStraightforwardScan(std::vector<TextureRecord> records, int pages,
                                     const std::vector<std::pair<int, int>>& sizes) {
    std::vector<TextureRecord> expected = records;
    int expectedPages = pages;
    StraightforwardPlaceAll(expected, expectedPages, sizes);
    IndexedPlaceAll(records, pages, sizes);
    EXPECT_EQ(pages, expectedPages);
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i)
        ASSERT_EQ(RecordText(records[i]), RecordText(expected[i])) << "record " << i + 1;
}

// The reference scan is slow by nature; unoptimised sanitizer builds check a smaller share
// of the same workloads.
#ifdef __OPTIMIZE__
constexpr int kShare = 1;
#else
constexpr int kShare = 4;
#endif

TEST(PlacementIndex, MatchesTheStraightforwardScanOnRandomWorkloads) {
    ExpectSameAsStraightforwardScan(ExistingRecords(1, 3, 40), 3,
                                    RandomPieceSizes(700 / kShare, 7, 256));
    ExpectSameAsStraightforwardScan(ExistingRecords(2, 1, 5), 1,
                                    RandomPieceSizes(2500 / kShare, 8, 20));
    // Long thin pieces reach the page edges in both directions.
    std::vector<std::pair<int, int>> slivers;
    std::mt19937 random(9);
    for (int i = 0; i < 600 / kShare; ++i) {
        const int a = 1 + static_cast<int>(random() % 256), b = 1 + static_cast<int>(random() % 4);
        slivers.push_back(i % 2 ? std::pair{a, b} : std::pair{b, a});
    }
    ExpectSameAsStraightforwardScan(ExistingRecords(3, 2, 20), 2, slivers);
}

TEST(PlacementIndex, FillsGapsOnEarlierPagesAndHonoursRecordsOfPagesNotYetThere) {
    // Page 1 is full but for a 10 x 10 hole at (246, 246); a record already names page 2.
    std::vector<TextureRecord> records = {TextureRecord{}, MakeRecord(0, 0, 256, 246, 0),
                                          MakeRecord(0, 246, 246, 10, 0),
                                          MakeRecord(0, 0, 200, 10, 1)};
    PlacementIndex index(records, 1);
    EXPECT_FALSE(index.FindSpot(0, 11, 10));
    EXPECT_EQ(index.FindSpot(0, 10, 10), (PieceSpot{246, 246}));
    index.AddPage();
    EXPECT_EQ(index.FindSpot(1, 56, 20), (PieceSpot{200, 0}));
    EXPECT_EQ(index.FindSpot(1, 57, 20), (PieceSpot{0, 10}));
    // A failed size is remembered, but smaller pieces are still found afterwards.
    index.Occupy(0, 246, 246, 5, 10);
    EXPECT_FALSE(index.FindSpot(0, 6, 10));
    EXPECT_EQ(index.FindSpot(0, 5, 10), (PieceSpot{251, 246}));
    EXPECT_FALSE(index.FindSpot(0, 257, 1));
    EXPECT_FALSE(index.FindSpot(5, 1, 1));
}

}  // namespace
}  // namespace pelmora
