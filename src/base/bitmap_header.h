#pragma once

#include <cstddef>
#include <cstdint>

namespace pelmora {

// Describes one stored bitmap. Pixels are 24-bit, rows top first, each pixel red, green,
// blue, each row padded to a whole number of 4-byte words.
struct BitmapHeader {
    int32_t type = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t widthBytes = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 24;
    uint8_t* bits = nullptr;
};

// Bytes in one row of a bitmap width pixels wide: the row's bits rounded up to whole 4-byte
// words; 0 for no width.
constexpr size_t RowStride(int64_t width, int bitsPerPixel = 24) {
    if (width < 1 || bitsPerPixel < 1) return 0;
    return static_cast<size_t>((static_cast<uint64_t>(bitsPerPixel) * width + 31) / 32 * 4);
}

// Row size rounded up to whole 4-byte words, times the height; 0 for an empty bitmap.
uint32_t BitmapByteSize(const BitmapHeader& header);

constexpr int kPageSize = 256;
constexpr uint32_t kPageBytes = 256 * 256 * 3;  // 196,608

}  // namespace pelmora
