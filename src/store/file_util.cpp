#include "store/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store/paths.h"

namespace pelmora {

std::string FileErrorMessage(const std::string& path, int errorNumber) {
    return "Cannot open \"" + path + "\": " + std::strerror(errorNumber);
}

std::string FileErrorMessage(const std::string& path) {
    return FileErrorMessage(path, errno);
}

namespace {
constexpr size_t kBufferLimit = 1 << 20;
constexpr size_t kDirectWrite = 64 << 10;

std::string WriteErrorMessage(const std::string& path, int errorNumber) {
    return "Cannot write \"" + path + "\": " + std::strerror(errorNumber);
}
}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

bool AtomicFileWriter::Open() {
    std::string pattern = DirectoryOf(target_) + "." + FileNameOf(target_) + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        error_ = WriteErrorMessage(target_, errno);
        failed_ = true;
        return false;
    }
    tempPath_ = pattern;
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat existing {};
    mode_t mode = 0666;
    if (::stat(target_.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferLimit);
    return true;
}

static bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Hands bytes to the file and, every few megabytes, asks the disk to start writing them,
// so that the sync at the end waits for the last part only rather than the whole file.
bool AtomicFileWriter::WriteOut(const char* data, size_t size) {
    if (!WriteAll(fd_, data, size)) return false;
    written_ += static_cast<long long>(size);
    constexpr long long kWritebackStep = 8 << 20;
    if (written_ - writingBack_ >= kWritebackStep) {
        ::sync_file_range(fd_, writingBack_, written_ - writingBack_, SYNC_FILE_RANGE_WRITE);
        writingBack_ = written_;
    }
    return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
    if (failed_ || fd_ < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    // Small pieces are gathered; large ones (whole pages) go straight to the file.
    if (size < kDirectWrite && buffer_.size() + size <= kBufferLimit) {
        buffer_.append(bytes, size);
        return true;
    }
    if (!WriteOut(buffer_.data(), buffer_.size()) || !WriteOut(bytes, size)) {
        error_ = WriteErrorMessage(target_, errno);
        failed_ = true;
        return false;
    }
    buffer_.clear();
    return true;
}

bool AtomicFileWriter::Commit() {
    if (failed_ || fd_ < 0) {
        Discard();
        return false;
    }
    if (!WriteOut(buffer_.data(), buffer_.size()) || ::fsync(fd_) != 0) {
        error_ = WriteErrorMessage(target_, errno);
        failed_ = true;
        Discard();
        return false;
    }
    buffer_.clear();
    if (::close(fd_) != 0) {
        fd_ = -1;
        error_ = WriteErrorMessage(target_, errno);
        failed_ = true;
        Discard();
        return false;
    }
    fd_ = -1;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        error_ = WriteErrorMessage(target_, errno);
        failed_ = true;
        Discard();
        return false;
    }
    tempPath_.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    AtomicFileWriter writer(path);
    if (writer.Open() && writer.Write(bytes) && writer.Commit()) return true;
    if (error) *error = writer.Error();
    return false;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

long long FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

void RemoveFileQuietly(const std::string& path) {
    if (!path.empty()) ::unlink(path.c_str());
}

int OpenInputFile(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error) *error = FileErrorMessage(path);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        if (error) *error = FileErrorMessage(path);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error) {
            *error = S_ISDIR(st.st_mode) ? FileErrorMessage(path, EISDIR)
                                         : "Cannot open \"" + path +
                                               "\": not a regular file (a pipe, FIFO or device)";
        }
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* error) {
    const int fd = OpenInputFile(path, error);
    if (fd < 0) return false;
    out.clear();
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = FileErrorMessage(path);
            ::close(fd);
            return false;
        }
        out.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace pelmora
