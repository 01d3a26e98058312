#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pelmora {

// One texture position record. The in-memory layout is the file layout (8 bytes, Page
// little-endian), so the record list can be written and read as it stands.
struct TextureRecord {
    uint8_t X = 0;
    uint8_t Y = 0;
    uint16_t Page = 0;  // 0-based; the user sees Page + 1
    int8_t FlipX = 0;
    uint8_t StoredWidth = 0;  // Width - 1
    int8_t FlipY = 0;
    uint8_t StoredHeight = 0;  // Height - 1

    int Width() const { return StoredWidth + 1; }
    int Height() const { return StoredHeight + 1; }
    // Keeps the low 8 bits of size - 1, so 256 is stored as 255 and 0 wraps round to 256.
    void SetWidth(int width) { StoredWidth = static_cast<uint8_t>(width - 1); }
    void SetHeight(int height) { StoredHeight = static_cast<uint8_t>(height - 1); }

    std::array<uint8_t, 8> ToBytes() const;
    static TextureRecord FromBytes(const uint8_t* bytes);

    bool operator==(const TextureRecord&) const = default;
};

static_assert(sizeof(TextureRecord) == 8, "a texture record is exactly 8 bytes");

// A record built from user-facing values: sizes 1 to 256 (0 stands for 256).
TextureRecord MakeRecord(int x, int y, int width, int height, int page, int flipX = -1,
                         int flipY = -1);

// "Page=%d, X=%d, Y=%d, Width=%d, Height=%d, FlipX=%d, FlipY=%d" with Page from 1.
std::string RecordText(const TextureRecord& record);

}  // namespace pelmora
