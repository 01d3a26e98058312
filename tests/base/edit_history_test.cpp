#include "base/edit_history.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "test_support.h"

namespace pelmora {
namespace {

using test::Page;
using Ends = EditHistory::StepEnd;

std::vector<Image> Pages(const Project& project) {
    std::vector<Image> pages;
    for (int k = 0; k < project.PageCount(); ++k) pages.push_back(Page(project, k));
    return pages;
}

void PaintPixel(Project& project, int page, uint8_t value) {
    project.pages.WriteBitmap(page, [&](const BitmapHeader& h) { h.bits[0] = value; });
}

// A step that changes pages `pages` in place: each holds its old and its new bytes.
Ends PaintStep(EditHistory& history, Project& project, std::vector<int> pages, uint8_t value) {
    history.BeginStep(project, "Paint");
    for (int k : pages) PaintPixel(project, k, value);
    return history.EndStep(project);
}

TEST(EditHistory, AStepOverTheLimitIsRefusedAndClearsTheHistory) {
    Project project;
    test::WithPatternPages(project, 4);
    EditHistory history(3 * kPageBytes + 1024);
    ASSERT_EQ(PaintStep(history, project, {0}, 1), Ends::Kept);
    EXPECT_EQ(history.BytesHeld(), 2 * kPageBytes);
    EXPECT_EQ(PaintStep(history, project, {1, 2}, 200), Ends::TooLarge);
    EXPECT_EQ(std::tuple(history.CanUndo(), history.BytesHeld(), history.AtSavedState()),
              std::tuple(false, 0u, false));
    // The change itself is done: only its undoing is lost.
    EXPECT_EQ(Page(project, 2).Data()[0], 200);
    // Merging a large file: the added pages are never copied, only counted.
    history.BeginStep(project, "Import");
    for (int k = 0; k < 4; ++k) project.AddBlankPage();
    EXPECT_EQ(history.EndStep(project), Ends::TooLarge);
    // Nothing changed: nothing kept, and the redo steps survive.
    ASSERT_TRUE(PaintStep(history, project, {3}, 9) == Ends::Kept && history.Undo(project));
    EXPECT_EQ(PaintStep(history, project, {3}, Page(project, 3).Data()[0]), Ends::NothingChanged);
    EXPECT_TRUE(history.CanRedo());
}

TEST(EditHistory, DropsTheOldestStepsFirstAndKnowsTheSavedState) {
    Project project;
    test::WithPatternPages(project, 4);
    const Image untouched = Page(project, 3);
    EditHistory history(5 * kPageBytes);
    history.Clear();  // as after Open: this is the saved state
    ASSERT_EQ(PaintStep(history, project, {0}, 1), Ends::Kept);
    history.MarkSaved();
    ASSERT_EQ(PaintStep(history, project, {1}, 2), Ends::Kept);
    EXPECT_FALSE(history.AtSavedState());
    EXPECT_TRUE(history.Undo(project) && history.AtSavedState());

    // A third step (the redo step is cleared), then a fourth pushes the first out.
    ASSERT_EQ(PaintStep(history, project, {2}, 3), Ends::Kept);
    EXPECT_FALSE(history.CanRedo());
    ASSERT_EQ(PaintStep(history, project, {3}, 4), Ends::Kept);
    EXPECT_EQ(std::tuple(history.UndoCount(), history.BytesHeld()), std::tuple(2, 4 * kPageBytes));
    while (history.Undo(project)) continue;
    EXPECT_TRUE(history.AtSavedState());  // after the first step, which is what was saved
    EXPECT_EQ(Page(project, 0).Data()[0], 1);
    EXPECT_EQ(Page(project, 3), untouched);

    // Once the step that led to the saved state is gone, the state can never be reached.
    history.MarkSaved();
    ASSERT_TRUE(history.Redo(project));
    for (const uint8_t value : {5, 6})
        ASSERT_EQ(PaintStep(history, project, {1}, value), Ends::Kept);
    while (history.Undo(project)) EXPECT_FALSE(history.AtSavedState());
}

TEST(EditHistory, RecordsOnlyChangedRecordsUnlessTheirNumberChanges) {
    Project project;
    test::NewInMemory(project);
    project.records.assign(1000, MakeRecord(0, 0, 8, 8, 0));
    EditHistory history;
    history.BeginStep(project, "Edit Texture");
    project.records[500].X = 7;
    ASSERT_EQ(history.EndStep(project), Ends::Kept);
    EXPECT_LT(history.BytesHeld(), 64u);
    history.BeginStep(project, "Delete Texture");
    project.records.pop_back();
    project.selectedTexture = 999;
    ASSERT_EQ(history.EndStep(project), Ends::Kept);
    EXPECT_EQ(history.UndoName(), "Delete Texture");
    ASSERT_TRUE(history.Undo(project));
    EXPECT_EQ(std::tuple(history.RedoName(), project.RecordCount()),
              std::tuple("Delete Texture", 1000));
    ASSERT_TRUE(history.Undo(project));
    EXPECT_EQ(project.records[500].X, 0);
    ASSERT_TRUE(history.Redo(project) && history.Redo(project));
    // The selection is kept to what exists.
    EXPECT_EQ(std::tuple(project.records[500].X, project.RecordCount(), project.selectedTexture),
              std::tuple(7, 999, 998));
}

// The adding worker writes the same pages hundreds of times while the editor reads; the step
// keeps one copy of each page from before and after.
TEST(EditHistory, JournalsAConcurrentWriterAndCoalescesItsWrites) {
    Project project;
    test::WithPatternPages(project, 3);
    const std::vector<Image> before = Pages(project);
    EditHistory history;
    history.BeginStep(project, "Add Pieces");
    std::thread worker([&] {
        for (int i = 0; i < 300; ++i) {
            PaintPixel(project, i % 3, static_cast<uint8_t>(i));
            if (i % 100 == 0) project.pages.AddBitmapHandle(test::PatternImage(256, 256, 77));
        }
        for (const int k : {3, 1}) project.pages.DeleteBitmap(k);
    });
    for (int i = 0; i < 200; ++i) project.pages.GetBitmap(i % 3);
    worker.join();
    ASSERT_EQ(history.EndStep(project), Ends::Kept);
    // Pages 0 and 2 before and after, page 1 before, two added pages after.
    EXPECT_EQ(history.BytesHeld(), 7 * kPageBytes);
    const std::vector<Image> after = Pages(project);
    EXPECT_TRUE(history.Undo(project) && Pages(project) == before);
    EXPECT_TRUE(history.Redo(project) && Pages(project) == after);
}

}  // namespace
}  // namespace pelmora
