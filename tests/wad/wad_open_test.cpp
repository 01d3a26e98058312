#include "wad/wad_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_util.h"
#include "wad_test_support.h"

namespace pelmora {
namespace {

using test::FileOf;
using test::PatternPage;
using test::WadBytes;
using OpenTextureFileTest = test::FileInFolderTest;

TEST_F(OpenTextureFileTest, ReadsRecordsPagesAndKeepsTheRest) {
    const WadBytes wad{.version = 130,
                       .records = {TextureRecord{}, MakeRecord(1, 2, 3, 4, 1),
                                   MakeRecord(0, 0, 256, 256, 0, 0, -1)},
                       .pages = {PatternPage(1), PatternPage(2)},
                       .rest = "meshes and animations\0\1\2"};
    ASSERT_TRUE(Open("level.wad", wad.Build()).IsDone());
    EXPECT_EQ(project.version, 130u);
    EXPECT_EQ(project.records, wad.records);
    ASSERT_EQ(project.PageCount(), 2);
    EXPECT_EQ(project.pagesInFile, 2);
    EXPECT_EQ(project.pages.GetBitmap(1)->PackedRgb(), PatternPage(2));
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), wad.rest);

    // The magic decides the kind, not the extension.
    std::string file = FileOf({TextureRecord{}}, {PatternPage(0)});
    ASSERT_TRUE(Open("x.plm", file).IsDone());
    EXPECT_EQ(project.version, 129u);
    ASSERT_TRUE(Open("y.wad", file.replace(0, 4, "PELM")).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    // A dropped file is taken by its extension, in any case.
    for (const char* yes : {"/x/LEVEL.WAD", "a.Plm"}) EXPECT_TRUE(HasWadExtension(yes)) << yes;
    for (const char* no : {"level.txt", "wad"}) EXPECT_FALSE(HasWadExtension(no)) << no;
}

TEST_F(OpenTextureFileTest, MissingRecordsOrPagesMakeATextureOnlyProject) {
    project.newPageColour = MakeColour(1, 2, 3);
    ASSERT_TRUE(Open("a.wad", FileOf({}, {PatternPage(1), PatternPage(2)})).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.records, std::vector<TextureRecord>{TextureRecord{}});
    EXPECT_EQ(project.PageCount(), 2);

    ASSERT_TRUE(Open("b.wad", FileOf({TextureRecord{}, MakeRecord(5, 5, 5, 5, 0)}, {})).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.RecordCount(), 2);
    EXPECT_EQ(project.pagesInFile, 1);
    EXPECT_EQ(test::Page(project, 0), Image(256, 256, MakeColour(1, 2, 3)));

    // Four bytes holding 129: no count, no size, nothing behind.
    ASSERT_TRUE(Open("c.wad", std::string("\x81\0\0\0", 4)).IsDone());
    EXPECT_EQ(project.RecordCount() + project.PageCount(), 2);
    EXPECT_EQ(FileSize(project.restOfFilePath), 0);
}

// Pattern pixels are (x, y, seed), so this also pins the byte order: red first.
TEST_F(OpenTextureFileTest, PartialPagesAreWhiteWhereBytesAreMissingOrBelongToTheRest) {
    const std::string bytes = FileOf({TextureRecord{}}, {PatternPage(1), PatternPage(2)});
    ASSERT_TRUE(Open("a.wad", bytes.substr(0, bytes.size() - kPageBytes / 2)).IsDone());
    ASSERT_EQ(project.PageCount(), 2);
    const Image second = test::Page(project, 1);
    EXPECT_EQ(std::vector({second.PixelAt(255, 127), second.PixelAt(0, 128)}),
              std::vector({MakeColour(255, 127, 2), MakeColour(255, 255, 255)}));

    // Claim 200,000 bytes of page data: one page, the other 3,392 bytes are the rest's.
    std::string one = FileOf({TextureRecord{}}, {PatternPage(7)});
    one.replace(16, 4, std::string("\x40\x0d\x03\0", 4));
    const std::string tail(3392 + 10, 'r');
    ASSERT_TRUE(Open("b.wad", one + tail).IsDone());
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), tail);
}

// A file this large is read on several threads; every page must still land in its place.
TEST_F(OpenTextureFileTest, ALargeFileReadsEveryPageInItsPlace) {
    std::vector<std::vector<uint8_t>> pages;
    for (int i = 0; i < 120; ++i) pages.push_back(PatternPage(static_cast<uint8_t>(i)));
    ASSERT_TRUE(Open("big.wad", FileOf({TextureRecord{}}, pages)).IsDone());
    ASSERT_EQ(project.PageCount(), 120);
    for (int i = 0; i < 120; ++i) ASSERT_EQ(test::Page(project, i).PackedRgb(), pages[i]) << i;
}

