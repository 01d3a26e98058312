#include "edit/placement_index.h"

#include <gtest/gtest.h>

#include <random>

#include "edit/edit_support.h"
#include "edit/placement_oracle.h"

namespace pelmora {
namespace {

// The reference scan is slow by nature; unoptimised sanitizer builds check a smaller share
// of the same workloads.
#ifdef __OPTIMIZE__
constexpr int kShare = 1;
#else
constexpr int kShare = 4;
#endif

TEST(PlacementIndex, MatchesTheStraightforwardScanOnRandomWorkloads) {
    // Long thin pieces reach the page edges in both directions.
    std::vector<std::pair<int, int>> slivers;
    std::mt19937 random(9);
    for (int i = 0; i < 600 / kShare; ++i) {
        const int a = 1 + static_cast<int>(random() % 256), b = 1 + static_cast<int>(random() % 4);
        slivers.push_back(i % 2 ? std::pair{a, b} : std::pair{b, a});
    }
    const struct {
        unsigned seed;
        int pages, existing;
        std::vector<std::pair<int, int>> sizes;
    } workloads[] = {{1, 3, 40, test::RandomPieceSizes(700 / kShare, 7, 256)},
                     {2, 1, 5, test::RandomPieceSizes(2500 / kShare, 8, 20)},
                     {3, 2, 20, slivers}};
    for (const auto& w : workloads) {
        // Records there before adding: overlapping ones, ones cut at the page edge, the
        // reserved record in the middle of page 1, and ones naming pages not there yet.
        random.seed(w.seed);
        std::vector<TextureRecord> records = {MakeRecord(100, 100, 50, 50, 0, 0, 0)};
        for (int i = 0; i < w.existing; ++i) {
            const int page = static_cast<int>(random() % (w.pages + 3));
            records.push_back(MakeRecord(random() % 256, random() % 256, 1 + random() % 120,
                                         1 + random() % 120, page, -1, 0));
        }
        std::vector<TextureRecord> expected = records;
        int pages = w.pages, expectedPages = w.pages;
        test::StraightforwardPlaceAll(expected, expectedPages, w.sizes);
        test::IndexedPlaceAll(records, pages, w.sizes);
        SCOPED_TRACE(testing::Message() << "seed " << w.seed);
        EXPECT_EQ(pages, expectedPages);
        ASSERT_EQ(records.size(), expected.size());
        for (size_t i = 0; i < records.size(); ++i) ASSERT_EQ(records[i], expected[i]) << i + 1;
    }
}

TEST(PlacementIndex, FillsGapsOnEarlierPagesAndHonoursRecordsOfPagesNotYetThere) {
    // Page 1 is full but for a 10 x 10 hole at (246, 246); a record already names page 2.
    PlacementIndex index({TextureRecord{}, MakeRecord(0, 0, 256, 246, 0),
                          MakeRecord(0, 246, 246, 10, 0), MakeRecord(0, 0, 200, 10, 1)},
                         1);
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
