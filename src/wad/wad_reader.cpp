#include "wad/wad_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

#include "base/bitmap_header.h"
#include "base/file_util.h"
#include "base/project.h"

namespace pelmora {

namespace {

// Half of the machine's memory: records beyond that leave too little for their pages and
// for the copies that saving and sorting make.
long long MemoryForRecords() {
    const long long pages = ::sysconf(_SC_PHYS_PAGES);
    const long long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return LLONG_MAX;
    return pages / 2 * pageSize;
}

}  // namespace

bool IsAcceptedVersion(uint32_t version) {
    return version == kVersion129 || version == kVersion130 || version == kPelmMagic;
}

WadFileReader::~WadFileReader() {
    if (file_) std::fclose(file_);
}

bool WadFileReader::Open(const std::string& path) {
    path_ = path;
    const int fd = OpenInputFile(path, &error_);
    if (fd < 0) return false;
    struct stat st {};
    file_ = ::fstat(fd, &st) == 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!file_) {
        error_ = FileErrorMessage(path);
        ::close(fd);
        return false;
    }
    size_ = st.st_size;
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    return true;
}

long long WadFileReader::Remaining() const {
    return std::max(0LL, size_ - position_);
}

int32_t WadFileReader::ReadInt32() {
    uint8_t b[4] = {0, 0, 0, 0};
    const size_t got = std::fread(b, 1, 4, file_);
    position_ += static_cast<long long>(got);
    if (got < 4) return 0;  // a number cut short by the end of the file reads as 0
    return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t{b[3]} << 24));
}

uint32_t WadFileReader::ReadVersion() {
    return static_cast<uint32_t>(ReadInt32());
}

bool WadFileReader::ReadRecords(std::vector<TextureRecord>& records) {
    records.clear();
    const int32_t announced = ReadInt32();
    if (announced <= 0) return true;
    const long long held = (Remaining() + 7) / 8;
    const auto count = static_cast<size_t>(std::min<long long>(announced, held));
    const auto noMemory = [this] {
        error_ = "Cannot read \"" + path_ + "\": there is not enough memory for its records.";
        return false;
    };
    // Refused before anything is allocated: the system may promise the memory and only run
    // out once the records are read into it.
    if (static_cast<long long>(count * sizeof(TextureRecord)) > MemoryForRecords())
        return noMemory();
    try {
        records.reserve(count);
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
    // Read in blocks, so no second copy of the whole list is ever held.
    constexpr size_t kBlock = 64 * 1024;
    std::vector<uint8_t> bytes;
    for (size_t done = 0; done < count;) {
        const size_t n = std::min(kBlock, count - done);
        bytes.assign(n * 8, 0);
        position_ += static_cast<long long>(std::fread(bytes.data(), 1, bytes.size(), file_));
        for (size_t i = 0; i < n; ++i) records.push_back(TextureRecord::FromBytes(&bytes[i * 8]));
        done += n;
    }
    return true;
}

int WadFileReader::ReadPageCount() {
    const int32_t size = ReadInt32();
    pagesStart_ = position_;
    if (size <= 0) return 0;
    const long long announced = size / static_cast<long long>(kPageBytes);
    const long long held = (Remaining() + kPageBytes - 1) / kPageBytes;
    return static_cast<int>(std::min(announced, held));
}

void WadFileReader::ReadPage(int i, uint8_t* page) const {
    // pread keeps no shared position, so threads can read different pages at once.
    const long long offset = pagesStart_ + static_cast<long long>(i) * kPageBytes;
    size_t got = 0;
    while (got < kPageBytes) {
        const ssize_t n = ::pread(fileno(file_), page + got, kPageBytes - got,
                                  static_cast<off_t>(offset + static_cast<long long>(got)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    if (got < kPageBytes) std::memset(page + got, 0xFF, kPageBytes - got);
}

void WadFileReader::SkipPages(int count) {
    position_ = std::min(size_, pagesStart_ + static_cast<long long>(count) * kPageBytes);
    ::fseeko(file_, static_cast<off_t>(position_), SEEK_SET);
}

bool WadFileReader::CopyRestTo(const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        error_ = FileErrorMessage(path);
        return false;
    }
    std::vector<char> block(1 << 20);
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(block.data(), 1, block.size(), file_);
        if (got == 0) break;
        position_ += static_cast<long long>(got);
        if (std::fwrite(block.data(), 1, got, out) != got) {
            ok = false;
            break;
        }
    }
    if (std::fclose(out) != 0) ok = false;
    if (!ok) error_ = "Cannot write \"" + path + "\": " + std::strerror(errno);
    return ok;
}

}  // namespace pelmora
