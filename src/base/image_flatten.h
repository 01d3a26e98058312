#pragma once

#include <cstddef>
#include <cstdint>

#include "base/colour.h"
#include "base/image.h"

namespace pelmora {

// A picture with transparency laid over a background colour, the way a page shows it: rgba
// holds height rows of rowBytes bytes, each pixel red, green, blue and a straight (not
// premultiplied) alpha. An opaque pixel keeps its colour exactly; a clear one becomes the
// background.
Image FlattenRgba(int width, int height, const uint8_t* rgba, size_t rowBytes, Colour background);

}  // namespace pelmora
