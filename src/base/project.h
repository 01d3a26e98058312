#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/bitmap_store.h"
#include "base/colour.h"
#include "base/op_result.h"
#include "base/texture_record.h"

namespace pelmora {

constexpr const char* kBaseTitle = "Pelmora v1.0.6.6 (by Brell)";
constexpr uint32_t kVersion129 = 129;
constexpr uint32_t kVersion130 = 130;
// "PELM" read as a little-endian 32-bit number.
constexpr uint32_t kPelmMagic = 0x4D4C4550u;

// The document the editor edits: pages, records, the piece cut out for the selected record,
// the file they came from and the temporary files that go with it.
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
    BitmapStore pieces;  // at most one entry: the selected record's cut-out
    int pagesInFile = 0;
    std::string restOfFilePath;  // the bytes of the opened file that follow its pages
    long long restBytes = 0;     // how many bytes follow the pages in the opened file
    // False when the file was opened only to be read and its rest was not copied: saving
    // such a project would lose the rest, so the writer refuses it.
    bool restKept = true;
    // The duplicate report: a private file made by the first check (see
    // WriteProjectDuplicateReport), empty until then.
    std::string duplicateListPath;
    // Whether the file at duplicateListPath is this project's to remove (on Close and at the
    // end).
    bool duplicateListWritten = false;
    std::string rememberedWadFolder;
    std::array<Colour, 16> customColours{};
    Colour newPageColour = 0;

    // What the editor's page and texture lists have selected (0-based, -1 for none). Every
    // operation leaves here the selection the user should see next.
    int selectedPage = -1;
    int selectedTexture = -1;

    bool IsOpen() const { return !filePath.empty(); }
    bool IsTextureOnly() const { return version == kPelmMagic; }
    int PageCount() const { return pages.Count(); }
    int RecordCount() const { return static_cast<int>(records.size()); }

    // Empties records, both stores and the selection; leaves the path, the version, the
    // remembered folder and the temporary files alone.
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

// The core half of showing the selected texture: selects record index, selects its page and
// cuts its rectangle into the piece store. Fails with "You need to add %d more pages before
// texture %d is selectable" when its page does not exist.
OpResult SelectTexture(Project& project, int index);

// The rectangle a record cuts from its page, clipped to the page.
Image CutPiece(const Image& page, const TextureRecord& record);

}  // namespace pelmora
