#pragma once

#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// The operations below never ask (the editor's retexture warning is the caller's).
constexpr const char* kTextureNotDeletableFormat = "Texture %d should not be deleted...";

// Texture Pages > Delete of page pageIndex: removes the records on it (never the first
// record) and moves the records of later pages down by one page. Page 1 is not removed but
// cleared to the new page colour. Selects the highest page any record uses and the first
// record on it. A page that does not exist is refused (NoSuchPage).
Outcome DeletePage(Project& project, int pageIndex);

// Texture Pieces > Delete: paints the record's rectangle in the new page colour and removes
// the record. A texture that does not exist, the first record ("Texture 1 should not be
// deleted...") and a record whose page does not exist ("The page of texture %d does not
// exist.") are refused; the editor ends those refusals silently.
Outcome DeletePiece(Project& project, int recordIndex);

// Texture Position > Delete: removes the record only; the page keeps its pixels. A texture
// that does not exist is refused (NoSuchTexture), and so is the first record with "Texture %d
// should not be deleted...". Selects the record before.
Outcome DeleteRecord(Project& project, int recordIndex);

}  // namespace pelmora
