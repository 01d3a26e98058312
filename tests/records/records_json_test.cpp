#include "records/records_json.h"

#include <gtest/gtest.h>

#include "records/records_file.h"
#include "test_support.h"

namespace pelmora {
namespace {

const std::vector<TextureRecord> kRecords = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1, 0, -1),
                                             MakeRecord(255, 0, 256, 1, 65535, -1, 0)};

TEST(RecordsJson, WhatIsNotARecordsListIsRefusedAndABadRecordNamed) {
    using Status = RecordsFileContents::Status;
    const std::string ok =
        R"("page": 1, "x": 0, "y": 0, "width": 8, "height": 8, "flip_x": -1, "flip_y": -1)";
    const struct {
        std::string text;
        Status status;
        std::string problem;
    } cases[] = {
        {"", Status::NotRecordsFile, ""},
        {"#Pelmora Texture Records File", Status::NotRecordsFile, ""},
        {"[1, 2]", Status::NotRecordsFile, ""},
        {R"({"records": 5})", Status::NotRecordsFile, ""},
        {R"({"records": [{)" + ok + "}", Status::NotRecordsFile, ""},  // cut short
        {std::string(100000, '[') + std::string(100000, ']'), Status::NotRecordsFile, ""},
        {R"({"note": {"x": [1]}, "records": [{)" + ok + R"(, "extra": [{"x": "a"}]}]})", Status::Ok,
         ""},
        {R"({"records": [{"x": 0}]})", Status::BadRecord, "record 1 has no \"y\""},
        {R"({"records": [{)" + ok + R"(}, 7]})", Status::BadRecord, "record 2 is not an object"},
        {R"({"records": [{)" + ok + R"(, "x": 1.5}]})", Status::BadRecord,
         "record 1: \"x\" is not a whole number"},
        {R"({"records": [{)" + ok + R"(, "page": 4294967296}]})", Status::BadRecord,
         "record 1: \"page\" is out of range"},
        {R"({"records": [], "records": []})", Status::BadRecord,
         "it has more than one \"records\" list"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        const RecordsFileContents contents = ParseRecordsJson(c.text);
        EXPECT_EQ(contents.status, c.status);
        EXPECT_EQ(contents.problem, c.problem);
        EXPECT_EQ(contents.records.size(), c.status == Status::Ok ? 1u : 0u);
    }
}

// The document holds the records with the numbers users see.
TEST(RecordsJson, ExportThenImportGivesTheSameRecords) {
    test::TempDir dir;
    Project project;
    NewProject(project, dir.File("a.plm"));
    project.records = kRecords;
    ASSERT_TRUE(ExportRecords(project, dir.File("r.JSON")).IsDone());
    const auto doc = nlohmann::json::parse(test::ReadFile(dir.File("r.JSON")));
    ASSERT_EQ(doc["records"].size(), kRecords.size());
    EXPECT_EQ(doc["records"][2], nlohmann::json::parse(R"({"texture": 3, "page": 65536, "x": 255,
        "y": 0, "width": 256, "height": 1, "flip_x": -1, "flip_y": 0})"));

    project.records.resize(1);
    EXPECT_TRUE(CheckRecordsFile(dir.File("r.JSON")).IsDone());
    ASSERT_TRUE(
        ImportRecords(project, dir.File("r.JSON"), RecordsImportMode::Overwrite, 0).IsDone());
    EXPECT_EQ(project.records, kRecords);

    test::WriteFile(dir.File("bad.json"), R"({"records": [{"x": 1}]})");
    const Outcome refused =
        ImportRecords(project, dir.File("bad.json"), RecordsImportMode::Overwrite, 0);
    EXPECT_EQ(refused.message,
              "\"" + dir.File("bad.json") + "\" cannot be imported: record 1 has no \"y\".");
    EXPECT_EQ(project.records, kRecords);
    test::WriteFile(dir.File("text.json"), RecordsFileText(kRecords));
    EXPECT_EQ(CheckRecordsFile(dir.File("text.json")).message, kNotARecordsFileMessage);
}

}  // namespace
}  // namespace pelmora
