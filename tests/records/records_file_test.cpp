#include "records/records_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support.h"

namespace pelmora {
namespace {

// The header as a reader of the file sees it, typed out independently of the writer.
const std::string kHeader =
    "#Pelmora Texture Records File\r\n\r\n"
    "If you edit these by hand here is the texture format to follow...\r\n\r\n"
    "[Texture#]\r\nX(0 - 255)\r\nY(0 - 255)\r\nWidth(1 - 256)\r\nHeight(1 - 256)\r\n"
    "FlipX(-1 or 0)\r\nFlipY(-1 or 0)\r\nPage(1 and up)\r\n\r\n"
    "If you edit the textures by hand make sure the amount of textures is correct...\r\n"
    "[Amount_Of_Textures]\r\n";
const std::string kComment =
    "\r\nYou can edit the textures starting from [Texture2], don't edit or remove [Texture1], "
    "you can remove textures by deleting the texture block, and changing the amount of "
    "textures up top to the correct value...\r\n";

// Block k: x, y, width, height, flip x, flip y, page.
std::string Block(int k, std::initializer_list<int> values) {
    std::string out = "[Texture" + std::to_string(k) + "]\r\n";
    for (const int value : values) out += std::to_string(value) + "\r\n";
    return out + "\r\n";
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
    Outcome Import(const std::string& path, RecordsImportMode mode, int shift = 0) {
        return ImportRecords(project, path, mode, shift);
    }

    test::TempDir dir;
    Project project;
};

TEST_F(RecordsFileTest, WritesHeaderAndNineLineBlocksByteForByteOrLeavesTheOldFile) {
    const std::string expected =
        FileWith("3", Block(1, {0, 0, 1, 1, 0, 0, 1}) + Block(2, {16, 32, 64, 128, -1, -1, 1}) +
                          Block(3, {255, 0, 256, 1, 0, -1, 3}));
    EXPECT_EQ(RecordsFileText({}), FileWith("0", ""));
    ASSERT_TRUE(ExportRecords(project, dir.File("out.rec")).IsDone());
    EXPECT_EQ(test::ReadFile(dir.File("out.rec")), expected);

    EXPECT_TRUE(ExportRecords(Project{}, dir.File("out.rec")).IsDone());  // nothing to write
    const Outcome failed = ExportRecords(project, dir.File("missing/out.rec"));
    EXPECT_NE(failed.message.find("missing/out.rec"), std::string::npos) << failed.message;
    EXPECT_EQ(test::ReadFile(dir.File("out.rec")), expected);
}

// Append: a negative shift counts as none; the page field wraps at 16 bits.
TEST_F(RecordsFileTest, AppendShiftsPagesAndOverwriteNeedsRecordsToTakeTheirPlace) {
    const std::string path = Write("three.rec", RecordsFileText(kThree));
    const struct {
        int shift, firstPage, secondPage;
    } cases[] = {{0, 0, 2}, {2, 2, 4}, {-5, 0, 2}, {65535, 65535, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shift);
        project.records = kThree;
        project.selectedTexture = 2;
        ASSERT_TRUE(Import(path, RecordsImportMode::Append, c.shift).IsDone());
        ASSERT_EQ(project.RecordCount(), 5);
        EXPECT_EQ(project.records[3].Page, c.firstPage);  // the file's second and third
        EXPECT_EQ(project.records[4].Page, c.secondPage);
        EXPECT_EQ(project.selectedTexture, 0);
    }

    project.records = {TextureRecord{}, MakeRecord(1, 1, 1, 1, 0)};
    project.selectedTexture = 1;
    const Outcome result = Import(path, RecordsImportMode::Overwrite);
    EXPECT_TRUE(result.IsDone() && result.changed) << result.message;
    EXPECT_EQ(project.records, kThree);
    EXPECT_EQ(project.selectedTexture, 0);

    // A file without any record keeps the project's; appending nothing is harmless.
    const std::string none = Write("none.rec", FileWith("0", ""));
    EXPECT_FALSE(Import(none, RecordsImportMode::Overwrite).IsDone());
    EXPECT_TRUE(Import(none, RecordsImportMode::Append).IsDone());
    EXPECT_EQ(project.records, kThree);

    // Record 1 on a missing page is imported, but cannot be shown.
    const std::string far = Write("far.rec", FileWith("1", Block(1, {0, 0, 8, 8, 0, 0, 5})));
    const Outcome farResult = Import(far, RecordsImportMode::Overwrite);
    EXPECT_TRUE(farResult.changed);
    EXPECT_EQ(farResult.message, "You need to add 2 more pages before texture 1 is selectable");
    EXPECT_EQ(project.RecordCount(), 1);
}

// The first line is compared without case but whole, line 15 exactly; a file that fails
// either, or is no regular file, must not cost the project its records, in either mode.
TEST_F(RecordsFileTest, FilesFailingTheChecksChangeNothing) {
    std::string upper = RecordsFileText(kThree), blank = upper, lower = upper;
    upper.replace(0, 29, "#PELMORA texture RECORDS file");
    EXPECT_TRUE(CheckRecordsFile(Write("upper.rec", upper)).IsDone());
    EXPECT_EQ(CheckRecordsFile(Write("empty.rec", "")).message, kNotARecordsFileMessage);
    EXPECT_FALSE(CheckRecordsFile(dir.File("none.rec")).IsDone());

    EXPECT_EQ(CheckRecordsFile(Write("blank.rec", blank.insert(29, " "))).message,
              kNotARecordsFileMessage);
    lower.replace(lower.find("[Amount_Of_Textures]"), 20, "[amount_of_textures]");
    Write("lower.rec", lower);
    project.records.pop_back();  // unlike the files' records
    for (const auto mode : {RecordsImportMode::Overwrite, RecordsImportMode::Append}) {
        Outcome result = Import(dir.File("blank.rec"), mode);
        EXPECT_FALSE(result.IsDone() || result.changed);
        EXPECT_EQ(result.message, "This is not at Pelmora Texture Records File...");
        result = Import(dir.File("lower.rec"), mode);
        EXPECT_FALSE(result.IsDone() || result.changed);
        EXPECT_NE(result.message.find("[Amount_Of_Textures]"), std::string::npos);
        EXPECT_EQ(project.RecordCount(), 2);
    }
    // A FIFO without a writer would block in open.
    const std::string fifo = dir.File("fifo.rec"),
                      refusal = "Cannot open \"" + fifo +
                                "\": not a regular file (a pipe, FIFO or device)";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(CheckRecordsFile(fifo).message + Import(fifo, RecordsImportMode::Append).message,
              refusal + refusal);
}

TEST(ParseRecordsFileTest, NumbersAreReadLikeAtoiAndBlocksAreNeverInvented) {
    const std::string two = Block(1, {0, 0, 1, 1, 0, 0, 1}) + Block(2, {1, 2, 3, 4, -1, -1, 2});
    // A count above the blocks: one deleted by hand without lowering it, or a hostile one.
    const struct {
        const char* count;
        int announced, records;
    } counts[] = {{"3 words", 3, 2}, {" \t+2", 2, 2}, {"1", 1, 1},
                  {"x3", 0, 0},      {"-4", -4, 0},   {"2000000000", 2000000000, 2}};
    for (const auto& c : counts) {
        const RecordsFileContents contents = ParseRecordsFile(FileWith(c.count, two));
        EXPECT_EQ(contents.announced, c.announced) << c.count;
        EXPECT_EQ(contents.records.size(), static_cast<size_t>(c.records)) << c.count;
    }
    EXPECT_EQ(ParseRecordsFile(FileWith("2", two)).records[1], MakeRecord(1, 2, 3, 4, 1));
    EXPECT_EQ(ParseRecordsFile(FileWith("99999999999", "")).announced, 1215752191);  // as strtol

    // Values keep their low bits without a range test (300 & 0xFF, width 0 as 256, page 0
    // as 65536); a hand-typed flip of 1 is kept; lines missing at the end read as 0.
    const auto odd = ParseRecordsFile(FileWith("2",
                                               "[Texture9]\r\n 300x\r\n-1\r\n0\r\n256\r\n1\r\n"
                                               "abc\r\n0\r\n\r\n[Texture3]\r\n7\r\n"));
    ASSERT_EQ(odd.records.size(), 2u);
    EXPECT_EQ(odd.records[0], MakeRecord(44, 255, 256, 256, 65535, 1, 0));
    EXPECT_NE(RecordsFileText(odd.records).find("\r\n1\r\n0\r\n65536\r\n"), std::string::npos);
    EXPECT_EQ(odd.records[1], MakeRecord(7, 0, 256, 256, 65535, 0, 0));

    // Files with LF line ends read the same.
    std::string lf = RecordsFileText(kThree);
    std::erase(lf, '\r');
    EXPECT_EQ(ParseRecordsFile(lf).records, kThree);
}

}  // namespace
}  // namespace pelmora
