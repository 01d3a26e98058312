#pragma once

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

// Row size rounded up to whole 4-byte words, times the height; 0 for an empty bitmap.
uint32_t BitmapByteSize(const BitmapHeader& header);

constexpr int kPageSize = 256;
constexpr uint32_t kPageBytes = 256 * 256 * 3;  // 196,608

}  // namespace pelmora
