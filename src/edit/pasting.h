#pragma once

#include <optional>

#include "base/image.h"
#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// What a paste of an image larger than decoding may take says.
constexpr const char* kPasteTooLargeMessage = "The image on the clipboard is too large to paste.";

// The image taken from the clipboard, stretched to 256 x 256 whatever its shape, replaces
// page pageIndex; the records stay as they are. Changes nothing for a page that does not
// exist or an empty image; an image larger than the decoding budget (image_io.h) is refused
// with kPasteTooLargeMessage.
Outcome PastePage(Project& project, int pageIndex, const Image& image);

// The image, stretched to the record's width and height, replaces exactly the record's
// rectangle on the record's own page (clipped to the page); the flips are not applied, as
// the page holds the piece unflipped. Selects the record and its page. Changes nothing when
// the record's page does not exist (showing the record tells the user why).
Outcome PasteTexture(Project& project, int recordIndex, const Image& image);

// What Copy Texture puts on the clipboard: the record's rectangle cut from its page,
// without the flips; nothing when the record or its page does not exist.
std::optional<Image> TexturePiece(const Project& project, int recordIndex);

}  // namespace pelmora
