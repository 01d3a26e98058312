#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/bitmap_store.h"
#include "base/colour.h"
#include "base/outcome.h"
#include "base/texture_record.h"

namespace pelmora {

constexpr const char* kBaseTitle = "Pelmora v1.0.6.6 (by Brell)";
constexpr uint32_t kVersion129 = 129;
constexpr uint32_t kVersion130 = 130;
// "PELM" read as a little-endian 32-bit number.
constexpr uint32_t kPelmMagic = 0x4D4C4550u;

// The document the editor edits: pages, records, the file they came from and the temporary
// files that go with it. The selected record's cut-out is the editor's, not the document's.
class Project {
public:
    Project();
    ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    std::string filePath;  // empty: no project is open
    uint32_t version = kVersion129;
    std::vector<TextureRecord> records;
    BitmapStore pages;
    int pagesInFile = 0;
    std::string restOfFilePath;  // the bytes of the opened file that follow its pages
    long long restBytes = 0;     // how many bytes follow the pages in the opened file
    // False when the file was opened only to be read and its rest was not copied: saving
    // such a project would lose the rest, so the writer refuses it.
    bool restKept = true;
    Colour newPageColour = 0;

    // What the editor's page and texture lists have selected (0-based, -1 for none). Every
    // operation leaves here the selection the user should see next.
    int selectedPage = -1;
    int selectedTexture = -1;

    bool IsOpen() const { return !filePath.empty(); }
    bool IsTextureOnly() const { return version == kPelmMagic; }
    int PageCount() const { return pages.Count(); }
    int RecordCount() const { return static_cast<int>(records.size()); }

    // Empties records, the pages and the selection; leaves the path, the version and the
    // temporary files alone.
    void ResetProject();
    // Makes (or empties) the rest-of-file temporary file; false, with *error naming the
    // temporary file, when it cannot be made.
    bool RecreateRestFile(std::string* error = nullptr);
    // Appends a blank page in the new page colour; its index, or -1.
    int AddBlankPage();
};

// The window title for the project's state; afterName follows the file name (the editor
// puts its unsaved-changes marker there).
std::string ProjectTitle(const Project& project, const std::string& afterName = {});

// File > New, once the user has chosen where the file will go: one blank page in the new
// page colour, the reserved all-zero record, version "PELM". Nothing is written yet. The
// rest-of-file is emptied, so a new project never carries the tail of an earlier file.
void NewProject(Project& project, const std::string& path);

// File > Close.
void CloseProject(Project& project);

// The core half of showing the selected texture: selects record index and its page and, when
// piece is given, cuts the record's rectangle into *piece from a copy of the page taken under
// the store's lock (so the cut-out matches one whole state of the page). Fails with "You need
// to add %d more pages before texture %d is selectable" when its page does not exist; *piece
// is then left as it was.
Outcome SelectTexture(Project& project, int index, std::optional<Image>* piece = nullptr);

// After an operation that changed the records, selecting the first record may still fail
// (its page does not exist): the work stands and the selection's message is a warning.
// Without a change the selection's refusal is the outcome.
Outcome ShownAfterChange(Outcome shown, bool changed);

// The number the user sees for a 0-based page or texture index. Modular, so that every int
// index has one (a command line's number INT_MIN arrives as index INT_MAX).
int ShownNumber(int index);
// Whether a page or texture index names one of the project's pages or records.
bool HasPage(const Project& project, int pageIndex);
bool HasTexture(const Project& project, int recordIndex);
// The refusal of an index that names no page ("Page 5 does not exist (the file has 2
// pages).") or no texture ("Texture 9 does not exist (the file has 1 texture)."); every
// operation that takes a page or texture index gives it.
Outcome NoSuchPage(const Project& project, int pageIndex);
Outcome NoSuchTexture(const Project& project, int recordIndex);

// The rectangle a record cuts from its page, clipped to the page.
Image CutPiece(const Image& page, const TextureRecord& record);

}  // namespace pelmora