// Counts come from the file and are not trusted beyond what it holds.
TEST_F(OpenTextureFileTest, HugeCountsAreBoundedByTheFileSize) {
    std::string bytes("\x81\0\0\0\xff\xff\xff\x7f", 8);  // N = 2,147,483,647
    bytes += std::string(92, '\x01');
    ASSERT_TRUE(Open("records.wad", bytes).IsDone());
    ASSERT_EQ(project.RecordCount(), 12);  // 11 whole records and one zero-filled at the end
    const uint8_t last[8] = {1, 1, 1, 1, 0, 0, 0, 0};  // the 92nd byte, then zeros
    EXPECT_EQ(project.records[11], TextureRecord::FromBytes(last));
    EXPECT_EQ(project.PageCount(), 1);  // the blank page of a project without pages

    std::string paged = FileOf({TextureRecord{}}, {PatternPage(1)});
    paged.replace(16, 4, "\xff\xff\xff\x7f");  // S = 2,147,483,647: 10,922 pages claimed
    ASSERT_TRUE(Open("pages.wad", paged).IsDone());
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(project.pages.GetBitmap(0)->PackedRgb(), PatternPage(1));
    paged[19] = '\xff';  // negative size: no pages
    ASSERT_TRUE(Open("negative.wad", paged).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
}

// A wrong version closes the project but keeps what was shown; a file that cannot be read
// changes nothing.
TEST_F(OpenTextureFileTest, UnreadableFilesAreRefused) {
    NewProject(project, dir.File("new.plm"));
    EXPECT_NE(OpenTextureFile(project, dir.File("gone.wad")).message.find("gone.wad"),
              std::string::npos);
    EXPECT_FALSE(OpenTextureFile(project, dir.Path()).IsDone());  // a folder is no file
    EXPECT_EQ(project.filePath, dir.File("new.plm"));

    EXPECT_EQ(Open("bad.wad", std::string("\x80\0\0\0\0\0\0\0", 8)).message, kNotAWadMessage);
    EXPECT_FALSE(project.IsOpen());
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_FALSE(Open("tiny.wad", "\x81").IsDone());
}

// Nothing that is not a regular file is read: a FIFO without a writer would block in open,
// and a pipe reports a size of 0, which made a WAD look texture-only.
TEST_F(OpenTextureFileTest, PipesAndFifosAreRefusedAtOnceNamingTheFile) {
    const std::string fifo = dir.File("fifo.wad"), wad = FileOf({TextureRecord{}}, {});
    int ends[2];
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600) | ::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], wad.data(), wad.size()), static_cast<ssize_t>(wad.size()));
    NewProject(project, dir.File("new.plm"));
    for (const std::string& path : {fifo, "/dev/fd/" + std::to_string(ends[0])}) {
        for (const bool import : {false, true}) {
            EXPECT_EQ((import ? ImportTextureFile(project, path) : OpenTextureFile(project, path))
                          .message,
                      "Cannot open \"" + path + "\": not a regular file (a pipe, FIFO or device)");
            EXPECT_EQ(project.filePath, dir.File("new.plm"));
            EXPECT_EQ(project.RecordCount(), 1);
        }
    }
    ::close(ends[0]), ::close(ends[1]);
}

// A sparse file can hold two billion records; reading them would need 16 GiB.
TEST_F(OpenTextureFileTest, RecordsBeyondHalfTheMemoryAreRefused) {
    const long long memory = ::sysconf(_SC_PHYS_PAGES) * ::sysconf(_SC_PAGESIZE);
    if (memory >= 32LL << 30) GTEST_SKIP() << "this machine could hold the records";
    const std::string path = dir.File("huge.wad");
    test::WriteSparseFile(path, std::string("\x81\0\0\0\xff\xff\xff\x7f", 8), 17LL << 30);
    EXPECT_EQ(OpenTextureFile(project, path).message,
              "Cannot read \"" + path + "\": there is not enough memory for its records.");
    EXPECT_FALSE(project.IsOpen());
}

