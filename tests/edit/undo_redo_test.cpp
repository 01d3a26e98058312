// Undo and redo of every kind of edit, driven through the real operations on a real file:
// undoing everything must give back the opened file byte for byte, redoing everything the
// file as it was after the edits.

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <vector>

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

// A record flips an axis with -1 and leaves it with 0.
int8_t Flip(int choice) { return choice ? -1 : 0; }

using test::PatternImage;
using test::PatternPage;
using test::WadBytes;

class UndoRedoTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(
            dir.File("level.wad"),
            WadBytes{.version = 130,
                     .records = {TextureRecord{}, MakeRecord(0, 0, 64, 32, 0),
                                 MakeRecord(10, 40, 100, 50, 1), MakeRecord(0, 0, 256, 256, 2)},
                     .pages = {PatternPage(1), PatternPage(2), PatternPage(3)},
                     .rest = std::string("level data\0after", 16)}
                .Build());
        test::WriteFile(dir.File("second.wad"),
                        WadBytes{.version = 129,
                                 .records = {TextureRecord{}, MakeRecord(5, 5, 20, 20, 1),
                                             MakeRecord(0, 0, 30, 30, 0)},
                                 .pages = {PatternPage(9), PatternPage(10)},
                                 .rest = "other"}
                            .Build());
        // Images of several sizes and formats, for pieces, pages and imports.
        const int sizes[][2] = {{40, 30}, {90, 120}, {256, 256}, {300, 70}, {17, 200}, {128, 64}};
        int k = 0;
        for (const auto& size : sizes) {
            const std::string path =
                dir.File("image" + std::to_string(k) + (k % 2 ? ".bmp" : ".png"));
            ASSERT_TRUE(SaveImageFile(PatternImage(size[0], size[1], uint8_t(k * 40)), path).IsDone());
            images.push_back(path);
            ++k;
        }
    }

    // One edit of a random kind, with random arguments, each as the editor would call it.
    std::string RandomEdit(Project& project, std::mt19937& random) {
        auto pick = [&](int count) {
            return count <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(count));
        };
        const int pages = project.PageCount();
        const int records = project.RecordCount();
        const std::string image = images[pick(static_cast<int>(images.size()))];
        switch (pick(17)) {
            case 0: {
                std::vector<std::string> files;
                for (int n = 1 + pick(4); n > 0; --n) files.push_back(images[pick(6)]);
                std::atomic<bool> stop{false};
                AddPiecesFromFiles(project, files, FileSortOrder::Name, stop);
                return "Add Pieces";
            }
            case 1:
            case 2: {
                NewPageOptions options;
                options.kind = pick(2) ? NewPageKind::Blank : NewPageKind::FromImage;
                options.colour = MakeColour(uint8_t(pick(256)), 0, 0);
                options.count = 1 + pick(2);
                options.imagePath = image;
                AddNewPages(project, options);
                return "Add Page";
            }
            case 3:
                ImportPage(project, pick(pages), image);
                return "Import Page";
            case 4:
                ImportPiece(project, pick(records), image);
                return "Import Piece";
            case 5:
                PastePage(project, pick(pages), PatternImage(50 + pick(300), 60, uint8_t(pick(9))));
                return "Paste Page";
            case 6:
                PasteTexture(project, pick(records), PatternImage(33, 44, uint8_t(pick(9))));
                return "Paste Texture";
            case 7: {
                // Now and then a copy of an existing record, so duplicates turn up.
                AddTextureRecord(
                    project, pick(2) ? FieldsOfRecord(project.records[pick(records)])
                                     : RecordFields{pick(256), pick(256), 1 + pick(256),
                                                    1 + pick(256), Flip(pick(2)), Flip(pick(2)),
                                                    pick(pages)});
                return "Add Texture";
            }
            case 8:
                EditTextureRecord(project, pick(records),
                                  {pick(256), pick(256), 1 + pick(99), 1 + pick(99), Flip(pick(2)),
                                   Flip(pick(2)), pick(pages)});
                return "Edit Texture";
            case 9:
                if (pick(2)) {
                    AddRecordFromRectangle(project, pick(pages), pick(256), pick(256), pick(256),
                                           pick(256));
                    return "Add Texture From Rectangle";
                }
                AddRecordsFromGrid(project, pick(pages), 32 + pick(200), 32 + pick(200));
                return "Add Grid";
            case 10:
                DeletePage(project, pick(pages));
                return "Delete Page";
            case 11:
                DeletePiece(project, pick(records));
                return "Delete Piece";
            case 12:
                DeleteRecord(project, pick(records));
                return "Delete Texture";
            case 13:
                SortRecordsByPage(project, pick(2) ? SortOrder::Ascending : SortOrder::Descending);
                return "Sort";
            case 14:
                RemoveDuplicates(project, FindDuplicates(project.records));
                return "Remove Duplicates";
            case 15: {
                std::vector<TextureRecord> file = {TextureRecord{}};
                for (int n = pick(5); n >= 0; --n)
                    file.push_back(MakeRecord(pick(200), pick(200), 1 + pick(56), 1 + pick(56),
                                              pick(pages), -1, -1));
                test::WriteFile(dir.File("records.rec"), RecordsFileText(file));
                const bool overwrite = pick(2);
                ImportRecords(project, dir.File("records.rec"),
                              overwrite ? RecordsImportMode::Overwrite : RecordsImportMode::Append,
                              pick(2));
                return overwrite ? "Import Records" : "Append Records";
            }
            default:
                ImportTextureFile(project, dir.File("second.wad"));
                return "Import";
        }
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
        history.Clear();
        std::mt19937 random(seed);
        std::vector<std::string> kept;
        for (int edit = 0; edit < 50; ++edit) {
            history.BeginStep(project, "");
            const std::string name = RandomEdit(project, random);
            const EditHistory::StepEnd end = history.EndStep(project);
            ASSERT_NE(end, EditHistory::StepEnd::TooLarge) << name;
            if (end == EditHistory::StepEnd::Kept) kept.push_back(name);
        }
        ASSERT_GT(kept.size(), 30u);
        const std::string edited = Saved(project, "edited.wad");

        int undone = 0;
        while (history.Undo(project)) ++undone;
        EXPECT_EQ(undone, static_cast<int>(kept.size()));
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
