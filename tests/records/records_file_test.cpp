#include "records/records_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

namespace pelmora {
namespace {

// The header as a reader of the file sees it, typed out independently of the writer.
const std::string kHeader =
    "#Pelmora Texture Records File\r\n"
    "\r\n"
    "If you edit these by hand here is the texture format to follow...\r\n"
    "\r\n"
    "[Texture#]\r\n"
    "X(0 - 255)\r\n"
    "Y(0 - 255)\r\n"
    "Width(1 - 256)\r\n"
    "Height(1 - 256)\r\n"
    "FlipX(-1 or 0)\r\n"
    "FlipY(-1 or 0)\r\n"
    "Page(1 and up)\r\n"
    "\r\n"
    "If you edit the textures by hand make sure the amount of textures is correct...\r\n"
    "[Amount_Of_Textures]\r\n";
const std::string kComment =
    "\r\nYou can edit the textures starting from [Texture2], don't edit or remove [Texture1], "
    "you can remove textures by deleting the texture block, and changing the amount of "
    "textures up top to the correct value...\r\n";

std::string Block(int k, int x, int y, int w, int h, int fx, int fy, int page) {
    return "[Texture" + std::to_string(k) + "]\r\n" + std::to_string(x) + "\r\n" +
           std::to_string(y) + "\r\n" + std::to_string(w) + "\r\n" + std::to_string(h) + "\r\n" +
           std::to_string(fx) + "\r\n" + std::to_string(fy) + "\r\n" + std::to_string(page) +
           "\r\n\r\n";
}

std::string FileWith(const std::string& count, const std::string& blocks) {
    return kHeader + count + "\r\n" + kComment + blocks;
}

const std::vector<TextureRecord> kThree = {TextureRecord{}, MakeRecord(16, 32, 64, 128, 0),
                                           MakeRecord(255, 0, 256, 1, 2, 0, -1)};

class RecordsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        project.filePath = dir.File("level.wad");
        for (int i = 0; i < 3; ++i) project.AddBlankPage();
        project.records = kThree;
    }
    std::string Write(const std::string& name, const std::string& text) {
        test::WriteFile(dir.File(name), text);
        return dir.File(name);
    }

    test::TempDir dir;
    Project project;
};

TEST_F(RecordsFileTest, WritesHeaderAndNineLineBlocksByteForByte) {
    const std::string expected =
        FileWith("3", Block(1, 0, 0, 1, 1, 0, 0, 1) + Block(2, 16, 32, 64, 128, -1, -1, 1) +
                          Block(3, 255, 0, 256, 1, 0, -1, 3));
    EXPECT_EQ(RecordsFileText(kThree), expected);
    EXPECT_EQ(RecordsFileText({}), FileWith("0", ""));

    ASSERT_TRUE(ExportRecords(project, dir.File("out.rec")).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("out.rec")), expected);
}

TEST_F(RecordsFileTest, ExportThatCannotWriteNamesTheFileAndLeavesTheOldOne) {
    const std::string path = Write("keep.rec", "old");
    Project empty;
    EXPECT_TRUE(ExportRecords(empty, path).IsDone());  // nothing to write: nothing happens
    const Outcome failed = ExportRecords(project, dir.File("missing/out.rec"));
    EXPECT_FALSE(failed.IsDone());
    EXPECT_NE(failed.message.find("missing/out.rec"), std::string::npos) << failed.message;
    EXPECT_EQ(test::ReadFile(path), "old");
}

// A negative shift counts as none; the page field wraps at 16 bits.
TEST_F(RecordsFileTest, AppendSkipsTheFirstBlockAndShiftsPages) {
    const std::string path = Write("three.rec", RecordsFileText(kThree));
    const struct {
        int shift, firstPage, secondPage;
    } cases[] = {{0, 0, 2}, {2, 2, 4}, {-5, 0, 2}, {65535, 65535, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shift);
        project.records = kThree;
        project.selectedTexture = 2;
        ASSERT_TRUE(ImportRecords(project, path, RecordsImportMode::Append, c.shift).IsDone());
        ASSERT_EQ(project.RecordCount(), 5);
        TextureRecord first = kThree[1], second = kThree[2];
        first.Page = static_cast<uint16_t>(c.firstPage);
        second.Page = static_cast<uint16_t>(c.secondPage);
        EXPECT_EQ(project.records[3], first);
        EXPECT_EQ(project.records[4], second);
        EXPECT_EQ(project.selectedTexture, 0);
    }
}

