#pragma once

#include <gtest/gtest.h>

#include "test_support.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora::test {

// A version 129 file with these records and pages and nothing behind them.
inline std::string FileOf(std::vector<TextureRecord> records,
                          std::vector<std::vector<uint8_t>> pages) {
    return WadBytes{.records = std::move(records), .pages = std::move(pages), .rest = {}}.Build();
}

// A project and a private folder to write the files it opens into.
class FileInFolderTest : public ::testing::Test {
protected:
    // Writes bytes as name in the test's folder and opens that into project.
    Outcome Open(const std::string& name, const std::string& bytes) {
        WriteFile(dir.File(name), bytes);
        return OpenTextureFile(project, dir.File(name));
    }

    TempDir dir;
    Project project;
};

}  // namespace pelmora::test
