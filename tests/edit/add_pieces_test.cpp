#include "edit/add_pieces.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <random>

#include "edit/edit_support.h"
#include "edit/image_folders.h"
#include "edit/time_remaining.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::NewInMemory;
using test::Page;
using test::RecordsFrom;
using test::WritePng;

constexpr Colour kTeal = MakeColour(0, 128, 128);

TEST(FitToPage, ScalesDownByTheTruncatingRuleAndNeverEnlarges) {
    // Width, height in; width, height out. Elongated beyond 256 : 1, the piece comes out as
    // nothing.
    const int cases[][4] = {{640, 480, 256, 192}, {300, 200, 255, 170}, {200, 300, 170, 255},
                            {1000, 10, 200, 2},   {512, 256, 256, 128}, {300, 300, 256, 256},
                            {322, 322, 255, 255}, {100, 50, 100, 50},   {256, 256, 256, 256},
                            {1, 256, 1, 256},     {257, 1, 0, 0},       {1, 600, 0, 0}};
    for (const auto& c : cases) {
        int w = -1, h = -1;
        FitToPage(c[0], c[1], w, h);
        EXPECT_EQ(std::pair(w, h), std::pair(c[2], c[3])) << c[0] << " x " << c[1];
    }
}

TEST(NaturalNameLess, NumbersByValueThenSignedBytes) {
    // Each pair in order: numbers by value, a shorter digit run first, capitals before small
    // letters, bytes above 127 before ASCII.
    const char* ordered[] = {"img2.bmp", "img10.bmp", "x/a10.png", "x/a010.png", "a009", "a010",
                             "B.bmp",    "a.bmp",     "\xe9t\xe9", "ete",        "abc",  "abcd",
                             "1x",       "12",        "a5b",       "a5c"};
    for (size_t i = 0; i < std::size(ordered); i += 2) {
        EXPECT_TRUE(NaturalNameLess(ordered[i], ordered[i + 1])) << ordered[i];
        EXPECT_FALSE(NaturalNameLess(ordered[i + 1], ordered[i])) << ordered[i];
    }
    EXPECT_FALSE(NaturalNameLess("img7", "img7"));
}

TEST(TimeRemaining, ScalesTheTimeSpentToTheWholeRun) {
    // Seconds spent, steps done, steps in all; the text.
    const std::tuple<uint64_t, int64_t, int64_t, const char*> cases[] = {
        {600, 0, 100, " [ETR: 0:00:00]"},  // nothing done yet
        {600, 25, 100, " [ETR: 0:30:00]"},
        {3725, 50, 100, " [ETR: 1:02:05]"},
        {360000, 1, 100, " [ETR: 9900:00:00]"},  // hours keep all their digits
        {600, 100, 100, " [ETR: 0:00:00]"},
        {600, 120, 100, " [ETR: 0:00:00]"},  // past the end: nothing left, not a wrap
        // 100 x 50,000,000 s does not fit in 32 bits.
        {50'000'000, 50, 100, " [ETR: 13888:53:20]"},
        // The longest run the editor's tick count measures, over the most steps.
        {4'294'967, 1, INT_MAX, " [ETR: 2562047609058:14:42]"},
    };
    for (const auto& [elapsed, done, total, text] : cases)
        EXPECT_EQ(TimeRemainingText(elapsed, done, total), text) << elapsed << " s, " << done;
}

// The screenshot tool's placing: first fit on the page given, the reserved record ignored.
TEST(PlacePieceOnPage, FirstFitOnThePageGivenOnly) {
    Project project;
    NewInMemory(project);
    project.AddBlankPage();
    project.records.push_back(MakeRecord(0, 0, 256, 256, 1));  // page 2 is full
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(PlacePieceOnPage(project, Image(128, 128), 0));
    EXPECT_FALSE(PlacePieceOnPage(project, Image(1, 1), 1));
    EXPECT_EQ(RecordsFrom(project, 2),
              (std::vector{MakeRecord(0, 0, 128, 128, 0), MakeRecord(128, 0, 128, 128, 0)}));
    EXPECT_EQ(project.selectedTexture, 3);
}

// What the callbacks saw, in order.
struct Seen {
    std::vector<std::string> titles, progress, failed;
    int gatheringSteps = 0;
    std::vector<int> placed;

    AddPiecesCallbacks Callbacks() {
        return {
            .setTitle = [this](const std::string& t) { titles.push_back(t); },
            .stepGathering = [this] { ++gatheringSteps; },
            .progress =
                [this](int i, int n, int percent, const std::string& name) {
                    progress.push_back(AddingTextureText(i, n, percent, " [ETR: 0:00:00]", name));
                },
            .piecePlaced = [this](int record, const std::string&) { placed.push_back(record); },
            .fileFailed = [this](const std::string& text,
                                 const std::string&) { failed.push_back(text); }};
    }
};

