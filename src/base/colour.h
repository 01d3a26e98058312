#pragma once

#include <cstdint>

namespace pelmora {

// Colours are 0x00BBGGRR everywhere: in memory, in dialogs and in the settings file.
using Colour = uint32_t;

constexpr Colour MakeColour(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr uint8_t RedOf(Colour c) {
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GreenOf(Colour c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(Colour c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

}  // namespace pelmora
