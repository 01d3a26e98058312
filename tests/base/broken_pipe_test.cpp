#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_util.h"
#include "test_support.h"

namespace pelmora {

// A FIFO whose reader goes away mid-save must fail the save, not end the program (SIGPIPE
// would take the editor's unsaved work with it).
TEST(BrokenPipe, ASaveIntoAFifoWhoseReaderLeftFailsInsteadOfEndingTheProgram) {
    test::TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    AtomicFileWriter writer(fifo);
    ASSERT_TRUE(writer.Open()) << writer.Error();
    ASSERT_TRUE(writer.Write(std::string(1 << 20, 'x')));
    ::close(reader);
    EXPECT_FALSE(writer.Commit());
    EXPECT_NE(writer.Error().find("Broken pipe"), std::string::npos) << writer.Error();
}

}  // namespace pelmora