// The first line is compared without case but whole, line 15 exactly; a file that fails
// either must not cost the project its records, in either mode.
TEST_F(RecordsFileTest, FilesFailingTheHeaderChecksChangeNothing) {
    std::string upper = RecordsFileText(kThree), blank = upper, lower = upper;
    upper.replace(0, 29, "#PELMORA texture RECORDS file");
    EXPECT_TRUE(CheckRecordsFile(Write("upper.rec", upper)).IsDone());
    EXPECT_EQ(CheckRecordsFile(Write("empty.rec", "")).message, kNotARecordsFileMessage);
    EXPECT_FALSE(CheckRecordsFile(dir.File("none.rec")).IsDone());

    blank.insert(29, " ");
    EXPECT_EQ(CheckRecordsFile(Write("blank.rec", blank)).message, kNotARecordsFileMessage);
    lower.replace(lower.find("[Amount_Of_Textures]"), 20, "[amount_of_textures]");
    Write("lower.rec", lower);
    project.records.pop_back();
    const auto before = project.records;
    for (const auto mode : {RecordsImportMode::Overwrite, RecordsImportMode::Append}) {
        Outcome result = ImportRecords(project, dir.File("blank.rec"), mode, 0);
        EXPECT_FALSE(result.IsDone());
        EXPECT_FALSE(result.changed);
        EXPECT_EQ(result.message, "This is not at Pelmora Texture Records File...");
        result = ImportRecords(project, dir.File("lower.rec"), mode, 0);
        EXPECT_FALSE(result.IsDone());
        EXPECT_FALSE(result.changed);
        EXPECT_NE(result.message.find("[Amount_Of_Textures]"), std::string::npos);
        EXPECT_EQ(project.records, before);
    }
}

// A FIFO without a writer would block in open; a pipe may never end.
TEST_F(RecordsFileTest, PipesAndFifosAreRefusedAtOnceNamingTheFile) {
    const std::string fifo = dir.File("fifo.rec");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text = RecordsFileText(kThree);
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    const std::string pipe = "/dev/fd/" + std::to_string(ends[0]);
    for (const std::string& path : {fifo, pipe}) {
        const std::string refusal =
            "Cannot open \"" + path + "\": not a regular file (a pipe, FIFO or device)";
        EXPECT_EQ(CheckRecordsFile(path).message, refusal);
        const Outcome result = ImportRecords(project, path, RecordsImportMode::Append, 0);
        EXPECT_EQ(result.message, refusal);
        EXPECT_FALSE(result.changed);
    }
    EXPECT_EQ(project.records, kThree);
    ::close(ends[0]);
    ::close(ends[1]);
}

TEST(ParseRecordsFileTest, NumbersAreReadLikeAtoi) {
    auto parse = [](const std::string& count, const std::string& blocks) {
        return ParseRecordsFile(FileWith(count, blocks));
    };
    const std::string two = Block(1, 0, 0, 1, 1, 0, 0, 1) + Block(2, 1, 2, 3, 4, 0, 0, 1) +
                            Block(3, 5, 5, 5, 5, 0, 0, 1);
    EXPECT_EQ(parse("3 words", two).records.size(), 3u);
    EXPECT_EQ(parse(" \t+2", two).records.size(), 2u);
    EXPECT_EQ(parse("x3", two).announced, 0);
    EXPECT_TRUE(parse("x3", two).records.empty());
    EXPECT_EQ(parse("-4", two).announced, -4);
    EXPECT_TRUE(parse("-4", two).records.empty());
    EXPECT_EQ(parse("99999999999", "").announced, 1215752191);  // strtol's value cut to int

    // Values keep their low bits without a range test.
    const auto odd = parse("1", "[Texture9]\r\n 300x\r\n-1\r\n0\r\n256\r\n1\r\nabc\r\n0\r\n\r\n");
    ASSERT_EQ(odd.records.size(), 1u);
    const TextureRecord& r = odd.records[0];
    EXPECT_EQ(r.X, 44);  // 300 & 0xFF
    EXPECT_EQ(r.Y, 255);
    EXPECT_EQ(r.StoredWidth, 255);  // width 0 wraps round
    EXPECT_EQ(r.StoredHeight, 255);
    EXPECT_EQ(r.FlipX, 1);  // a hand-typed 1 is kept and written back as 1
    EXPECT_EQ(r.FlipY, 0);
    EXPECT_EQ(r.Page, 65535);  // page 0
    EXPECT_NE(RecordsFileText(odd.records).find("\r\n1\r\n0\r\n65536\r\n"), std::string::npos);
}

