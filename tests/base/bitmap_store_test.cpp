#include "base/bitmap_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "test_support.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

Image Uniform(int w, int h, uint8_t tag) {
    return Image(w, h, MakeColour(tag, tag, tag));
}

// Rows are padded to whole words (6 pixels take 20 bytes, 10 take 32). Entries added, replaced
// and deleted while the buffer grows and moves keep their bytes and packing.
TEST(BitmapStore, PacksEntriesBackToBackAndRefusesBadIndicesAndEmptyBitmaps) {
    BitmapStore store;
    std::vector<Image> expected = {test::PatternImage(256, 256, 0), Uniform(6, 2, 1),
                                   Uniform(10, 10, 2)};
    ASSERT_EQ(store.AddBitmap(expected[0].Header()), 0);
    for (int i = 1; i < 60; ++i) {
        if (i >= 3) expected.push_back(test::PatternImage(256, 256, static_cast<uint8_t>(i)));
        ASSERT_EQ(store.AddBitmapHandle(Image(expected[i])), i);
    }
    EXPECT_EQ(std::tuple(*store.OffsetOf(2), *store.OffsetOf(3)),
              std::tuple(kPageBytes + 40, kPageBytes + 40 + 320));
    ASSERT_EQ(store.AddBitmaps(expected[0].Header(), 100,
                               [&](int i, uint8_t* bits) { std::memset(bits, i, kPageBytes); }),
              60);
    for (int i = 0; i < 100; ++i) expected.push_back(Uniform(256, 256, static_cast<uint8_t>(i)));
    ASSERT_EQ(store.DeleteBitmap(10), 1);
    expected.erase(expected.begin() + 10);
    ASSERT_EQ(store.ReplaceBitmapHandle(20, Uniform(8, 8, 200)), 1);
    expected[20] = Uniform(8, 8, 200);
    expected.push_back(Uniform(256, 256, 77));
    ASSERT_EQ(store.AddBitmapHandle(Uniform(256, 256, 77)), 159);

    ASSERT_EQ(store.Count(), static_cast<int>(expected.size()));
    size_t offset = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(*store.OffsetOf(static_cast<int>(i)), offset) << "entry " << i;
        ASSERT_EQ(*store.GetBitmap(static_cast<int>(i)), expected[i]) << "entry " << i;
        offset += BitmapByteSize(expected[i].Header());
    }
    EXPECT_EQ(store.TotalSize(), offset);
    while (store.Count() > 0) ASSERT_EQ(store.DeleteBitmap(0), 1);
    EXPECT_EQ(store.TotalSize(), 0u);
    EXPECT_EQ(store.AddBitmapHandle(Uniform(2, 2, 5)), 0);  // usable again

    BitmapHeader noBits = expected[0].Header(), noWidth = noBits;
    noBits.bits = nullptr;
    noWidth.width = 0;
    EXPECT_EQ((std::vector{store.AddBitmap(noBits), store.AddBitmap(noWidth),
                           store.AddBitmapHandle(Image()), store.ReplaceBitmapHandle(0, Image())}),
              std::vector(4, -1));
    for (const int bad : {-1, 1})
        EXPECT_EQ(
            (std::tuple{store.GetBitmap(bad).has_value(),
                        store.ReplaceBitmapHandle(bad, Uniform(1, 1, 0)), store.DeleteBitmap(bad)}),
            std::tuple(false, 0, 0))
            << bad;
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(*store.GetBitmap(0), Uniform(2, 2, 5));
}

TEST(BitmapStore, EveryLockingOperationGivesUpWhenTheLockIsHeldTooLongAndTheLockIsReentrant) {
    auto lock = std::make_shared<StoreLock>(50ms);
    BitmapStore store(lock);
    store.AddBitmapHandle(Uniform(4, 4, 1));
    std::atomic<bool> held{false}, done{false};
    std::thread holder([&] {
        std::lock_guard guard(lock->mutex);
        held = true;
        while (!done) std::this_thread::sleep_for(1ms);
    });
    while (!held) std::this_thread::yield();
    EXPECT_EQ((std::tuple{store.AddBitmapHandle(Uniform(4, 4, 2)), store.GetBitmap(0).has_value(),
                          store.ReplaceBitmapHandle(0, Uniform(4, 4, 3)), store.DeleteBitmap(0)}),
              std::tuple(-1, false, 0, 0));
    store.ClearBitmaps();
    // An index past the end is answered without waiting for the lock at all.
    EXPECT_FALSE(store.GetBitmap(1));
    done = true;
    holder.join();
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(*store.GetBitmap(0), Uniform(4, 4, 1));

    // The process's one lock, shared by all other stores, is reentrant: another store may be
    // used while one is being read on the same thread.
    BitmapStore pages, pieces;
    pages.AddBitmapHandle(Uniform(2, 2, 1));
    bool inner = false;
    pages.ReadBitmap(0, [&](const BitmapHeader&) {
        inner = pieces.AddBitmapHandle(Uniform(2, 2, 2)) == 0 && pages.GetBitmap(0).has_value();
    });
    EXPECT_TRUE(inner);
}

// Every page is one uniform colour, so a torn read shows up as a mixed page.
TEST(BitmapStore, ConcurrentWritersAndReadersSeeWholeBitmaps) {
    BitmapStore store;
    store.AddBitmapHandle(Uniform(32, 32, 0));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 1; i < 300; ++i) {
            const auto tag = static_cast<uint8_t>(i);
            if (i % 3 == 0)
                store.AddBitmapHandle(Uniform(32, 32, tag));
            else  // a different size now and then, so the entries behind it move
                store.ReplaceBitmapHandle(i % store.Count(), Uniform(32, i % 2 ? 32 : 16, tag));
            if (i % 50 == 0) store.DeleteBitmap(store.Count() - 1);
        }
        stop = true;
    });
    int torn = 0;
    while (!stop)
        for (int i = 0, count = store.Count(); i < count; ++i)
            if (const auto b = store.GetBitmap(i))
                torn += b->PixelAt(b->Width() - 1, b->Height() - 1) != b->PixelAt(0, 0) ||
                        b->PixelAt(b->Width() / 2, b->Height() / 3) != b->PixelAt(0, 0);
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(store.Count(), 50);
}

}  // namespace
}  // namespace pelmora
