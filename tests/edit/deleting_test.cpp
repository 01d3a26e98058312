#include "edit/deleting.h"

#include <gtest/gtest.h>

#include <functional>

#include "edit/page_creation.h"
#include "edit/record_editing.h"
#include "edit/single_image.h"
#include "test_support.h"

namespace pelmora {
namespace {

using test::Page;
using test::PatternImage;

constexpr Colour kLime = MakeColour(100, 250, 0);

// Pattern pages (page k seeded k) and the given records behind the reserved one.
void Fill(Project& project, int pages, const std::vector<TextureRecord>& records) {
    test::WithPatternPages(project, pages);
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
    EXPECT_EQ(Page(project, 2), PatternImage(256, 256, 3));  // former page 4
    // The highest page any record uses is page 4; its first record is Texture 4.
    EXPECT_EQ(std::pair(project.selectedPage, project.selectedTexture), std::pair(3, 3));

    // The first page is cleared, not removed.
    Project first;
    Fill(first, 3,
         {MakeRecord(0, 0, 8, 8, 0), MakeRecord(0, 0, 8, 8, 1), MakeRecord(0, 0, 8, 8, 0),
          MakeRecord(0, 0, 8, 8, 2)});
    first.newPageColour = kLime;
    EXPECT_TRUE(DeletePage(first, 0).IsDone());
    EXPECT_EQ(first.PageCount(), 3);
    EXPECT_EQ(Page(first, 0), Image(256, 256, kLime));
    EXPECT_EQ(Page(first, 1), PatternImage(256, 256, 1));
    EXPECT_EQ(Pages1Based(first), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(std::pair(first.selectedPage, first.selectedTexture), std::pair(2, 2));
}

// A record goes and the previous one is selected; deleting a piece first paints its whole
// rectangle, cut at the page edge, in the new page colour.
TEST(DeleteRecordAndPiece, RenumbersSelectsThePreviousAndOnlyThePieceClearsThePage) {
    Project project;
    std::vector<TextureRecord> records;
    for (int i = 1; i < 8; ++i) records.push_back(MakeRecord(i, 0, 1, 1, 0));
    records.push_back(MakeRecord(10, 20, 30, 5, 1));
    records.push_back(MakeRecord(250, 250, 20, 20, 1));
    Fill(project, 2, records);
    project.newPageColour = kLime;
    EXPECT_TRUE(DeleteRecord(project, 4).IsDone());  // Texture 5 of 10
    ASSERT_EQ(project.RecordCount(), 9);
    EXPECT_EQ(project.records[4].X, 5);
    EXPECT_EQ(project.selectedTexture, 3);  // Texture 4
    EXPECT_EQ(Page(project, 0), PatternImage(256, 256, 0));

    EXPECT_TRUE(DeletePiece(project, 7).IsDone());
    Image expected = PatternImage(256, 256, 1);
    expected.FillRect(10, 20, 30, 5, kLime);
    EXPECT_EQ(Page(project, 1), expected);
    EXPECT_EQ(std::pair(project.RecordCount(), project.selectedTexture), std::pair(8, 6));
    EXPECT_TRUE(DeletePiece(project, 7).IsDone());
    EXPECT_EQ(Page(project, 1).PixelAt(255, 255), kLime);
}

// Every operation checks the page or texture it is given itself, with the text a script is
// told (the editor keeps quiet about some), and changes nothing.
TEST(Refusals, ABadNumberOrTheFirstTextureIsRefusedWithItsText) {
    Project project;
    Fill(project, 2, {MakeRecord(0, 0, 8, 8, 0), MakeRecord(0, 0, 8, 8, 6)});
    const auto gone = [](const std::string& what) {
        return what + " does not exist (the file has " +
               (what[0] == 'P' ? "2 pages)." : "3 textures).");
    };
    using Op = std::function<Outcome(Project&)>;
    const std::pair<Op, std::string> cases[] = {
        {[](Project& p) { return DeletePage(p, 2); }, gone("Page 3")},
        {[](Project& p) { return DeletePage(p, -1); }, gone("Page 0")},
        {[](Project& p) { return AddRecordsFromGrid(p, 5, 64, 64); }, gone("Page 6")},
        {[](Project& p) { return ImportPage(p, 2, "/nonexistent.png"); }, gone("Page 3")},
        {[](Project& p) { return ExportPage(p, 2, "/nonexistent/p.png"); }, gone("Page 3")},
        {[](Project& p) { return DeleteRecord(p, 3); }, gone("Texture 4")},
        {[](Project& p) { return DeletePiece(p, -1); }, gone("Texture 0")},
        {[](Project& p) { return ImportPiece(p, 7, "/nonexistent.png"); }, gone("Texture 8")},
        {[](Project& p) { return ExportPiece(p, 3, "/nonexistent/t.png"); }, gone("Texture 4")},
        // A command line's number INT_MIN arrives as index INT_MAX and is told as typed.
        {[](Project& p) { return DeletePage(p, INT32_MAX); }, gone("Page -2147483648")},
        {[](Project& p) { return DeleteRecord(p, 0); }, "Texture 1 should not be deleted..."},
        {[](Project& p) { return DeletePiece(p, 0); }, "Texture 1 should not be deleted..."},
        {[](Project& p) { return DeletePiece(p, 2); }, "The page of texture 3 does not exist."},
        {[](Project& p) { return ImportPiece(p, 2, "/nonexistent.png"); },
         "You need to add 5 more pages before texture 3 is selectable"},
        {[](Project& p) { return EditTextureRecord(p, 0, FieldsOfRecord(p.records[1])); },
         "Texture 1 should not be edited..."},
        {[](Project& p) { return CheckRecordEditable(p, -1); },
         "Texture 0 should not be edited..."},
        // A cell of no size would never end.
        {[](Project& p) { return AddRecordsFromGrid(p, 0, 0, 64); },
         "The grid cells must be at least 1 pixel."},
        {[](Project& p) { return AddNewPages(p, {.count = 11, .imagePath = ""}); },
         "How Many? must be a whole number from 1 to 10."},
    };
    const std::vector<TextureRecord> records = project.records;
    for (const auto& [op, message] : cases) {
        const Outcome refused = op(project);
        EXPECT_EQ(refused.kind, Outcome::Kind::Refused) << message;
        EXPECT_EQ(refused.message, message);
        EXPECT_EQ(refused.subject, project.filePath);
        EXPECT_FALSE(refused.changed);
    }
    EXPECT_EQ(project.PageCount(), 2);
    EXPECT_TRUE(project.records == records);
    EXPECT_EQ(Page(project, 1), PatternImage(256, 256, 1));
}

}  // namespace
}  // namespace pelmora
