#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "base/image_io.h"
#include "cli/cli_runner.h"
#include "records/records_file.h"
#include "test_support.h"

namespace pelmora {
namespace {

using nlohmann::json;

class CliJsonAndFolders : public test::CliTest {
protected:
    void SetUp() override {
        ASSERT_EQ(Status({"new", "t.plm"}), 0);
        // What a folder walk passes over (hidden folders, loops, other files) is
        // ExpandImageFolders' test.
        for (const char* folder : {"icons", "icons/apps"})
            ASSERT_EQ(::mkdir(dir.File(folder).c_str(), 0755), 0);
        Png("icons/apps/konsole.png", 32);
        Png("icons/apps/Kate.PNG", 16);
        Png("icons/z.bmp", 8, ImageFormat::Bmp);
        Write("icons/broken.png", "not an image");
    }
    void Png(const std::string& name, int side, ImageFormat format = ImageFormat::Png) {
        ASSERT_TRUE(SaveImage(test::PatternImage(side, side, 1), dir.File(name), format));
    }
};

TEST_F(CliJsonAndFolders, JsonDocumentsHoldWhatTheTextLinesSay) {
    const auto added = Run({"add-pieces", "t.plm", "icons", "--json"});
    EXPECT_EQ(added.status, 1);
    const json doc = json::parse(added.out);
    EXPECT_EQ(doc["path"], "t.plm");
    ASSERT_EQ(doc["placed"].size(), 3u);
    EXPECT_EQ(doc["placed"][1], json::parse(R"({"texture": 3, "page": 1, "x": 16, "y": 0,
        "width": 32, "height": 32, "flip_x": -1, "flip_y": -1,
        "source": "icons/apps/konsole.png"})"));
    ASSERT_EQ(doc["skipped"].size(), 1u);
    EXPECT_EQ(doc["skipped"][0]["source"], "icons/broken.png");

    // The records list is the placed list without the sources, after the reserved record.
    const json records = json::parse(Ok({"records", "t.plm", "--json"}).out)["records"];
    ASSERT_EQ(records.size(), 4u);
    for (int i = 1; i < 4; ++i) {
        json placed = doc["placed"][i - 1];
        placed.erase("source");
        EXPECT_EQ(records[i], placed);
    }

    ASSERT_EQ(Status({"add-pieces", "t.plm", "icons/z.bmp"}), 0);  // a copy of texture 4...
    ASSERT_EQ(Status({"add-record", "t.plm", "--page", "1", "--x", "48", "--y", "0", "--width", "8",
                      "--height", "8"}),
              0);  // ... and of texture 4 again
    const json duplicates = json::parse(Ok({"check-duplicates", "t.plm", "--json"}).out);
    EXPECT_EQ(duplicates["duplicates"], 1);
    EXPECT_EQ(duplicates["copies"][0]["texture"], 6);
    EXPECT_EQ(duplicates["copies"][0]["same_as"], 4);
    EXPECT_EQ(json::parse(Ok({"info", "t.plm", "--json"}).out)["records"], 6);
}

// The round trip and the refusals are RecordsJson's tests; here .json has to pick the format.
TEST_F(CliJsonAndFolders, AJsonRecordsFileIsChosenByItsName) {
    Ok({"export-records", "t.plm", "r.json"});
    EXPECT_EQ(json::parse(Read("r.json"))["records"],
              json::parse(Ok({"records", "t.plm", "--json"}).out)["records"]);
    Write("bad.json", "{\"records\": [{\"x\": 1}]}");
    const auto refused = Run({"import-records", "t.plm", "bad.json", "--append"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "\"bad.json\" cannot be imported: record 1 has no \"y\".\n");
}

}  // namespace
}  // namespace pelmora
