#include "wad/wad_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "base/file_util.h"
#include "test_support.h"
#include "wad/wad_writer.h"
#include "wad_test_support.h"

namespace pelmora {
namespace {

using test::PatternPage;
using test::WadBytes;

// A version 129 file with these records and pages and nothing behind them.
std::string FileOf(std::vector<TextureRecord> records, std::vector<std::vector<uint8_t>> pages) {
    WadBytes wad;
    wad.records = std::move(records);
    wad.pages = std::move(pages);
    return wad.Build();
}

using OpenTextureFileTest = test::FileInFolderTest;

TEST_F(OpenTextureFileTest, ReadsRecordsPagesAndKeepsTheRest) {
    const WadBytes wad{.version = 130,
                       .records = {TextureRecord{}, MakeRecord(1, 2, 3, 4, 1),
                                   MakeRecord(0, 0, 256, 256, 0, 0, -1)},
                       .pages = {PatternPage(1), PatternPage(2)},
                       .rest = "meshes and animations\0\1\2"};
    const Outcome result = Open("level.wad", wad.Build());
    ASSERT_TRUE(result.IsDone()) << result.message;
    EXPECT_EQ(project.version, 130u);
    EXPECT_EQ(project.records, wad.records);
    ASSERT_EQ(project.PageCount(), 2);
    EXPECT_EQ(project.pagesInFile, 2);
    EXPECT_EQ(project.pages.GetBitmap(1)->PackedRgb(), PatternPage(2));
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), wad.rest);
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [level.wad] wad version 130");
    EXPECT_EQ(project.selectedTexture, 0);
    EXPECT_EQ(project.selectedPage, 0);
}

TEST_F(OpenTextureFileTest, TheMagicDecidesTheKindNotTheExtension) {
    WadBytes wad{.version = kPelmMagic,
                 .records = {TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)},
                 .pages = {PatternPage(0)},
                 .rest = ""};
    ASSERT_TRUE(Open("x.wad", wad.Build()).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell) - [x.wad] wad version PELM");
    wad.version = 129;
    ASSERT_TRUE(Open("y.plm", wad.Build()).IsDone());
    EXPECT_EQ(project.version, 129u);
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
    ASSERT_EQ(project.PageCount(), 1);
    EXPECT_EQ(project.pagesInFile, 1);
    EXPECT_EQ(*project.pages.GetBitmap(0), Image(256, 256, MakeColour(1, 2, 3)));

    // Four bytes holding 129: no count, no size, nothing behind.
    ASSERT_TRUE(Open("c.wad", std::string("\x81\0\0\0", 4)).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.RecordCount(), 1);
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(FileSize(project.restOfFilePath), 0);
}

TEST_F(OpenTextureFileTest, BytesAfterTheLastWholePageBelongToTheRest) {
    std::string bytes = FileOf({TextureRecord{}}, {PatternPage(7)});
    // Claim 200,000 bytes of page data: one page, the other 3,392 bytes are the rest's.
    const uint32_t size = 200000;
    for (int i = 0; i < 4; ++i) bytes[16 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    const std::string tail(3392 + 10, 'r');
    ASSERT_TRUE(Open("a.wad", bytes + tail).IsDone());
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), tail);
}

// Pattern pixels are (x, y, seed), so these also pin the byte order: red first.
TEST_F(OpenTextureFileTest, APageCutShortIsWhiteWhereBytesAreMissing) {
    const std::string bytes = FileOf({TextureRecord{}}, {PatternPage(1), PatternPage(2)});
    ASSERT_TRUE(Open("a.wad", bytes.substr(0, bytes.size() - kPageBytes / 2)).IsDone());
    ASSERT_EQ(project.PageCount(), 2);
    const Image second = *project.pages.GetBitmap(1);
    EXPECT_EQ(second.PixelAt(0, 0), MakeColour(0, 0, 2));
    EXPECT_EQ(second.PixelAt(255, 127), MakeColour(255, 127, 2));
    EXPECT_EQ(second.PixelAt(0, 128), MakeColour(255, 255, 255));
    EXPECT_EQ(second.PixelAt(255, 255), MakeColour(255, 255, 255));
}