AddPiecesResult Add(Project& project, const std::vector<std::string>& files,
                    FileSortOrder order = FileSortOrder::Name, Seen* seen = nullptr) {
    const std::atomic<bool> stop{false};
    return AddPiecesFromFiles(project, files, order, stop,
                              seen ? seen->Callbacks() : AddPiecesCallbacks{});
}

TEST(AddPiecesFromFiles, NaturalOrderExactPixelsProgressAndTitles) {
    test::TempDir dir;
    const Image one = test::PatternImage(40, 30, 1), two = test::PatternImage(20, 50, 2);
    const std::vector<std::string> files = {
        WritePng(dir, "img10.png", test::PatternImage(300, 200, 3)), WritePng(dir, "img1.png", one),
        WritePng(dir, "img2.png", two)};
    Project project;
    NewInMemory(project, kTeal);
    Seen seen;
    const auto result = Add(project, files, FileSortOrder::Name, &seen);
    EXPECT_EQ(std::pair(result.placed, result.stopped), std::pair(3, false));
    EXPECT_EQ(seen.titles, (std::vector<std::string>{"Gathering Files...", "Sorting Files...",
                                                     "Sorting Complete...", "Loading Files..."}));
    EXPECT_EQ(seen.gatheringSteps, 3);
    EXPECT_EQ(seen.progress, (std::vector<std::string>{
                                 "Adding Texture 1 of 3, 33% done [ETR: 0:00:00] [img1.png]",
                                 "Adding Texture 2 of 3, 66% done [ETR: 0:00:00] [img2.png]",
                                 "Adding Texture 3 of 3, 100% done [ETR: 0:00:00] [img10.png]"}));
    EXPECT_EQ(seen.placed, (std::vector<int>{1, 2, 3}));
    // 300 x 200 is scaled to 255 x 170 and finds room only below the first two.
    EXPECT_EQ(RecordsFrom(project, 1),
              (std::vector{MakeRecord(0, 0, 40, 30, 0), MakeRecord(40, 0, 20, 50, 0),
                           MakeRecord(0, 50, 255, 170, 0)}));
    // Pieces that are not scaled are copied byte for byte.
    const Image page = Page(project, 0);
    EXPECT_EQ(page.Copy(0, 0, 40, 30), one);
    EXPECT_EQ(page.Copy(40, 0, 20, 50), two);
    EXPECT_EQ(page.PixelAt(60, 0), kTeal);  // untouched page stays as it was
    EXPECT_EQ(project.selectedTexture, 3);
}

TEST(AddPiecesFromFiles, SizeOrdersAndNewPagesInTheNewPageColour) {
    test::TempDir dir;
    // PNG sizes grow with the pixel count of these noisy images.
    std::vector<std::string> files;
    std::mt19937 random(4);
    for (int side : {150, 50, 200}) {
        Image image(side, side);
        std::generate_n(image.Data(), image.ByteSize(), [&] { return uint8_t(random()); });
        files.push_back(WritePng(dir, "p" + std::to_string(side) + ".png", image));
    }
    // 200 x 200 needs a page of its own; 50 x 50 goes beside the 150 or the 200 before it.
    // A record already names the page to come, and the piece on it keeps clear of it.
    const TextureRecord waiting = MakeRecord(0, 0, 10, 10, 1);
    const std::pair<FileSortOrder, std::vector<TextureRecord>> cases[] = {
        {FileSortOrder::SizeAscending,
         {waiting, MakeRecord(0, 0, 50, 50, 0), MakeRecord(50, 0, 150, 150, 0),
          MakeRecord(10, 0, 200, 200, 1)}},
        {FileSortOrder::SizeDescending,
         {waiting, MakeRecord(0, 0, 200, 200, 0), MakeRecord(10, 0, 150, 150, 1),
          MakeRecord(200, 0, 50, 50, 0)}}};
    for (const auto& [order, records] : cases) {
        Project project;
        NewInMemory(project, kTeal);
        project.records.push_back(waiting);
        EXPECT_EQ(Add(project, files, order).pagesAdded, 1);
        EXPECT_EQ(RecordsFrom(project, 1), records);
        EXPECT_EQ(Page(project, 1).PixelAt(255, 255), kTeal);
        EXPECT_EQ(project.selectedPage, records.back().Page);
    }
}

