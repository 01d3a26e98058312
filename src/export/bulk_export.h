#pragma once

#include <span>
#include <string>

#include "base/image_io.h"
#include "base/outcome.h"
#include "base/project.h"
#include "export/export_progress.h"
#include "export/html_gallery.h"

namespace pelmora {

// The Export Options dialog's formats, in the order of its list: every picture format.
using ExportFormatInfo = ImageFormatInfo;
inline constexpr std::span<const ImageFormatInfo> kExportFormats = PictureFormats();

constexpr const char* kSavingPagesText = "Saving Pages Please Wait...";
constexpr const char* kSavingTexturesText = "Saving Textures Please Wait...";

// The answers of the Export Options dialog (and of the HTML Page Options behind it).
struct ExportOptions {
    std::string folder;  // receives the images
    ImageFormat format = ImageFormat::Bmp;
    int jpegQuality = 100;
    bool saveHtmlPage = true;  // consulted for JPEG only
    GallerySettings gallery;
};

// The folder as the Export Options dialog shows it: whole up to 30 characters, otherwise
// its first 3 characters, "..." and its last 24.
std::string ShortFolderText(const std::string& folder);

// Export All (pages): "Page%d.ext" for every page, then, for JPEG with saveHtmlPage, the
// pages gallery (also when there is no page). Files are encoded on all cores. Every file
// that cannot be written is named in one message at the end; the others are still written.
Outcome ExportAllPages(const Project& project, const ExportOptions& options,
                       const ExportProgress& progress = {});

// Export All (textures): "Texture%d.ext" for every record, cut from its page without flips,
// then the textures gallery as for pages. Records whose page does not exist are skipped and
// counted in the message.
Outcome ExportAllTextures(const Project& project, const ExportOptions& options,
                          const ExportProgress& progress = {});

// Export Textures: only the records on page pageIndex (0-based), named by their overall
// numbers; never a gallery.
Outcome ExportPageTextures(const Project& project, int pageIndex, const ExportOptions& options,
                           const ExportProgress& progress = {});

// Export All (single image): all pages stacked, page 1 on top, in a 256 x 256 * pages image
// whose format comes from path's extension (jpegQuality for JPEG names). Does nothing when
// there is no page. BMP, PNG and TIFF hold any number of pages; PCX at most 256, TGA and
// JPEG at most 255 (16-bit heights, JPEG's 65,500 rows): beyond that it fails with a message.
Outcome ExportSingleImage(const Project& project, const std::string& path, int jpegQuality);

}  // namespace pelmora
