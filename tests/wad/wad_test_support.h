#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/outcome.h"
#include "base/project.h"
#include "test_support.h"
#include "wad/wad_open.h"

namespace pelmora::test {

// A project and a private folder to write the files it opens into.
class FileInFolderTest : public ::testing::Test {
protected:
    // Writes bytes as name in the test's folder and opens that into project.
    Outcome Open(const std::string& name, const std::string& bytes) {
        test::WriteFile(dir.File(name), bytes);
        return OpenTextureFile(project, dir.File(name));
    }

    test::TempDir dir;
    Project project;
};

}  // namespace pelmora::test