TEST(AddPiecesFromFiles, UnusableFilesAreSkippedAndReportedTheRestIsAdded) {
    test::TempDir dir;
    const auto file = [&](const std::string& name, const std::string& bytes) {
        test::WriteFile(dir.File(name), bytes);
        return dir.File(name);
    };
    const std::vector<std::string> files = {
        WritePng(dir, "a1.png", test::PatternImage(10, 10, 1)),
        file("a2.png", "this is not an image"), WritePng(dir, "a3.png", Image(257, 1)),  // 256 x 0
        // Claims 30000 x 30000 pixels (3.6 GB to decode) in a few bytes.
        file("a4.png", test::ClaimingPng(30000, 30000)), dir.File("a5.png"),  // not there
        // Transparent parts take the new page colour.
        file("a6.png", test::RgbaPng(12, 12, 255, 0, 0, 0))};
    Project project;
    NewInMemory(project, kTeal);
    Seen seen;
    const auto result = Add(project, files, FileSortOrder::Name, &seen);
    EXPECT_EQ(result.failedFiles,
              (std::vector<std::string>{files[1], files[2], files[3], files[4]}));
    ASSERT_EQ(std::pair(result.failureReasons.size(), seen.failed.size()), std::pair(4ul, 4ul));
    EXPECT_EQ(seen.failed[0], "Failed To Load Image...\n" + files[1] +
                                  " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file");
    // Skipped files still count in the progress.
    EXPECT_EQ(std::pair(result.placed, seen.progress.size()), std::pair(2, 6ul));
    EXPECT_EQ(RecordsFrom(project, 1),
              (std::vector{MakeRecord(0, 0, 10, 10, 0), MakeRecord(10, 0, 12, 12, 0)}));
    EXPECT_EQ(Page(project, 0).Copy(10, 0, 12, 12), Image(12, 12, kTeal));
}

TEST(AddPiecesFromFiles, StopLetsThePieceBeingPlacedFinishAndKeepsWhatWasAdded) {
    test::TempDir dir;
    std::vector<std::string> files;
    for (int i = 1; i <= 30; ++i)
        files.push_back(WritePng(dir, "s" + std::to_string(i) + ".png", Image(100, 100)));
    Project project;
    NewInMemory(project);
    std::atomic<bool> stop{false};
    Seen seen;
    AddPiecesCallbacks callbacks = seen.Callbacks();
    callbacks.piecePlaced = [&](int record, const std::string&) { stop = record == 5; };
    auto result = AddPiecesFromFiles(project, files, FileSortOrder::Name, stop, callbacks);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.placed, 5);
    EXPECT_EQ(seen.progress.size(), 5u);
    EXPECT_EQ(project.RecordCount(), 6);
    EXPECT_EQ(project.PageCount(), 2);  // four 100 x 100 pieces fit a page

    // Stopped before it starts: gathering ends and nothing is added.
    Project other;
    NewInMemory(other);
    Seen before;
    result =
        AddPiecesFromFiles(other, files, FileSortOrder::SizeAscending, stop, before.Callbacks());
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.placed + before.gatheringSteps, 0);
    EXPECT_EQ(other.RecordCount(), 1);

    // Without an open project nothing happens at all.
    Project closed;
    EXPECT_EQ(Add(closed, files).placed, 0);
    EXPECT_EQ(closed.PageCount(), 0);
}

TEST(ExpandImageFolders, NestedFoldersByExtensionPassingOverTheRestReportingUnreadable) {
    test::TempDir dir;
    for (const char* folder : {"icons", "icons/apps", "icons/apps/more", "icons/.cache", "empty",
                               "icons/b10", "icons/b9"})
        ASSERT_EQ(::mkdir(dir.File(folder).c_str(), 0755), 0);
    // Only the names matter here: the contents are read later, by the adding.
    for (const char* file :
         {"icons/apps/konsole.png", "icons/apps/Kate.JPEG", "icons/apps/more/x.TiF",
          "icons/b10/a.bmp", "icons/b9/a.Pcx", "icons/top.tga", "icons/notes.txt", "icons/png",
          "icons/.hidden.png", "icons/.cache/c.png", "icons/raw.raw", "icons/jf.jfif",
          "empty/readme"})
        test::WriteFile(dir.File(file), "x");
    ASSERT_EQ(::mkfifo(dir.File("icons/fifo.png").c_str(), 0600), 0);
    // A link back up must not make the walk go round for ever.
    ASSERT_EQ(::symlink("..", dir.File("icons/apps/more/up").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.png", dir.File("icons/dangling.png").c_str()), 0);

    const std::string icons = dir.File("icons");
    const ImageFileList list =
        ExpandImageFolders({dir.File("loose.gif"), icons + "/", dir.File("empty")});
    const std::vector<std::string> expected = {
        dir.File("loose.gif"),  // not a folder: kept whatever it is
        icons + "/apps/Kate.JPEG", icons + "/apps/konsole.png", icons + "/apps/more/x.TiF",
        icons + "/b9/a.Pcx",       icons + "/b10/a.bmp",        icons + "/jf.jfif",
        icons + "/top.tga"};
    EXPECT_EQ(list.files, expected);
    EXPECT_EQ(list.foundInFolders, 7);
    EXPECT_EQ(list.folders, 2);
    EXPECT_TRUE(list.unreadable.empty());

    if (::geteuid() == 0) return;  // root reads every folder
    ASSERT_EQ(::mkdir(dir.File("closed").c_str(), 0), 0);
    const ImageFileList closed = ExpandImageFolders({dir.File("closed")});
    EXPECT_TRUE(closed.files.empty());
    ASSERT_EQ(closed.unreadable.size(), 1u);
    EXPECT_NE(closed.unreadable[0].find(dir.File("closed")), std::string::npos);
    ::chmod(dir.File("closed").c_str(), 0755);
}

}  // namespace
}  // namespace pelmora