// A project opened only to be read needs no copy of the rest, and so no temporary folder;
// one that cannot keep its rest must never be saved without it.
TEST(OpenTextureFileRest, ReadingOnlyCountsTheRestAndAMissingCopyBlocksSaving) {
    test::TempDir dir;
    const std::string path = dir.File("big.wad");
    const std::string head = FileOf({TextureRecord{}, MakeRecord(1, 1, 8, 8, 0)}, {PatternPage(3)});
    test::WriteSparseFile(path, head, static_cast<long long>(head.size()) + (1LL << 30));
    const test::ScopedTempFolder readOnly("/proc");  // nobody, not even root, writes there
    for (const RestOfFile rest : {RestOfFile::Skip, RestOfFile::Copy}) {
        Project project;  // made here, so that its temporary files go to /proc
        const Outcome result = OpenTextureFile(project, path, rest);
        if (rest == RestOfFile::Skip) {
            ASSERT_TRUE(result.IsDone()) << result.message;
            EXPECT_EQ(project.restBytes, 1LL << 30);
            EXPECT_EQ(project.RecordCount(), 2);
        } else {  // the temporary file is what failed, not the file being opened
            EXPECT_EQ(result.message, "Cannot open \"/proc/PelXXXXXX\": No such file or directory");
        }
        EXPECT_FALSE(SaveProjectAs(project, dir.File("copy.wad")).IsDone());
        EXPECT_FALSE(FileExists(dir.File("copy.wad")));
    }
}

class ImportTextureFileTest : public test::FileInFolderTest {
protected:
    // A WAD project with three pages and a rest of its own.
    void SetUp() override {
        std::string first = FileOf({TextureRecord{}, Rec(0, 2)}, {Pat(1), Pat(2), Pat(3)});
        ASSERT_TRUE(Open("first.wad", first.replace(0, 1, "\x82") + "first rest").IsDone());
    }
    static TextureRecord Rec(int x, int page) { return MakeRecord(x, 0, 4, 4, page); }
    static std::vector<uint8_t> Pat(int seed) { return PatternPage(static_cast<uint8_t>(seed)); }
    Outcome Import(const std::string& name, const std::string& bytes) {
        test::WriteFile(dir.File(name), bytes);
        return ImportTextureFile(project, dir.File(name));
    }
};

TEST_F(ImportTextureFileTest, ShiftsImportedRecordsBehindTheProjectsPagesAndSavesTheMerge) {
    // A texture-only file goes into a WAD project; its own first record and rest stay behind.
    std::string second =
        FileOf({Rec(9, 9), Rec(1, 0), Rec(2, 1), Rec(3, 2)}, {Pat(4), Pat(5), Pat(6)});
    ASSERT_TRUE(Import("second.plm", second.replace(0, 4, "PELM") + "second rest").IsDone());
    const std::vector<TextureRecord> merged = {TextureRecord{}, Rec(0, 2), Rec(1, 3), Rec(2, 4),
                                               Rec(3, 5)};
    EXPECT_EQ(project.records, merged);
    EXPECT_EQ(project.selectedTexture, 4);
    EXPECT_EQ(project.version, 130u);
    ASSERT_TRUE(SaveProject(project).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("first.wad")),
              (WadBytes{.version = 130,
                        .records = merged,
                        .pages = {Pat(1), Pat(2), Pat(3), Pat(4), Pat(5), Pat(6)},
                        .rest = "first rest"}
                   .Build()));
}

TEST_F(ImportTextureFileTest, FilesWithOneOrNoRecordsAddOnlyPagesAndPagesWrapAtSixteenBits) {
    ASSERT_TRUE(Import("one.wad", FileOf({Rec(1, 0)}, {Pat(8)})).IsDone());
    ASSERT_TRUE(Import("none.wad", FileOf({}, {Pat(9), Pat(10)})).IsDone());
    EXPECT_EQ(project.RecordCount(), 2);
    ASSERT_EQ(project.PageCount(), 6);
    EXPECT_EQ(project.pages.GetBitmap(5)->PackedRgb(), Pat(10));

    ASSERT_TRUE(Import("far.wad", FileOf({TextureRecord{}, Rec(0, 65535)}, {})).IsDone());
    EXPECT_EQ(project.records.back().Page, 5);

    // Bad files leave the project alone.
    EXPECT_EQ(Import("bad.wad", std::string("\x07\0\0\0", 4)).message, kNotAWadMessage);
    EXPECT_FALSE(ImportTextureFile(project, dir.File("missing.wad")).IsDone());
    EXPECT_EQ(project.filePath, dir.File("first.wad"));
    EXPECT_EQ(project.RecordCount() + project.PageCount(), 9);

    Project closed;
    EXPECT_EQ(ImportTextureFile(closed, dir.File("first.wad")).message,
              "Use open to select your first wad...\nthen click import to load your second\n"
              "wad's textures into your first one...");
}

}  // namespace
}  // namespace pelmora
