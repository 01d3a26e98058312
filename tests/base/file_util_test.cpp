#include "base/file_util.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "test_support.h"

namespace pelmora {
namespace {

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

bool Write(const std::string& path, const std::string& bytes, std::string* error = nullptr) {
    std::string ignored;
    return WriteFileAtomically(path, bytes, error ? error : &ignored);
}

class AtomicFileWriterTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
        const std::string path = dir.File(name);
        test::WriteFile(path, bytes);
        ::chmod(path.c_str(), mode);
        return path;
    }
    test::TempDir dir;
};

TEST_F(AtomicFileWriterTest, SymlinksAndHardLinksStayWhatTheyAre) {
    const std::string real = Make("real.wad", "old"), link = dir.File("link.wad");
    ASSERT_EQ(::symlink("real.wad", link.c_str()), 0);
    ASSERT_TRUE(Write(link, "new"));
    EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode));
    EXPECT_EQ(test::ReadFile(real), "new");

    // A dangling link gets its file made.
    const std::string dangling = dir.File("dangling.wad");
    ASSERT_EQ(::symlink("made.wad", dangling.c_str()), 0);
    ASSERT_TRUE(Write(dangling, "made"));
    EXPECT_EQ(test::ReadFile(dir.File("made.wad")), "made");

    const std::string second = dir.File("second.wad");
    ASSERT_EQ(::link(real.c_str(), second.c_str()), 0);
    const ino_t inode = StatOf(real).st_ino;
    ASSERT_TRUE(Write(real, "much longer than before"));
    ASSERT_TRUE(Write(real, "short"));
    EXPECT_EQ(std::pair(StatOf(real).st_ino, StatOf(real).st_nlink), std::pair(inode, nlink_t{2}));
    EXPECT_EQ(test::ReadFile(second), "short");
    EXPECT_EQ(test::Entries(dir.Path()), 5u);
}

TEST_F(AtomicFileWriterTest, AFileTheUserMayNotWriteIsRefusedAndSetUidNeverSurvives) {
    // Root may write anything, so for root a file without write bits is the one refused.
    const std::string locked = Make("locked.wad", "old", 0444);
    std::string error;
    EXPECT_FALSE(Write(locked, "new", &error));
    EXPECT_EQ(error, "Cannot write \"" + locked + "\": Permission denied");
    EXPECT_EQ(test::ReadFile(locked), "old");
    EXPECT_EQ(test::Entries(dir.Path()), 1u);

    if (::geteuid() != 0) GTEST_SKIP() << "needs root to test as another user";
    // As another user, where a rename would go through: root's file is left alone; root's
    // set-uid file that anyone may write gets the content but is not swapped for theirs.
    const std::string theirs = Make("theirs.wad", "old"), tool = Make("tool", "old", 0666);
    ::chmod(tool.c_str(), 04666);
    ::chmod(dir.Path().c_str(), 0777);
    EXPECT_EQ(test::ExitCodeInChild(
                  [&] { return !Write(theirs, "new") && Write(tool, "new") ? 0 : 1; }, true),
              0);
    EXPECT_EQ(std::tuple(test::ReadFile(theirs), test::ReadFile(tool), StatOf(tool).st_uid,
                         StatOf(tool).st_mode & 06000),
              std::tuple("old", "new", 0u, 0u));
}

TEST_F(AtomicFileWriterTest, OwnerModeAndExtendedAttributesAreKept) {
    const std::string path = Make("level.wad", "old", 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    }
    const bool xattrs = ::setxattr(path.c_str(), "user.pelmora", "kept", 4, 0) == 0;
    // An access ACL that also lets user 4321 read: owner rw, user 4321 r, group r, mask r,
    // other none; each entry is a tag and permissions (16 bits each) and an id.
    const uint32_t entries[] = {2,   0x60001, ~0u, 0x40002, 4321, 0x40004,
                                ~0u, 0x40010, ~0u, 0x00020, ~0u};
    const std::string acl(reinterpret_cast<const char*>(entries), sizeof entries);
    const bool acls =
        ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const ino_t inode = StatOf(path).st_ino;
    ASSERT_TRUE(Write(path, "new"));
    const struct stat st = StatOf(path);
    EXPECT_NE(st.st_ino, inode) << "not replaced atomically";
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(1234u, 5678u));
    }
    if (acls) {
        std::string copied(acl.size(), '\0');
        EXPECT_EQ(::getxattr(path.c_str(), "system.posix_acl_access", copied.data(), copied.size()),
                  static_cast<ssize_t>(acl.size()));
        EXPECT_EQ(copied, acl);
    }
    if (!xattrs) GTEST_SKIP() << "no user extended attributes on this file system";
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.pelmora", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
}

TEST_F(AtomicFileWriterTest, FifosAndDevicesGetTheContentInPlace) {
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string error;
    EXPECT_FALSE(Write(fifo, "nobody reads", &error)) << "must not hang either";
    EXPECT_NE(error.find("No such device or address"), std::string::npos) << error;

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(Write(fifo, "through the pipe"));
    char got[64] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 16);
    EXPECT_STREQ(got, "through the pipe");
    // A reader leaving mid-save fails the save instead of ending the program by SIGPIPE.
    AtomicFileWriter writer(fifo);
    ASSERT_TRUE(writer.Open() && writer.Write(std::string(1 << 20, 'x'))) << writer.Error();
    ::close(reader);
    EXPECT_FALSE(writer.Commit());
    EXPECT_NE(writer.Error().find("Broken pipe"), std::string::npos) << writer.Error();
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
    EXPECT_EQ(test::Entries(dir.Path()), 1u);

    // A null device of the test's own: a fault here must not replace the system's /dev/null.
    const std::string null = dir.File("null");
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here";
    ASSERT_TRUE(Write(null, "gone"));
    EXPECT_TRUE(S_ISCHR(StatOf(null).st_mode));
    EXPECT_EQ(test::Entries(dir.Path()), 2u);
}

TEST_F(AtomicFileWriterTest, AFailedWriteLeavesTheOldFile) {
    // Both ways of saving: by rename, and into a file with another hard link.
    const std::string single = Make("single.wad", "old"), linked = Make("linked.wad", "old");
    ASSERT_EQ(::link(linked.c_str(), dir.File("other-name.wad").c_str()), 0);
    for (const std::string& path : {single, linked}) {
        EXPECT_TRUE(test::HoldsUnderSizeLimit(1000, [&] {
            std::string error;
            return !Write(path, std::string(5000, 'x'), &error) &&
                   error.find(path) != std::string::npos;
        })) << path;
        EXPECT_EQ(test::ReadFile(path), "old");
    }
    EXPECT_EQ(test::Entries(dir.Path()), 3u);
}

}  // namespace
}  // namespace pelmora
