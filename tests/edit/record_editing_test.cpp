#include "edit/record_editing.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace pelmora {
namespace {

using test::NewInMemory;

RecordFields Fields(int x, int y, int w, int h, int page = 0) {
    RecordFields f;
    f.x = x;
    f.y = y;
    f.width = w;
    f.height = h;
    f.page = page;
    return f;
}

TEST(StoreRecordFields, PositionsWrapSizesAreCutAtThePageEdgeAndZeroMeans256) {
    EXPECT_EQ(StoreRecordFields(Fields(250, 0, 10, 1)).Width(), 6);
    EXPECT_EQ(StoreRecordFields(Fields(0, 0, 256, 1)).Width(), 256);
    EXPECT_EQ(StoreRecordFields(Fields(0, 200, 1, 100)).Height(), 56);
    const TextureRecord wrapped = StoreRecordFields(Fields(300, 0, 10, 1));
    EXPECT_EQ(wrapped.X, 44);
    EXPECT_EQ(wrapped.Width(), 212);
    EXPECT_EQ(StoreRecordFields(Fields(0, 0, 0, 0)).Width(), 256);
    EXPECT_EQ(StoreRecordFields(Fields(0, 0, 0, 0)).Height(), 256);
    EXPECT_EQ(StoreRecordFields(Fields(0, 0, 1, 1, 70000)).Page, 70000 % 65536);

    RecordFields f = FieldsOfRecord(MakeRecord(1, 2, 3, 4, 5, -1, 0));
    EXPECT_EQ(RecordText(StoreRecordFields(f)),
              "Page=6, X=1, Y=2, Width=3, Height=4, FlipX=-1, FlipY=0");
}

TEST(AddTextureRecord, DefaultsAskForANewPageAndTheRecordIsSelected) {
    Project project;
    NewInMemory(project);
    const RecordFields defaults = NewRecordFields();
    EXPECT_TRUE(defaults.newPage);
    EXPECT_TRUE(AddTextureRecord(project, defaults).IsDone());
    ASSERT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(RecordText(project.records[1]),
              "Page=2, X=0, Y=0, Width=1, Height=1, FlipX=-1, FlipY=-1");
    EXPECT_EQ(project.selectedTexture, 1);
    EXPECT_TRUE(RecordNeedsNewPage(project, 1));
    EXPECT_FALSE(RecordNeedsNewPage(project, 0));
}

TEST(EditTextureRecord, FirstRecordRefusedOthersChangedInPlace) {
    Project project;
    NewInMemory(project);
    project.AddBlankPage();
    project.records.push_back(MakeRecord(1, 1, 1, 1, 0));
    project.records.push_back(MakeRecord(9, 9, 9, 9, 0));
    const Outcome refused = EditTextureRecord(project, 0, Fields(1, 1, 1, 1));
    EXPECT_FALSE(refused.IsDone());
    EXPECT_EQ(refused.message, "Texture 1 should not be edited...");
    EXPECT_EQ(CheckRecordEditable(project, -1).message, "Texture 0 should not be edited...");
    EXPECT_EQ(project.records[0], TextureRecord{});

    RecordFields f = Fields(250, 10, 20, 30, 1);
    f.flipY = 0;
    EXPECT_TRUE(EditTextureRecord(project, 1, f).IsDone());
    EXPECT_EQ(RecordText(project.records[1]),
              "Page=2, X=250, Y=10, Width=6, Height=30, FlipX=-1, FlipY=0");
    EXPECT_EQ(project.RecordCount(), 3);
    EXPECT_EQ(project.selectedTexture, 1);
    EXPECT_EQ(project.selectedPage, 1);
}

TEST(AddRecordsFromGrid, OneRecordPerCellRowByRowCutAtTheEdges) {
    Project project;
    NewInMemory(project);
    project.AddBlankPage();
    EXPECT_TRUE(AddRecordsFromGrid(project, 1, 64, 64).IsDone());
    EXPECT_EQ(project.RecordCount(), 17);
    EXPECT_EQ(RecordText(project.records[2]),
              "Page=2, X=64, Y=0, Width=64, Height=64, FlipX=-1, FlipY=-1");
    EXPECT_EQ(RecordText(project.records[5]),
              "Page=2, X=0, Y=64, Width=64, Height=64, FlipX=-1, FlipY=-1");

    Project other;
    NewInMemory(other);
    EXPECT_TRUE(AddRecordsFromGrid(other, 0, 100, 100).IsDone());
    ASSERT_EQ(other.RecordCount(), 10);
    EXPECT_EQ(RecordText(other.records[3]),
              "Page=1, X=200, Y=0, Width=56, Height=100, FlipX=-1, FlipY=-1");
    EXPECT_EQ(RecordText(other.records[9]),
              "Page=1, X=200, Y=200, Width=56, Height=56, FlipX=-1, FlipY=-1");
    EXPECT_EQ(other.selectedTexture, 9);
    // A cell of no size would never end.
    EXPECT_FALSE(AddRecordsFromGrid(other, 0, 0, 64).IsDone());
    EXPECT_EQ(other.RecordCount(), 10);
}

TEST(AddRecordFromRectangle, NormalisedClampedAndNothingForAZeroSize) {
    Project project;
    NewInMemory(project);
    EXPECT_TRUE(AddRecordFromRectangle(project, 0, 90, 70, 10, 20).IsDone());
    EXPECT_EQ(RecordText(project.records[1]),
              "Page=1, X=10, Y=20, Width=80, Height=50, FlipX=-1, FlipY=-1");
    EXPECT_TRUE(AddRecordFromRectangle(project, 0, 0, 0, 300, 256).IsDone());
    EXPECT_EQ(project.records[2].Width(), 256);
    EXPECT_FALSE(AddRecordFromRectangle(project, 0, 5, 5, 5, 40).changed);
    EXPECT_EQ(project.RecordCount(), 3);
    EXPECT_EQ(project.selectedTexture, 2);
}

}  // namespace
}  // namespace pelmora
