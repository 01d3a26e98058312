#include "base/texture_record.h"

#include <cstdio>

namespace pelmora {

std::array<uint8_t, 8> TextureRecord::ToBytes() const {
    return {X,
            Y,
            static_cast<uint8_t>(Page & 0xFF),
            static_cast<uint8_t>(Page >> 8),
            static_cast<uint8_t>(FlipX),
            StoredWidth,
            static_cast<uint8_t>(FlipY),
            StoredHeight};
}

TextureRecord TextureRecord::FromBytes(const uint8_t* b) {
    TextureRecord r;
    r.X = b[0];
    r.Y = b[1];
    r.Page = static_cast<uint16_t>(b[2] | (b[3] << 8));
    r.FlipX = static_cast<int8_t>(b[4]);
    r.StoredWidth = b[5];
    r.FlipY = static_cast<int8_t>(b[6]);
    r.StoredHeight = b[7];
    return r;
}

TextureRecord MakeRecord(int x, int y, int width, int height, int page, int flipX, int flipY) {
    TextureRecord r;
    r.X = static_cast<uint8_t>(x);
    r.Y = static_cast<uint8_t>(y);
    r.Page = static_cast<uint16_t>(page);
    r.FlipX = static_cast<int8_t>(flipX);
    r.FlipY = static_cast<int8_t>(flipY);
    r.SetWidth(width);
    r.SetHeight(height);
    return r;
}

std::string RecordText(const TextureRecord& r) {
    char text[160];
    std::snprintf(text, sizeof text, "Page=%d, X=%d, Y=%d, Width=%d, Height=%d, FlipX=%d, FlipY=%d",
                  r.Page + 1, r.X, r.Y, r.Width(), r.Height(), r.FlipX, r.FlipY);
    return text;
}

}  // namespace pelmora
