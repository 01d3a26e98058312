#include "base/image.h"

#include <algorithm>
#include <cstring>

namespace pelmora {

uint32_t BitmapByteSize(const BitmapHeader& h) {
    if (h.width < 1 || h.height < 1) return 0;
    const uint64_t rowBytes = RowStride(h.width, h.bitsPerPixel * h.planes);
    const uint64_t size = rowBytes * static_cast<uint64_t>(h.height);
    return size > UINT32_MAX ? 0 : static_cast<uint32_t>(size);
}

Image::Image(int width, int height, Colour fill) {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    stride_ = static_cast<int>(RowStride(width));
    pixels_.assign(static_cast<size_t>(stride_) * height, 0);
    Fill(fill);
}

Image Image::FromHeader(const BitmapHeader& h) {
    Image image;
    if (h.width <= 0 || h.height <= 0 || h.bits == nullptr || h.bitsPerPixel != 24) return image;
    image.width_ = h.width;
    image.height_ = h.height;
    image.stride_ = static_cast<int>(RowStride(h.width));
    image.pixels_.assign(h.bits, h.bits + static_cast<size_t>(image.stride_) * h.height);
    return image;
}

BitmapHeader Image::Header() {
    BitmapHeader h;
    h.width = width_;
    h.height = height_;
    h.widthBytes = stride_;
    h.bits = pixels_.empty() ? nullptr : pixels_.data();
    return h;
}

Colour Image::PixelAt(int x, int y) const {
    const uint8_t* p = Row(y) + 3 * x;
    return MakeColour(p[0], p[1], p[2]);
}

void Image::SetPixel(int x, int y, Colour c) {
    uint8_t* p = Row(y) + 3 * x;
    p[0] = RedOf(c);
    p[1] = GreenOf(c);
    p[2] = BlueOf(c);
}

void Image::Fill(Colour c) {
    FillRect(0, 0, width_, height_, c);
}

void Image::FillRect(int x, int y, int width, int height, Colour c) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min<long>(static_cast<long>(x) + width, width_);
    const int bottom = std::min<long>(static_cast<long>(y) + height, height_);
    if (left >= right || top >= bottom) return;
    const uint8_t rgb[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
    for (int py = top; py < bottom; ++py) {
        uint8_t* p = Row(py) + 3 * left;
        for (int px = left; px < right; ++px, p += 3) std::memcpy(p, rgb, 3);
    }
}

Image Image::Copy(int x, int y, int width, int height) const {
    Image out(width, height, MakeColour(255, 255, 255));
    if (out.IsNull()) return out;
    out.Combine(*this, -x, -y);
    return out;
}

void Image::Combine(const Image& source, int x, int y) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + source.width_, width_);
    const int bottom = std::min(y + source.height_, height_);
    if (left >= right || top >= bottom) return;
    for (int py = top; py < bottom; ++py) {
        std::memcpy(Row(py) + 3 * left, source.Row(py - y) + 3 * (left - x), 3 * (right - left));
    }
}

std::vector<uint8_t> Image::PackedRgb() const {
    std::vector<uint8_t> out(static_cast<size_t>(width_) * height_ * 3);
    for (int y = 0; y < height_; ++y) {
        std::memcpy(out.data() + static_cast<size_t>(y) * width_ * 3, Row(y), width_ * 3);
    }
    return out;
}

Image Image::FromPackedRgb(int width, int height, const uint8_t* rgb) {
    Image image(width, height);
    for (int y = 0; y < image.height_; ++y) {
        std::memcpy(image.Row(y), rgb + static_cast<size_t>(y) * width * 3, width * 3);
    }
    return image;
}

}  // namespace pelmora
