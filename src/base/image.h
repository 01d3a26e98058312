#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bitmap_header.h"
#include "base/colour.h"

namespace pelmora {

// A 24-bit image owned by value: rows top first, pixels red, green, blue, each row padded to
// whole 4-byte words (the layout the bitmap store keeps).
class Image {
public:
    Image() = default;
    Image(int width, int height, Colour fill = 0);

    // Copies the pixels a header points at.
    static Image FromHeader(const BitmapHeader& header);

    bool IsNull() const { return width_ <= 0 || height_ <= 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
    const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }
    uint8_t* Data() { return pixels_.data(); }
    const uint8_t* Data() const { return pixels_.data(); }
    size_t ByteSize() const { return pixels_.size(); }

    // A header describing this image; its bits point into the image.
    BitmapHeader Header();

    Colour PixelAt(int x, int y) const;
    void SetPixel(int x, int y, Colour c);
    void Fill(Colour c);
    // Fills the part of the rectangle that lies on the image.
    void FillRect(int x, int y, int width, int height, Colour c);
    // The region (x, y, width, height); parts outside this image come out white.
    Image Copy(int x, int y, int width, int height) const;
    // Draws source opaquely with its top-left corner at (x, y), clipped to this image.
    void Combine(const Image& source, int x, int y);

    // Tightly packed rows (top first, red, green, blue): the RAW and page file layout.
    std::vector<uint8_t> PackedRgb() const;
    static Image FromPackedRgb(int width, int height, const uint8_t* rgb);

    bool operator==(const Image& other) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace pelmora
