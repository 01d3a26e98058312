#include "test_support.h"

#include <grp.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "base/bitmap_header.h"
#include "base/image_io.h"
#include "base/paths.h"

namespace pelmora::test {

TempDir::TempDir() {
    std::string pattern = TempFolder() + "pelmora-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedTempFolder::ScopedTempFolder(const std::string& folder) {
    if (const char* old = std::getenv("TMPDIR")) hadOld_ = true, old_ = old;
    ::setenv("TMPDIR", folder.c_str(), 1);
}

ScopedTempFolder::~ScopedTempFolder() {
    hadOld_ ? ::setenv("TMPDIR", old_.c_str(), 1) : ::unsetenv("TMPDIR");
}

void WriteSparseFile(const std::string& path, const std::string& head, long long size) {
    WriteFile(path, head);
    std::filesystem::resize_file(path, static_cast<uintmax_t>(size));
}

static void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

std::string WadBytes::Build() const {
    std::string out;
    Put32(out, version);
    Put32(out, static_cast<uint32_t>(records.size()));
    for (const auto& r : records) {
        const auto b = r.ToBytes();
        out.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    Put32(out, static_cast<uint32_t>(pages.size() * kPageBytes));
    for (const auto& p : pages) out.append(reinterpret_cast<const char*>(p.data()), p.size());
    out += rest;
    return out;
}

std::vector<uint8_t> PatternPage(uint8_t seed) {
    std::vector<uint8_t> page(kPageBytes);
    for (int i = 0; i < 256 * 256; ++i) {
        const uint8_t pixel[] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), seed};
        std::copy(pixel, pixel + 3, &page[i * 3]);
    }
    return page;
}

Image PatternImage(int width, int height, uint8_t seed) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(
                x, y,
                MakeColour(static_cast<uint8_t>(x * 7 + seed), static_cast<uint8_t>(y * 13), seed));
    return image;
}

static uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

static void PutBig32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>(v >> (8 * i)));
}

static std::string Chunk(const std::string& type, const std::string& data) {
    std::string out;
    PutBig32(out, static_cast<uint32_t>(data.size()));
    out += type + data;
    PutBig32(out, Crc32(type + data));
    return out;
}

// A PNG of width x height pixels of 8 bits per sample, colourType, and these IDAT bytes.
static std::string Png(uint32_t width, uint32_t height, char colourType, const std::string& idat) {
    std::string ihdr;
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr += std::string{'\x08', colourType, 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", idat) +
           Chunk("IEND", "");
}

std::string ClaimingPng(uint32_t width, uint32_t height) {
    // A zlib stream of zeros that inflates to far more than it is.
    const std::string idat(
        "\x78\x9c\xed\xc1\x01\x0d\x00\x00\x00\xc2\xa0\xf7\x4f\x6d\x0e\x37\xa0"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\xbe\x0d\x21\x00\x00\x01",
        32);
    return Png(width, height, 2, idat);
}

std::string SolidPng(uint32_t width, uint32_t height, uint8_t grey) {
    std::string row(width + 1, static_cast<char>(grey));
    row[0] = 0;  // filter: none
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    std::string idat;
    char out[1 << 16];
    for (uint32_t y = 0; y <= height; ++y) {
        const bool last = y == height;
        z.next_in = reinterpret_cast<Bytef*>(last ? nullptr : row.data());
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            idat.append(out, sizeof out - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return Png(width, height, 0, idat);  // grey
}

std::string RgbaPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::string raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (uint32_t x = 0; x < width; ++x) raw += {char(r), char(g), char(b), char(a)};
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string idat(size, '\0');
    compress(reinterpret_cast<Bytef*>(idat.data()), &size,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    idat.resize(size);
    return Png(width, height, 6, idat);  // RGBA
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int ThreadNice(long tid) {
    const std::string stat = ReadFile("/proc/self/task/" + std::to_string(tid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -100;
    // The fields after the command name start at field 3; the nice value is field 19.
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 19; ++i) fields >> field;
    return std::stoi(field);
}

std::vector<int> AllThreadNices() {
    std::vector<int> nices;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec))
        if (const int nice = ThreadNice(std::stol(task.path().filename())); nice != -100)
            nices.push_back(nice);
    return nices;
}

int ExitCodeInChild(const std::function<int()>& body, bool asNobody) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HoldsUnderSizeLimit(long long bytes, const std::function<bool()>& body) {
    return ExitCodeInChild([&] {
               std::signal(SIGXFSZ, SIG_IGN);
               const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
               ::setrlimit(RLIMIT_FSIZE, &limit);
               return body() ? 0 : 1;
           }) == 0;
}

size_t Entries(const std::string& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

std::string WritePng(const TempDir& dir, const std::string& name, const Image& image) {
    const std::string path = dir.File(name);
    if (!SaveImage(image, path, ImageFormat::Png)) throw std::runtime_error("cannot write " + path);
    return path;
}

long CurrentThreadId() {
    return static_cast<long>(syscall(SYS_gettid));
}

void NewInMemory(Project& project, Colour pageColour) {
    project.newPageColour = pageColour;
    NewProject(project, "/nonexistent/new.plm");
}

void WithPatternPages(Project& project, int pages) {
    NewProject(project, "/nonexistent/new.plm");
    project.pages.ClearBitmaps();
    for (int k = 0; k < pages; ++k)
        project.pages.AddBitmapHandle(PatternImage(256, 256, static_cast<uint8_t>(k)));
}

}  // namespace pelmora::test
