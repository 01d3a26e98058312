#include "base/image_flatten.h"

namespace pelmora {

namespace {

uint8_t Blend(unsigned colour, unsigned background, unsigned alpha) {
    return static_cast<uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace

Image FlattenRgba(int width, int height, const uint8_t* rgba, size_t rowBytes, Colour background) {
    Image out(width, height);
    if (out.IsNull() || rgba == nullptr) return Image();
    const unsigned r = RedOf(background), g = GreenOf(background), b = BlueOf(background);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgba + static_cast<size_t>(y) * rowBytes;
        uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x, in += 4, row += 3) {
            const unsigned a = in[3];
            row[0] = Blend(in[0], r, a);
            row[1] = Blend(in[1], g, a);
            row[2] = Blend(in[2], b, a);
        }
    }
    return out;
}

}  // namespace pelmora