TEST(ParseRecordsFileTest, LfOnlyFilesReadTheSame) {
    std::string crlf = RecordsFileText(kThree), lf;
    for (const char c : crlf)
        if (c != '\r') lf += c;
    const auto contents = ParseRecordsFile(lf);
    EXPECT_EQ(contents.status, RecordsFileContents::Status::Ok);
    EXPECT_EQ(contents.records, kThree);
}

TEST(ParseRecordsFileTest, AnnouncedBlocksBeyondTheFileAreNotInvented) {
    // A block deleted by hand without lowering the count: the file ends after two blocks.
    const std::string two = Block(1, 0, 0, 1, 1, 0, 0, 1) + Block(2, 1, 2, 3, 4, -1, -1, 2);
    auto contents = ParseRecordsFile(FileWith("3", two));
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[1], MakeRecord(1, 2, 3, 4, 1));

    // A block cut short reads its missing lines as 0.
    contents = ParseRecordsFile(FileWith("3", two + "[Texture3]\r\n7\r\n"));
    ASSERT_EQ(contents.records.size(), 3u);
    EXPECT_EQ(contents.records[2].X, 7);
    EXPECT_EQ(contents.records[2].StoredWidth, 255);
    EXPECT_EQ(contents.records[2].Page, 65535);

    // Extra blocks behind the announced ones are ignored.
    EXPECT_EQ(ParseRecordsFile(FileWith("1", two)).records.size(), 1u);

    contents = ParseRecordsFile(FileWith("2000000000", two));
    EXPECT_EQ(contents.announced, 2000000000);
    EXPECT_EQ(contents.records.size(), 2u);
}

TEST_F(RecordsFileTest, OverwriteReplacesTheRecordsOnlyWithRecordsToTakeTheirPlace) {
    const std::string path = Write("three.rec", RecordsFileText(kThree));
    project.records = {TextureRecord{}, MakeRecord(1, 1, 1, 1, 0)};
    project.selectedTexture = 1;
    const Outcome result = ImportRecords(project, path, RecordsImportMode::Overwrite, 0);
    EXPECT_TRUE(result.IsDone()) << result.message;
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(project.records, kThree);
    EXPECT_EQ(project.selectedTexture, 0);
    EXPECT_EQ(project.selectedPage, 0);

    // A file without any record keeps the project's; appending nothing is harmless.
    const std::string none = Write("none.rec", FileWith("0", ""));
    EXPECT_FALSE(ImportRecords(project, none, RecordsImportMode::Overwrite, 0).IsDone());
    EXPECT_EQ(project.records, kThree);
    EXPECT_TRUE(ImportRecords(project, none, RecordsImportMode::Append, 0).IsDone());
    EXPECT_EQ(project.records, kThree);

    // Record 1 on a missing page is imported, but cannot be shown.
    const std::string far = Write("far.rec", FileWith("1", Block(1, 0, 0, 8, 8, 0, 0, 5)));
    const Outcome farResult = ImportRecords(project, far, RecordsImportMode::Overwrite, 0);
    EXPECT_FALSE(farResult.IsDone());
    EXPECT_TRUE(farResult.changed);
    EXPECT_EQ(farResult.message, "You need to add 2 more pages before texture 1 is selectable");
    EXPECT_EQ(project.RecordCount(), 1);
}

}  // namespace
}  // namespace pelmora