// A file this large is read on several threads; every page must still land in its place.
TEST_F(OpenTextureFileTest, ALargeFileReadsEveryPageInItsPlace) {
    WadBytes wad;
    wad.records = {TextureRecord{}};
    wad.rest = "tail";
    for (int i = 0; i < 120; ++i) wad.pages.push_back(PatternPage(static_cast<uint8_t>(i)));
    ASSERT_TRUE(Open("big.wad", wad.Build()).IsDone());
    ASSERT_EQ(project.PageCount(), 120);
    for (int i = 0; i < 120; ++i) {
        ASSERT_EQ(project.pages.GetBitmap(i)->PackedRgb(), wad.pages[i]) << "page " << i;
    }
    EXPECT_EQ(test::ReadFile(project.restOfFilePath), "tail");
}

// Counts come from the file and are not trusted beyond what it holds.
TEST_F(OpenTextureFileTest, HugeCountsAreBoundedByTheFileSize) {
    std::string bytes("\x81\0\0\0\xff\xff\xff\x7f", 8);  // N = 2,147,483,647
    bytes += std::string(92, '\x01');
    ASSERT_TRUE(Open("records.wad", bytes).IsDone());
    EXPECT_EQ(project.RecordCount(), 12);  // 11 whole records and one zero-filled at the end
    EXPECT_EQ(
        project.records[11],
        TextureRecord::FromBytes(reinterpret_cast<const uint8_t*>("\x01\x01\x01\x01\0\0\0\0")));
    EXPECT_EQ(project.PageCount(), 1);  // the blank page of a project without pages

    std::string paged = FileOf({TextureRecord{}}, {PatternPage(1)});
    paged[16] = paged[17] = paged[18] = '\xff';
    paged[19] = '\x7f';  // S = 2,147,483,647: 10,922 pages claimed, one held
    ASSERT_TRUE(Open("pages.wad", paged).IsDone());
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_EQ(project.pages.GetBitmap(0)->PackedRgb(), PatternPage(1));

    paged[19] = '\xff';  // negative size: no pages
    ASSERT_TRUE(Open("negative.wad", paged).IsDone());
    EXPECT_TRUE(project.IsTextureOnly());
    EXPECT_EQ(project.PageCount(), 1);
}

TEST_F(OpenTextureFileTest, AWrongVersionClosesTheProjectButKeepsWhatWasShown) {
    NewProject(project, dir.File("new.plm"));
    const Outcome result = Open("bad.wad", std::string("\x80\0\0\0\0\0\0\0", 8));
    EXPECT_FALSE(result.IsDone());
    EXPECT_EQ(result.message,
              "This is not a Stonecrypt Wad file or wrong version or type of wad...");
    EXPECT_FALSE(project.IsOpen());
    EXPECT_EQ(ProjectTitle(project), "Pelmora v1.0.6.6 (by Brell)");
    EXPECT_EQ(project.PageCount(), 1);
    EXPECT_FALSE(Open("tiny.wad", "\x81").IsDone());
}

TEST_F(OpenTextureFileTest, AFileThatCannotBeOpenedChangesNothing) {
    NewProject(project, dir.File("new.plm"));
    const Outcome result = OpenTextureFile(project, dir.File("missing.wad"));
    EXPECT_FALSE(result.IsDone());
    EXPECT_NE(result.message.find("missing.wad"), std::string::npos);
    EXPECT_EQ(project.filePath, dir.File("new.plm"));
    EXPECT_FALSE(OpenTextureFile(project, dir.Path()).IsDone());  // a folder is no file
    EXPECT_EQ(project.filePath, dir.File("new.plm"));
}

