#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace pelmora {

// The system's own words for the last file error (errno), naming the file:
// "Cannot open \"PATH\": No such file or directory".
std::string FileErrorMessage(const std::string& path, int errorNumber);
std::string FileErrorMessage(const std::string& path);  // uses errno

// Writes a file so that the target is either the old file or the complete new one, never a
// mix: the bytes go to a temporary file beside the target, which is flushed to disk and then
// renamed over the target. If anything fails the temporary file is removed and the target is
// untouched.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when the temporary file could not be made; Error() says why.
    bool Open();
    bool Write(const void* data, size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Flushes, syncs and renames over the target. After a failure the target is untouched.
    bool Commit();
    const std::string& Error() const { return error_; }

private:
    void Discard();
    bool WriteOut(const char* data, size_t size);

    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    long long written_ = 0;      // bytes handed to the file so far
    long long writingBack_ = 0;  // bytes the disk has been asked to start writing
    std::string buffer_;
    std::string error_;
    bool failed_ = false;
};

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

bool FileExists(const std::string& path);
// Size of a file in bytes, or -1.
long long FileSize(const std::string& path);
// Removes a file; a missing file is not an error.
void RemoveFileQuietly(const std::string& path);
// Opens a file that the user named as input (a WAD, an image, a records file) for reading.
// Never blocks: a FIFO without a writer would otherwise hang in open(). Anything that is not
// a regular file (a pipe, a FIFO, a device, a folder) is refused at once, because its size
// cannot be known and it may never end. Returns the descriptor (close-on-exec, blocking
// again) or -1 with *error naming the file.
int OpenInputFile(const std::string& path, std::string* error);

// Reads a whole regular file; false with *error when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* error);

}  // namespace pelmora
