#include "base/project.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/paths.h"
#include "test_support.h"

namespace pelmora {
namespace {

TEST(Paths, NamesAndExtensions) {
    EXPECT_EQ(WithExtension("maps/level.wad", "plm"), "maps/level.plm");
    EXPECT_EQ(NumberedName("maps/level.wad", 2, "plm"), "maps/level2.plm");
    EXPECT_EQ(WithExtension("maps/level", "plm"), "maps/level.plm");
    EXPECT_EQ(WithExtension("my.maps/level", "plm"), "my.maps/level.plm");
    EXPECT_EQ(ExtensionOf("a/b.c/level.WAD"), ".WAD");
    EXPECT_EQ(ExtensionOf("a/b.c/level"), "");
    EXPECT_EQ(FileNameOf("/x/y/level.wad"), "level.wad");
    EXPECT_EQ(DirectoryOf("/x/y/level.wad"), "/x/y/");
    const std::string here = DirectoryOf("");
    EXPECT_EQ(here.back(), '/');
    EXPECT_EQ(DirectoryOf("level.wad"), here);
}

TEST(Project, NewMakesOneBlankPageAndTheReservedRecordAndCloseRemovesTheTemporaryFiles) {
    Project project;
    project.newPageColour = MakeColour(10, 20, 30);
    NewProject(project, "/some/where/level.plm");
    EXPECT_EQ(project.records, std::vector<TextureRecord>{TextureRecord{}});
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(*project.pages.GetBitmap(0), Image(256, 256, MakeColour(10, 20, 30)));
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [level.plm] wad version PELM");

    project.version = 130;
    const std::string rest = project.restOfFilePath;
    CloseProject(project);
    EXPECT_FALSE(project.IsOpen());
    EXPECT_EQ(project.version, 130u);  // kept
    EXPECT_EQ(project.PageCount() + project.RecordCount(), 0);
    EXPECT_FALSE(FileExists(rest));
}

TEST(Project, SelectingATextureCutsItsPieceOrSaysWhichPagesAreMissing) {
    Project project;
    NewProject(project, "/tmp/x.plm");
    project.pages.ReplaceBitmapHandle(0, test::PatternImage(256, 256, 1));
    project.records.push_back(MakeRecord(250, 10, 20, 5, 0));  // runs off the right edge
    project.records.push_back(MakeRecord(0, 0, 4, 4, 3));
    std::optional<Image> piece;
    ASSERT_TRUE(SelectTexture(project, 1, &piece).IsDone());
    ASSERT_TRUE(piece);
    EXPECT_EQ(piece->Width(), 6);
    EXPECT_EQ(piece->Height(), 5);
    EXPECT_EQ(piece->PixelAt(0, 0), test::PatternImage(256, 256, 1).PixelAt(250, 10));
    const Outcome missing = SelectTexture(project, 2, &piece);
    EXPECT_FALSE(missing.IsDone());
    EXPECT_EQ(missing.message, "You need to add 3 more pages before texture 3 is selectable");
    EXPECT_EQ(piece->Width(), 6);  // the last cut-out stays
}

}  // namespace
}  // namespace pelmora
