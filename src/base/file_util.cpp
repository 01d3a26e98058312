#include "base/file_util.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "base/paths.h"
#include "base/temp_files.h"

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

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// The name that writing to path really changes: symlinks are followed, a dangling one too
// (its target is then created, as a shell's redirection would), so the link stays a link.
// False with errno ELOOP for a loop.
bool FollowLinks(const std::string& path, std::string& real) {
    real = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(real.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(real.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return true;
        link.resize(static_cast<size_t>(n));
        real = link.front() == '/' ? link : DirectoryOf(real) + link;
    }
    errno = ELOOP;
    return false;
}

// Whether the user may change the file. The kernel lets root write anything, so for root a
// file without a single write bit is taken as the owner's wish that it stays as it is.
bool MayWrite(const std::string& path, const struct stat& st) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    if (::geteuid() == 0 && (st.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

// The names of a file's extended attributes (by path, or by fd when path is null).
bool XattrNames(const char* path, int fd, std::vector<std::string>& names) {
    names.clear();
    std::string buffer;
    for (int attempt = 0; attempt < 3; ++attempt) {
        ssize_t n = path ? ::listxattr(path, nullptr, 0) : ::flistxattr(fd, nullptr, 0);
        // A file system without extended attributes has none to keep.
        if (n < 0) return errno == ENOTSUP;
        buffer.assign(static_cast<size_t>(n), '\0');
        n = path ? ::listxattr(path, buffer.data(), buffer.size())
                 : ::flistxattr(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == ERANGE) continue;  // attributes were added meanwhile
        if (n < 0) return false;
        for (size_t at = 0; at < static_cast<size_t>(n);) {
            std::string name(buffer.c_str() + at);
            at += name.size() + 1;
            if (!name.empty()) names.push_back(std::move(name));
        }
        return true;
    }
    return false;
}

// Gives the new file (fd) the extended attributes of the old one at path, ACLs included,
// and drops any it got that the old one lacks (from a folder's default ACL, say).
bool CopyXattrs(const std::string& path, int fd) {
    std::vector<std::string> wanted, present;
    if (!XattrNames(path.c_str(), -1, wanted) || !XattrNames(nullptr, fd, present)) return false;
    for (const auto& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(fd, name.c_str()) != 0)
            return false;
    }
    for (const auto& name : wanted) {
        ssize_t n = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (n < 0) return false;
        std::string value(static_cast<size_t>(n), '\0');
        n = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (n < 0 || ::fsetxattr(fd, name.c_str(), value.data(), static_cast<size_t>(n), 0) != 0)
            return false;
    }
    return true;
}

// Makes the new file (fd) the old file's equal: owner, group, extended attributes, mode.
// False when any of them cannot be given to it.
bool CopyAttributes(const std::string& path, const struct stat& old, int fd) {
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) return false;
    if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    if (!CopyXattrs(path, fd)) return false;
    // Last, because a change of owner clears set-uid and set-gid and an ACL sets the group
    // bits. Owner and group are the old ones by now, so those bits only ever stay on a file
    // whose owner they were meant for.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Writing to a pipe or FIFO whose reader has gone raises SIGPIPE, which would end the whole
// program and take the user's unsaved work with it. While a write runs, the signal is held
// back for this thread, and one that the write raised is taken off again, so the write just
// fails with EPIPE and is reported like any other failed write.
class HoldBackSigpipe {
public:
    HoldBackSigpipe() {
        sigemptyset(&sigpipe_);
        sigaddset(&sigpipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &sigpipe_, &saved_);
    }
    ~HoldBackSigpipe() {
        const int writeError = errno;  // the caller reports the write's error, not ours
        if (!pendingBefore_) {
            const timespec now{0, 0};
            while (sigtimedwait(&sigpipe_, nullptr, &now) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
        errno = writeError;
    }
    HoldBackSigpipe(const HoldBackSigpipe&) = delete;
    HoldBackSigpipe& operator=(const HoldBackSigpipe&) = delete;

private:
    sigset_t sigpipe_{};
    sigset_t saved_{};
    bool pendingBefore_ = false;
};

bool WriteAll(int fd, const char* data, size_t size) {
    HoldBackSigpipe hold;
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

// Copies the first size bytes of from to to's current position.
bool CopyBytes(int from, int to, long long size) {
    std::vector<char> block(kBufferLimit);
    for (long long at = 0; at < size;) {
        const auto want = static_cast<size_t>(std::min<long long>(size - at, kBufferLimit));
        const ssize_t n = ::pread(from, block.data(), want, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;  // the copy shrank under us
            return false;
        }
        if (!WriteAll(to, block.data(), static_cast<size_t>(n))) return false;
        at += n;
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
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
    if (targetFd_ >= 0) {
        ::close(targetFd_);
        targetFd_ = -1;
    }
    if (!tempPath_.empty()) {
        RemoveTempFile(tempPath_);
        tempPath_.clear();
    }
}

bool AtomicFileWriter::Fail(int errorNumber) {
    error_ = WriteErrorMessage(target_, errorNumber);
    failed_ = true;
    Discard();
    return false;
}

bool AtomicFileWriter::MakeTempFile(const std::string& folder) {
    std::string pattern = folder + "." + FileNameOf(real_) + ".XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    tempPath_ = pattern;
    RegisterTempFile(tempPath_);
    return true;
}

// The new content will go into the existing file, so it is opened now: a file that cannot be
// opened is refused before anything is written, and a FIFO without a reader fails at once
// (ENXIO) instead of hanging.
bool AtomicFileWriter::OpenInPlace(const std::string& path) {
    targetFd_ = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (targetFd_ < 0) return false;
    ::fcntl(targetFd_, F_SETFL, ::fcntl(targetFd_, F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool AtomicFileWriter::Open() {
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return Fail(errno);
    if (exists && S_ISDIR(st.st_mode)) return Fail(EISDIR);
    if (exists && !MayWrite(target_, st)) return Fail(errno);

    // Devices, FIFOs and what /dev and /proc name (/dev/stdout leads through /proc to a
    // pipe's made-up name) are opened by the name given; everything else by its real name.
    const bool special = StartsWith(target_, "/dev/") || StartsWith(target_, "/proc/");
    regularTarget_ = exists && S_ISREG(st.st_mode);
    if (exists && (special || !regularTarget_)) {
        real_ = target_;
        inPlace_ = true;
    } else if (!FollowLinks(target_, real_)) {
        return Fail(errno);
    }
    if (regularTarget_ && st.st_nlink > 1) inPlace_ = true;

    // A file's copy goes beside it, where the rename needs it, or into the temporary-files
    // folder when its own folder is closed to us; a device's copy always goes there.
    if (!MakeTempFile(!exists || regularTarget_ ? DirectoryOf(real_) : TempFolder())) {
        const int error = errno;
        if (!regularTarget_ || !MakeTempFile(TempFolder())) return Fail(error);
        inPlace_ = true;
    }
    if (regularTarget_ && !inPlace_ && !CopyAttributes(real_, st, fd_)) {
        inPlace_ = true;
        ::fchmod(fd_, 0600);  // the copy stays private
    }
    if (!exists) {
        // A new file gets the usual permissions.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    if (inPlace_ && !OpenInPlace(real_)) return Fail(errno);
    buffer_.reserve(kBufferLimit);
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
    if (!WriteOut(buffer_.data(), buffer_.size()) || !WriteOut(bytes, size)) return Fail(errno);
    buffer_.clear();
    return true;
}

bool AtomicFileWriter::Commit() {
    if (failed_ || fd_ < 0) {
        Discard();
        return false;
    }
    if (!WriteOut(buffer_.data(), buffer_.size())) return Fail(errno);
    buffer_.clear();
    if (inPlace_) return CommitInPlace();
    if (::fsync(fd_) != 0) return Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(errno);
    if (::rename(tempPath_.c_str(), real_.c_str()) != 0) return Fail(errno);
    UnregisterTempFile(tempPath_);
    tempPath_.clear();
    SyncFolder(DirectoryOf(real_));
    return true;
}

bool AtomicFileWriter::CommitInPlace() {
    // A regular file's old content is about to be overwritten: first the complete new content
    // must be safe on disk, and from then on it is no longer disposable, not even on a signal.
    // A device has no old content to protect; its copy only keeps a failed save from sending
    // half a file.
    if (regularTarget_) {
        if (::fsync(fd_) != 0) return Fail(errno);
        UnregisterTempFile(tempPath_);
    }
    bool ok = CopyBytes(fd_, targetFd_, written_);
    if (ok && regularTarget_)
        ok = ::ftruncate(targetFd_, static_cast<off_t>(written_)) == 0 && ::fsync(targetFd_) == 0;
    int error = errno;
    if (::close(targetFd_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    targetFd_ = -1;
    if (!ok) {
        error_ = WriteErrorMessage(target_, error) + "; the complete new file is kept as \"" +
                 tempPath_ + "\"";
        failed_ = true;
        UnregisterTempFile(tempPath_);
        tempPath_.clear();
        Discard();
        return false;
    }
    Discard();  // removes the copy
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
