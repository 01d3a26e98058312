#pragma once

#include <string>
#include <vector>

#include "base/colour.h"
#include "base/image.h"
#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

constexpr const char* kFailedToLoadImageBlankPageMessage =
    "Failed To Load Image...\nCreating Blank Page...";
constexpr int kMaxNewPagesAtOnce = 10;

// What pages Add New makes.
enum class NewPageKind { Blank, FromImage, FromLongImage };

// The New Page dialog's answers once the user clicked "Yes".
struct NewPageOptions {
    NewPageKind kind = NewPageKind::Blank;
    Colour colour = 0;        // becomes the project's new page colour
    int count = 1;            // Blank: 1 to kMaxNewPagesAtOnce
    std::string imagePath;    // FromImage, FromLongImage
    bool keepAspect = false;  // FromImage: fit inside the page instead of stretching to it
};

// Texture Pages > Add New after "Yes": stores the colour as the new page colour and appends
// the pages; selectedPage is left on the last page added. An image that cannot be loaded
// (or none chosen for a long image) gives one blank page instead and the result
// a warning about the image with kFailedToLoadImageBlankPageMessage (with the reason on a line
// between its two lines when there is one). A count outside 1 to 10
// is refused with nothing changed.
Outcome AddNewPages(Project& project, const NewPageOptions& options);

// The page made from an image: fitted (keepAspect) or stretched to 256 x 256, drawn at the
// top-left corner of a page filled with background.
Image PageFromImage(const Image& image, bool keepAspect, Colour background);

// A long image fitted to the page width (never widened) and cut into 256-row bands, top
// band first; the last band is filled up with background.
std::vector<Image> PagesFromLongImage(const Image& image, Colour background);

}  // namespace pelmora
