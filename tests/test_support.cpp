#include "test_support.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "store/bitmap_header.h"
#include "store/paths.h"

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

static void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
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
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &page[(y * 256 + x) * 3];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = seed;
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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace pelmora::test
