#include "edit/deleting.h"

#include <gtest/gtest.h>

#include <functional>

#include "edit/record_editing.h"
#include "edit/single_image.h"
#include "test_support.h"

namespace pelmora {
namespace {

constexpr Colour kLime = MakeColour(100, 250, 0);

// Pages filled with their own colour (page k: k + 1 in red) and the given records behind
// the reserved one.
void Fill(Project& project, int pages, const std::vector<TextureRecord>& records) {
    NewProject(project, "/nonexistent/new.plm");
    project.pages.ClearBitmaps();
    for (int k = 0; k < pages; ++k)
        project.pages.AddBitmapHandle(
            Image(256, 256, MakeColour(static_cast<uint8_t>(k + 1), 0, 0)));
    project.records.insert(project.records.end(), records.begin(), records.end());
}

std::vector<int> Pages1Based(const Project& project) {
    std::vector<int> pages;
    for (const auto& r : project.records) pages.push_back(r.Page + 1);
    return pages;
}

TEST(DeletePage, RemovesItsRecordsMovesLaterOnesDownAndSelectsTheHighestPage) {
    Project project;
    Fill(project, 5,
         {MakeRecord(0, 0, 8, 8, 1), MakeRecord(1, 0, 8, 8, 2), MakeRecord(2, 0, 8, 8, 2),
          MakeRecord(3, 0, 8, 8, 3), MakeRecord(4, 0, 8, 8, 4)});
    project.records[0].Page = 2;  // the reserved record on the deleted page stays as it is
    EXPECT_TRUE(DeletePage(project, 2).IsDone());
    EXPECT_EQ(Pages1Based(project), (std::vector<int>{3, 2, 3, 4}));
    EXPECT_EQ(project.records[2].X, 3);
    ASSERT_EQ(project.PageCount(), 4);
    EXPECT_EQ(project.pages.GetBitmap(2)->PixelAt(0, 0), MakeColour(4, 0, 0));  // former page 4
    // The highest page any record uses is page 4; its first record is Texture 4.
    EXPECT_EQ(project.selectedPage, 3);
    EXPECT_EQ(project.selectedTexture, 3);
}

TEST(DeletePage, FirstPageIsClearedNotRemoved) {
    Project project;
    Fill(project, 3,
         {MakeRecord(0, 0, 8, 8, 0), MakeRecord(0, 0, 8, 8, 1), MakeRecord(0, 0, 8, 8, 0),
          MakeRecord(0, 0, 8, 8, 2)});
    project.newPageColour = kLime;
    EXPECT_TRUE(DeletePage(project, 0).IsDone());
    EXPECT_EQ(project.PageCount(), 3);
    EXPECT_EQ(*project.pages.GetBitmap(0), Image(256, 256, kLime));
    EXPECT_EQ(project.pages.GetBitmap(1)->PixelAt(0, 0), MakeColour(2, 0, 0));
    EXPECT_EQ(Pages1Based(project), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(project.selectedPage, 2);
    EXPECT_EQ(project.selectedTexture, 2);
}

TEST(DeleteRecord, RenumbersSelectsThePreviousAndRefusesTextureOne) {
    Project project;
    std::vector<TextureRecord> records;
    for (int i = 1; i < 8; ++i) records.push_back(MakeRecord(i, 0, 1, 1, 0));
    Fill(project, 1, records);
    const Image page = *project.pages.GetBitmap(0);
    EXPECT_TRUE(DeleteRecord(project, 4).IsDone());  // Texture 5 of 8
    ASSERT_EQ(project.RecordCount(), 7);
    EXPECT_EQ(project.records[4].X, 5);
    EXPECT_EQ(project.selectedTexture, 3);  // Texture 4
    EXPECT_EQ(*project.pages.GetBitmap(0), page);

    const Outcome refused = DeleteRecord(project, 0);
    EXPECT_FALSE(refused.IsDone());
    EXPECT_EQ(refused.message, "Texture 1 should not be deleted...");
    EXPECT_EQ(project.RecordCount(), 7);
}

TEST(DeletePiece, PaintsTheWholeRectangleThenRemovesTheRecord) {
    Project project;
    Fill(
        project, 2,
        {MakeRecord(10, 20, 30, 5, 1), MakeRecord(250, 250, 20, 20, 1), MakeRecord(0, 0, 4, 4, 9)});
    project.pages.ReplaceBitmapHandle(1, test::PatternImage(256, 256, 4));
    const Image before = *project.pages.GetBitmap(1);
    project.newPageColour = kLime;
    EXPECT_TRUE(DeletePiece(project, 1).IsDone());
    Image expected = before;
    expected.FillRect(10, 20, 30, 5, kLime);
    EXPECT_EQ(*project.pages.GetBitmap(1), expected);
    EXPECT_EQ(project.RecordCount(), 3);
    EXPECT_EQ(project.selectedTexture, 0);

    // Cut at the page edge.
    EXPECT_TRUE(DeletePiece(project, 1).IsDone());
    EXPECT_EQ(project.pages.GetBitmap(1)->PixelAt(255, 255), kLime);

    // The first record, and a record whose page does not exist: refused, with the reason a
    // script is told (the editor keeps quiet about these).
    const std::pair<int, const char*> refusals[] = {{0, "Texture 1 should not be deleted..."},
                                                    {1, "The page of texture 2 does not exist."}};
    for (const auto& [index, message] : refusals) {
        const Outcome none = DeletePiece(project, index);
        EXPECT_EQ(none.kind, Outcome::Kind::Refused);
        EXPECT_FALSE(none.changed);
        EXPECT_EQ(none.message, message);
    }
    EXPECT_EQ(project.RecordCount(), 2);
}

// Every operation that takes a page or texture number checks it itself, with the text a
// script is told, and changes nothing.
TEST(NumberChecks, APageOrTextureThatDoesNotExistIsRefused) {
    Project project;
    Fill(project, 2, {MakeRecord(0, 0, 8, 8, 0)});
    using Op = std::function<Outcome(Project&)>;
    const std::pair<Op, std::string> cases[] = {
        {[](Project& p) { return DeletePage(p, 2); },
         "Page 3 does not exist (the file has 2 pages)."},
        {[](Project& p) { return DeletePage(p, -1); },
         "Page 0 does not exist (the file has 2 pages)."},
        {[](Project& p) { return AddRecordsFromGrid(p, 5, 64, 64); },
         "Page 6 does not exist (the file has 2 pages)."},
        {[](Project& p) { return ImportPage(p, 2, "/nonexistent.png"); },
         "Page 3 does not exist (the file has 2 pages)."},
        {[](Project& p) { return ExportPage(p, 2, "/nonexistent/p.png"); },
         "Page 3 does not exist (the file has 2 pages)."},
        {[](Project& p) { return DeleteRecord(p, 2); },
         "Texture 3 does not exist (the file has 2 textures)."},
        {[](Project& p) { return DeletePiece(p, -1); },
         "Texture 0 does not exist (the file has 2 textures)."},
        {[](Project& p) { return ImportPiece(p, 7, "/nonexistent.png"); },
         "Texture 8 does not exist (the file has 2 textures)."},
        {[](Project& p) { return ExportPiece(p, 2, "/nonexistent/t.png"); },
         "Texture 3 does not exist (the file has 2 textures)."},
        // A command line's number INT_MIN arrives as index INT_MAX and is told as typed.
        {[](Project& p) { return DeletePage(p, INT32_MAX); },
         "Page -2147483648 does not exist (the file has 2 pages)."},
    };
    for (const auto& [op, message] : cases) {
        const Outcome refused = op(project);
        EXPECT_EQ(refused.kind, Outcome::Kind::Refused) << message;
        EXPECT_EQ(refused.message, message);
        EXPECT_EQ(refused.subject, project.filePath);
        EXPECT_FALSE(refused.changed);
    }
    EXPECT_EQ(project.PageCount(), 2);
    EXPECT_EQ(project.RecordCount(), 2);
}

}  // namespace
}  // namespace pelmora
