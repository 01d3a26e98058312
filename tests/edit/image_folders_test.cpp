#include "edit/image_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

namespace pelmora {
namespace {

TEST(ExpandImageFolders, NestedFoldersByExtensionInNaturalOrderPassingOverTheRest) {
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
}

TEST(ExpandImageFolders, AFolderThatCannotBeReadIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    test::TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("closed").c_str(), 0), 0);
    const ImageFileList list = ExpandImageFolders({dir.File("closed")});
    EXPECT_TRUE(list.files.empty());
    ASSERT_EQ(list.unreadable.size(), 1u);
    EXPECT_NE(list.unreadable[0].find(dir.File("closed")), std::string::npos);
    ::chmod(dir.File("closed").c_str(), 0755);
}

}  // namespace
}  // namespace pelmora
