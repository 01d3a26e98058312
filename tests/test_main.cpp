#include <gtest/gtest.h>

#include "base/image_io.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
