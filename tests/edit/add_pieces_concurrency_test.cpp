#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "base/image_io.h"
#include "edit/add_pieces.h"
#include "edit/piece_loader.h"
#include "test_support.h"

namespace pelmora {
namespace {

// The editor's side of adding, as it will run it: the adding on a worker thread, the page
// drawn from the store at any time, the project read only inside piecePlaced while the
// worker waits for the hand-over, and Stop pressed from the other thread.
TEST(AddPiecesConcurrency, EditorReadsWhileTheWorkerAddsAndStopsIt) {
    test::TempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 80; ++i) {
        const int side = 20 + (i * 37) % 100;
        files.push_back(test::WritePng(dir, "t" + std::to_string(i) + ".png",
                                       Image(side, side + i % 3, MakeColour(i + 1, 7, 200))));
    }
    Project project;
    test::NewInMemory(project);

    std::mutex mutex;
    std::condition_variable handOver;
    std::optional<int> placed;  // a record waiting to be looked at by the "UI"
    bool finished = false;
    std::atomic<bool> stop{false};
    AddPiecesCallbacks callbacks;
    callbacks.piecePlaced = [&](int record, const std::string&) {
        std::unique_lock lock(mutex);
        placed = record;
        handOver.notify_all();
        handOver.wait(lock, [&] { return !placed; });
    };
    AddPiecesResult result;
    std::thread worker([&] {
        result = AddPiecesFromFiles(project, files, FileSortOrder::Name, stop, callbacks);
        std::lock_guard lock(mutex);
        finished = true;
        handOver.notify_all();
    });

    std::set<Colour> colours;
    for (int shown = 0;;) {
        std::unique_lock lock(mutex);
        handOver.wait_for(lock, std::chrono::milliseconds(1), [&] { return placed || finished; });
        if (placed) {
            const TextureRecord r = project.records[*placed];
            const auto page = project.pages.GetBitmap(r.Page);
            ASSERT_TRUE(page);
            const Colour c = page->PixelAt(r.X, r.Y);
            EXPECT_EQ(page->PixelAt(r.X + r.Width() - 1, r.Y + r.Height() - 1), c);
            colours.insert(c);
            EXPECT_EQ(project.selectedTexture, *placed);
            if (++shown == 40) stop = true;
            placed.reset();
            handOver.notify_all();
        } else if (finished) {
            break;
        } else {
            lock.unlock();
            // Drawing the newest page while the worker may be adding or changing pages.
            (void)project.pages.GetBitmap(project.PageCount() - 1);
        }
    }
    worker.join();
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.placed, 40);
    EXPECT_EQ(project.RecordCount(), 41);
    EXPECT_EQ(colours.size(), 40u);  // every piece landed with its own pixels
}

// Big images on many threads share the decoding budget: they wait for one another instead
// of failing, so the pieces come out the same on one thread as on sixteen.
TEST(AddPiecesConcurrency, BigImagesGiveTheSameResultOnAnyNumberOfThreads) {
    test::TempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 9; ++i) {
        files.push_back(dir.File("big" + std::to_string(i) + ".png"));
        // The fourth is too big on its own.
        test::WriteFile(files.back(), i == 3 ? test::SolidPng(3000, 3000, 1)
                                             : test::SolidPng(1200 + 40 * i, 900, 20 * i));
    }
    // Room for one of the big ones at a time.
    const long long old = ImageDecodeBudget();
    SetImageDecodeBudget(ImageDecodeCost(1600, 900) + (1 << 20));
    std::vector<std::optional<Image>> first;
    for (const int threads : {1, 2, 16}) {
        PieceLoader loader(files, threads, 8 * threads + 8);
        std::vector<std::optional<Image>> pieces;
        for (size_t i = 0; i < files.size(); ++i) pieces.push_back(loader.Take(i));
        if (first.empty()) first = pieces;
        EXPECT_EQ(pieces, first) << threads << " threads";
    }
    SetImageDecodeBudget(old);
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].has_value(), i != 3) << i;
}

}  // namespace
}  // namespace pelmora
