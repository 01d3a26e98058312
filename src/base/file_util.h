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
// renamed over the target, and the folder is synced so that the rename survives a crash. If
// anything fails the temporary file is removed and the target is untouched.
//
// A save keeps what the path is. A symlink is followed and the file it names is replaced (the
// temporary file goes beside that file). The new file gets the old one's owner, group, mode,
// ACLs and other extended attributes. A file the user may not write is refused with
// "Permission denied", also for root, for whom only a file without any write bit counts as
// read-only. Where a rename would make the path name a different file than before (a file
// with other hard links, an owner, group or attribute that cannot be given to a new file, a
// FIFO, a device, /dev/stdout), the complete new content is first written and synced to a
// copy beside the file (or in the temporary-files folder when that is not possible), and then
// written into the existing file; should that fail, the copy is kept and the message names it.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when the target may not be written or the temporary file could not be made;
    // Error() says why.
    bool Open();
    bool Write(const void* data, size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Flushes, syncs and puts the new content in place. After a failure the target is
    // untouched, or, when writing in place failed halfway, Error() names the complete copy.
    bool Commit();
    const std::string& Error() const { return error_; }

private:
    bool Fail(int errorNumber);
    void Discard();
    bool WriteOut(const char* data, size_t size);
    bool MakeTempFile(const std::string& folder);
    bool OpenInPlace(const std::string& path);
    bool CommitInPlace();

    std::string target_;    // as the caller named it, for messages
    std::string real_;      // the file that is replaced: target_ with symlinks followed
    std::string tempPath_;  // registered for removal on a signal while it is disposable
    int fd_ = -1;
    int targetFd_ = -1;     // the existing file, when it is written in place
    bool inPlace_ = false;  // the new content goes into the existing file
    bool regularTarget_ = false;
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
