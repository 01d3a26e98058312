#pragma once

#include <string>

#include "base/image.h"
#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// Texture Pages > Import: the image stretched to 256 x 256 replaces page pageIndex; records
// stay as they are. A page that does not exist is refused (NoSuchPage); "Failed To Load
// Image..." (with the reason on the next line) leaves the project unchanged.
Outcome ImportPage(Project& project, int pageIndex, const std::string& imagePath);

// Texture Pieces > Import: the image stretched to the record's size is drawn at the record's
// place on the record's own page (whatever page is shown). Selects the record and its page.
// A texture that does not exist is refused (NoSuchTexture), and so is one whose page does
// not exist ("You need to add %d more pages before texture %d is selectable").
Outcome ImportPiece(Project& project, int recordIndex, const std::string& imagePath);

// The last step of every page import and paste: page (256 x 256) replaces page pageIndex,
// which becomes the selected page.
Outcome ReplacePage(Project& project, int pageIndex, Image page);
// The last step of every piece import and paste: piece, already of the record's size, is
// drawn into the record's rectangle on the record's own page (which must exist), unflipped;
// the record and its page become the selected ones.
Outcome PutPieceOnRecordsPage(Project& project, int recordIndex, const Image& piece);

// Texture Pages > Export and Texture Pieces > Export: the page, or the record's cut-out, is
// written in the format of path's extension (any of ImageFormats(), RAW included).
// jpegQuality (0 to 100) is used for jpg, jpe and jpeg. A page or texture that does not exist
// is refused as in ImportPage and ImportPiece.
Outcome ExportPage(const Project& project, int pageIndex, const std::string& path,
                   int jpegQuality = 100);
Outcome ExportPiece(const Project& project, int recordIndex, const std::string& path,
                    int jpegQuality = 100);

// The common export step. RAW is the rows top first, each pixel red, green, blue, no header.
// The target is replaced only by a completely written file.
Outcome SaveImageFile(const Image& image, const std::string& path, int jpegQuality = 100);

// Whether saving to path asks for the JPEG quality first: "jpg", "jpe" and "jpeg" do; "jfif"
// is written with the encoder's own default, without asking.
bool AsksForJpegQuality(const std::string& path);
// The JPEG quality a save to path uses: jpegQuality where it was asked for, the encoder's own
// default for "jfif".
int JpegQualityFor(const std::string& path, int jpegQuality);

// The names the export dialogs propose: "Page%d" and "Texture%d", 1-based.
std::string PageExportName(int pageIndex);
std::string TextureExportName(int recordIndex);

}  // namespace pelmora
