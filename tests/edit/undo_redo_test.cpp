// Undo and redo of every kind of edit, driven through the real operations on a real file:
// undoing everything must give back the opened file byte for byte, redoing everything the
// file as it was after the edits.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "base/edit_history.h"
#include "edit/add_pieces.h"
#include "edit/deleting.h"
#include "edit/page_creation.h"
#include "edit/pasting.h"
#include "edit/record_editing.h"
#include "edit/single_image.h"
#include "records/duplicate_check.h"
#include "records/record_sort.h"
#include "records/records_file.h"
#include "test_support.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora {
namespace {

using test::PatternImage;
using test::PatternPage;
using test::WadBytes;

class UndoRedoTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(dir.File("level.wad"),
                        WadBytes{130,
                                 {TextureRecord{}, MakeRecord(0, 0, 64, 32, 0),
                                  MakeRecord(10, 40, 100, 50, 1), MakeRecord(0, 0, 256, 256, 2)},
                                 {PatternPage(1), PatternPage(2), PatternPage(3)},
                                 std::string("level data\0after", 16)}
                            .Build());
        // Images of several sizes and formats, for pieces, pages and imports.
        const int sizes[][2] = {{40, 30}, {90, 120}, {256, 256}, {300, 70}, {17, 200}, {128, 64}};
        for (int k = 0; k < 6; ++k) {
            images.push_back(dir.File("image" + std::to_string(k) + (k % 2 ? ".bmp" : ".png")));
            ASSERT_TRUE(SaveImageFile(PatternImage(sizes[k][0], sizes[k][1], k * 40), images.back())
                            .IsDone());
        }
    }

    // One edit of a random kind, with random arguments, each as the editor would call it;
    // which kind it was.
    int RandomEdit(Project& p, std::mt19937& random) {
        const auto pick = [&](int count) { return count <= 0 ? 0 : int(random() % count); };
        const int pages = p.PageCount(), records = p.RecordCount();
        const std::string image = images[pick(6)];
        // A record flips an axis with -1 and leaves it with 0.
        const auto flip = [&] { return static_cast<int8_t>(-pick(2)); };
        const auto fields = [&](int side) {
            return RecordFields{pick(256), pick(256), 1 + pick(side), 1 + pick(side),
                                flip(),    flip(),    pick(pages)};
        };
        const auto addPages = [&] {
            AddNewPages(p, {.kind = pick(2) ? NewPageKind::Blank : NewPageKind::FromImage,
                            .colour = MakeColour(pick(256), 0, 0),
                            .count = 1 + pick(2),
                            .imagePath = image});
        };
        const std::function<void()> edits[] = {
            [&] {
                std::vector<std::string> files;
                for (int n = 1 + pick(4); n > 0; --n) files.push_back(images[pick(6)]);
                AddPiecesFromFiles(p, files, FileSortOrder::Name, std::atomic<bool>{false});
            },
            addPages, addPages, [&] { ImportPage(p, pick(pages), image); },
            [&] { ImportPiece(p, pick(records), image); },
            [&] { PastePage(p, pick(pages), PatternImage(50 + pick(300), 60, pick(9))); },
            [&] { PasteTexture(p, pick(records), PatternImage(33, 44, pick(9))); },
            // Now and then a copy of an existing record, so duplicates turn up.
            [&] {
                AddTextureRecord(p,
                                 pick(2) ? FieldsOfRecord(p.records[pick(records)]) : fields(256));
            },
            [&] { EditTextureRecord(p, pick(records), fields(99)); },
            [&] {
                AddRecordFromRectangle(p, pick(pages), pick(256), pick(256), pick(256), pick(256));
            },
            [&] { AddRecordsFromGrid(p, pick(pages), 32 + pick(200), 32 + pick(200)); },
            [&] { DeletePage(p, pick(pages)); }, [&] { DeletePiece(p, pick(records)); },
            [&] { DeleteRecord(p, pick(records)); },
            [&] { SortRecordsByPage(p, pick(2) ? SortOrder::Ascending : SortOrder::Descending); },
            [&] { RemoveDuplicates(p, FindDuplicates(p.records)); },
            [&] {
                std::vector<TextureRecord> file = {TextureRecord{}};
                for (int n = pick(5); n >= 0; --n)
                    file.push_back(MakeRecord(pick(200), pick(200), 1 + pick(56), 1 + pick(56),
                                              pick(pages), -1, -1));
                test::WriteFile(dir.File("records.rec"), RecordsFileText(file));
                ImportRecords(p, dir.File("records.rec"),
                              pick(2) ? RecordsImportMode::Overwrite : RecordsImportMode::Append,
                              pick(2));
            },
            [&] { ImportTextureFile(p, dir.File("level.wad")); },  // merged into itself
        };
        const int kind = pick(std::size(edits));
        edits[kind]();
        return kind;
    }

    std::string Saved(const Project& project, const std::string& name) {
        EXPECT_TRUE(WriteTextureFile(project, dir.File(name)).IsDone()) << name;
        return test::ReadFile(dir.File(name));
    }

    test::TempDir dir;
    std::vector<std::string> images;
};

TEST_F(UndoRedoTest, UndoingEverythingGivesTheFileBackAndRedoingGivesTheEdits) {
    const std::string original = test::ReadFile(dir.File("level.wad"));
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        Project project;
        const Outcome opened = OpenTextureFile(project, dir.File("level.wad"));
        ASSERT_TRUE(opened.IsDone()) << opened.message;
        EditHistory history;
        history.Clear();  // as Open does
        std::mt19937 random(seed);
        int kept = 0;
        for (int edit = 0; edit < 50; ++edit) {
            history.BeginStep(project, "");
            const int kind = RandomEdit(project, random);
            const EditHistory::StepEnd end = history.EndStep(project);
            ASSERT_NE(end, EditHistory::StepEnd::TooLarge) << "edit kind " << kind;
            kept += end == EditHistory::StepEnd::Kept;
        }
        ASSERT_GT(kept, 30);
        const std::string edited = Saved(project, "edited.wad");

        int undone = 0;
        while (history.Undo(project)) ++undone;
        EXPECT_EQ(undone, kept);
        EXPECT_TRUE(history.AtSavedState());
        EXPECT_TRUE(Saved(project, "undone.wad") == original);

        while (history.Redo(project)) {
        }
        EXPECT_FALSE(history.AtSavedState());
        EXPECT_TRUE(Saved(project, "redone.wad") == edited);
        EXPECT_GE(project.selectedPage, 0);
        EXPECT_LT(project.selectedPage, project.PageCount());
    }
}

}  // namespace
}  // namespace pelmora
