#include "edit/record_editing.h"

#include <gtest/gtest.h>

#include "edit/edit_support.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::NewInMemory;
using test::RecordsFrom;

TEST(StoreRecordFields, PositionsWrapSizesAreCutAtThePageEdgeAndZeroMeans256) {
    // x, y, width, height, page typed; X, Width, Height, Page stored.
    const int cases[][8] = {{250, 0, 10, 1, 0, 250, 6, 1}, {0, 0, 256, 1, 0, 0, 256, 1},
                            {0, 200, 1, 100, 0, 0, 1, 56}, {300, 0, 10, 1, 0, 44, 212, 1},
                            {0, 0, 0, 0, 0, 0, 256, 256},  {0, 0, 1, 1, 70000, 0, 1, 1}};
    for (const auto& c : cases) {
        const TextureRecord r = StoreRecordFields({c[0], c[1], c[2], c[3], -1, 0, c[4]});
        EXPECT_EQ(RecordText(r),
                  RecordText(MakeRecord(c[5], c[1] % 256, c[6], c[7], c[4] % 65536, -1, 0)))
            << c[0] << ", " << c[1] << " " << c[2] << " x " << c[3];
    }
    const TextureRecord flipped = MakeRecord(1, 2, 3, 4, 5, -1, 0);
    EXPECT_EQ(StoreRecordFields(FieldsOfRecord(flipped)), flipped);
}

// Each way of making or changing a record selects it and, where it has one, its page.
TEST(RecordEditing, AddEditGridAndRectangle) {
    Project project;
    NewInMemory(project);
    // The defaults ask for a new page.
    EXPECT_TRUE(AddTextureRecord(project, NewRecordFields()).IsDone());
    EXPECT_EQ(RecordsFrom(project, 1), std::vector{MakeRecord(0, 0, 1, 1, 1)});
    EXPECT_EQ(project.selectedTexture, 1);
    EXPECT_TRUE(RecordNeedsNewPage(project, 1));
    EXPECT_FALSE(RecordNeedsNewPage(project, 0));

    project.AddBlankPage();
    project.records.push_back(MakeRecord(9, 9, 9, 9, 0));
    project.selectedPage = 1;
    EXPECT_TRUE(EditTextureRecord(project, 1, {250, 10, 20, 30, -1, 0, 0}).IsDone());
    EXPECT_EQ(RecordsFrom(project, 1),
              (std::vector{MakeRecord(250, 10, 6, 30, 0, -1, 0), MakeRecord(9, 9, 9, 9, 0)}));
    EXPECT_EQ(std::pair(project.selectedPage, project.selectedTexture), std::pair(0, 1));

    // Rectangles are normalised and clamped; one of no size makes nothing.
    EXPECT_TRUE(AddRecordFromRectangle(project, 0, 90, 70, 10, 20).IsDone());
    EXPECT_TRUE(AddRecordFromRectangle(project, 0, 0, 0, 300, 256).IsDone());
    EXPECT_FALSE(AddRecordFromRectangle(project, 0, 5, 5, 5, 40).changed);
    EXPECT_EQ(RecordsFrom(project, 3),
              (std::vector{MakeRecord(10, 20, 80, 50, 0), MakeRecord(0, 0, 256, 256, 0)}));
    EXPECT_EQ(project.selectedTexture, 4);

    // A grid makes one record per cell, row by row, cut at the page edges.
    EXPECT_TRUE(AddRecordsFromGrid(project, 1, 64, 64).IsDone());
    EXPECT_EQ(project.RecordCount(), 21);
    EXPECT_EQ(project.records[6], MakeRecord(64, 0, 64, 64, 1));
    EXPECT_EQ(project.records[9], MakeRecord(0, 64, 64, 64, 1));
    EXPECT_TRUE(AddRecordsFromGrid(project, 0, 100, 100).IsDone());
    ASSERT_EQ(project.RecordCount(), 30);
    EXPECT_EQ(project.records[23], MakeRecord(200, 0, 56, 100, 0));
    EXPECT_EQ(project.records[29], MakeRecord(200, 200, 56, 56, 0));
    EXPECT_EQ(project.selectedTexture, 29);
}

}  // namespace
}  // namespace pelmora
