#include "base/project.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/paths.h"
#include "test_support.h"

namespace pelmora {

TEST(Paths, NamesAndExtensions) {
    const std::string here = DirectoryOf("");
    EXPECT_EQ(here.back(), '/');
    EXPECT_EQ(
        (std::vector{WithExtension("maps/level.wad", "plm"),
                     NumberedName("maps/level.wad", 2, "plm"), WithExtension("maps/level", "plm"),
                     WithExtension("my.maps/level", "plm"), ExtensionOf("a/b.c/level.WAD"),
                     ExtensionOf("a/b.c/level"), FileNameOf("/x/y/level.wad"),
                     DirectoryOf("/x/y/level.wad"), DirectoryOf("level.wad")}),
        (std::vector<std::string>{"maps/level.plm", "maps/level2.plm", "maps/level.plm",
                                  "my.maps/level.plm", ".WAD", "", "level.wad", "/x/y/", here}));
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
    // The version is kept.
    EXPECT_EQ(std::tuple(project.IsOpen(), project.version,
                         project.PageCount() + project.RecordCount(), FileExists(rest)),
              std::tuple(false, 130u, 0, false));
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
    EXPECT_EQ(std::tuple(piece->Width(), piece->Height(), piece->PixelAt(0, 0)),
              std::tuple(6, 5, test::PatternImage(256, 256, 1).PixelAt(250, 10)));
    const Outcome missing = SelectTexture(project, 2, &piece);
    EXPECT_FALSE(missing.IsDone());
    EXPECT_EQ(missing.message, "You need to add 3 more pages before texture 3 is selectable");
    EXPECT_EQ(piece->Width(), 6);  // the last cut-out stays
}

}  // namespace pelmora