// Nothing that is not a regular file is read: a FIFO without a writer would block in open,
// and a pipe reports a size of 0, which made a WAD look texture-only.
TEST_F(OpenTextureFileTest, PipesAndFifosAreRefusedAtOnceNamingTheFile) {
    const std::string fifo = dir.File("fifo.wad");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string wad = FileOf({TextureRecord{}}, {});
    ASSERT_EQ(::write(ends[1], wad.data(), wad.size()), static_cast<ssize_t>(wad.size()));
    const std::string pipe = "/dev/fd/" + std::to_string(ends[0]);
    NewProject(project, dir.File("new.plm"));
    for (const std::string& path : {fifo, pipe}) {
        for (const bool import : {false, true}) {
            const Outcome result =
                import ? ImportTextureFile(project, path) : OpenTextureFile(project, path);
            EXPECT_FALSE(result.IsDone());
            EXPECT_EQ(result.message,
                      "Cannot open \"" + path + "\": not a regular file (a pipe, FIFO or device)");
            EXPECT_EQ(project.filePath, dir.File("new.plm"));
            EXPECT_EQ(project.RecordCount(), 1);
        }
    }
    ::close(ends[0]);
    ::close(ends[1]);
}

// A sparse file can hold two billion records; reading them would need 16 GiB.
TEST(OpenTextureFileMemory, RecordsBeyondHalfTheMemoryAreRefused) {
    const long long memory = ::sysconf(_SC_PHYS_PAGES) * ::sysconf(_SC_PAGESIZE);
    if (memory >= 32LL << 30) GTEST_SKIP() << "this machine could hold the records";
    test::TempDir dir;
    const std::string path = dir.File("huge.wad");
    test::WriteSparseFile(path, std::string("\x81\0\0\0\xff\xff\xff\x7f", 8), 17LL << 30);
    Project project;
    const Outcome result = OpenTextureFile(project, path);
    EXPECT_FALSE(result.IsDone());
    EXPECT_EQ(result.message,
              "Cannot read \"" + path + "\": there is not enough memory for its records.");
    EXPECT_FALSE(project.IsOpen());
    EXPECT_EQ(FileSize(project.restOfFilePath), 0);
}

// A project opened only to be read needs no copy of the rest, and so no temporary folder;
// one that cannot keep its rest must never be saved without it.
TEST(OpenTextureFileRest, ReadingOnlyCountsTheRestAndAMissingCopyBlocksSaving) {
    test::TempDir dir;
    const std::string path = dir.File("big.wad");
    const std::string head = FileOf({TextureRecord{}, MakeRecord(1, 1, 8, 8, 0)}, {PatternPage(3)});
    test::WriteSparseFile(path, head, static_cast<long long>(head.size()) + (1LL << 30));
    // Nobody, not even root, can make a file in /proc.
    const test::ScopedTempFolder readOnly("/proc");
    for (const RestOfFile rest : {RestOfFile::Skip, RestOfFile::Copy}) {
        Project project;
        const Outcome result = OpenTextureFile(project, path, rest);
        if (rest == RestOfFile::Skip) {
            ASSERT_TRUE(result.IsDone()) << result.message;
            EXPECT_EQ(project.restBytes, 1LL << 30);
            EXPECT_EQ(project.RecordCount(), 2);
        } else {
            EXPECT_FALSE(result.IsDone());
            // The temporary file is what failed, not the file being opened.
            EXPECT_EQ(result.message, "Cannot open \"/proc/PelXXXXXX\": No such file or directory");
        }
        EXPECT_FALSE(SaveProjectAs(project, dir.File("copy.wad")).IsDone());
        EXPECT_FALSE(FileExists(dir.File("copy.wad")));
    }
}

TEST(HasWadExtension, IgnoresCase) {
    EXPECT_TRUE(HasWadExtension("/x/LEVEL.WAD"));
    EXPECT_TRUE(HasWadExtension("a.Plm"));
    EXPECT_FALSE(HasWadExtension("level.txt"));
    EXPECT_FALSE(HasWadExtension("wad"));
}

}  // namespace
}  // namespace pelmora
