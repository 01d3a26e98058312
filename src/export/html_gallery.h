#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/colour.h"
#include "base/outcome.h"
#include "base/project.h"
#include "export/export_progress.h"

namespace pelmora {

enum class CellAlignment : int { Left = 0, Center = 1, Right = 2 };

// The most columns the HTML Page Options' up-down arrows reach.
constexpr int kMaxArrowColumns = 100;

// The HTML Page Options; the defaults are the dialog's initial values. Nothing is range
// tested: whatever the dialog accepted is written as it is, except that a row never holds
// more cells than the larger of the image count and kMaxArrowColumns.
struct GallerySettings {
    int width = 600;
    int cellPadding = 2;
    int cellSpacing = 2;
    int borderSize = 0;
    Colour tableColour = MakeColour(0, 0, 0);
    int columns = 4;
    int cellAlignment = static_cast<int>(CellAlignment::Center);  // any other value: CENTER
    Colour cellColour = MakeColour(128, 128, 128);
    bool specifyWidth = true;
    bool widthInPercent = false;
};

enum class GalleryKind { Pages, Textures };

constexpr const char* kPagesGalleryName = "texture_pages.htm";
constexpr const char* kTexturesGalleryName = "texture_pieces.htm";
constexpr const char* kSavingHtmlText = "Saving HTML Page Please Wait...";

// Text that comes from outside (a file name) made safe inside HTML declared as ISO-8859-1:
// markup characters become entities and everything beyond ASCII a numeric reference.
std::string HtmlEscape(std::string_view text);

// Streams the gallery page, CR LF line ends, in pieces to sink. count is the number of pages
// or of textures; name is the project's file name. progress (textures only) steps per row.
void WriteGalleryHtml(GalleryKind kind, const std::string& name, int count,
                      const GallerySettings& settings, const std::string& extension,
                      const std::function<void(std::string_view)>& sink,
                      const ExportProgress& progress = {});

// The whole page as one string (for checking; the writers stream).
std::string GalleryHtml(GalleryKind kind, const std::string& name, int count,
                        const GallerySettings& settings, const std::string& extension);

// Writes the pages gallery (one cell per page) to path; the file is replaced only once it
// is complete.
Outcome WritePagesGallery(const Project& project, const std::string& path,
                          const std::string& extension, const GallerySettings& settings);

// Writes the textures gallery (one cell per record) to path, reporting
// "Saving HTML Page Please Wait..." once per table row.
Outcome WriteTexturesGallery(const Project& project, const std::string& path,
                             const std::string& extension, const GallerySettings& settings,
                             const ExportProgress& progress = {});

}  // namespace pelmora
