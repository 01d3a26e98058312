#pragma once

#include <cstdint>
#include <string>

#include "base/outcome.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora {

constexpr const char* kTextureNotEditableFormat = "Texture %d should not be edited...";
constexpr const char* kAddRecordTitleFormat = "Add Texture  Record %d";
constexpr const char* kEditRecordTitleFormat = "Edit Texture  Record %d";
constexpr const char* kRecordDialogTitle = "Texture Record Dialog";

// What the Texture Record dialog holds when OK is pressed: the typed numbers (digits only,
// so 0 or more) and the indices chosen in the three drop-down lists.
struct RecordFields {
    int x = 0;
    int y = 0;
    int width = 1;
    int height = 1;
    int flipXIndex = 0;  // entry "-1" is index 0, entry "0" is index 1
    int flipYIndex = 0;
    // 0-based page; the page count itself is the "Add Page" entry. -1 (no entry chosen)
    // keeps the page an edited record already has.
    int pageIndex = 0;
};

// Flip values and the drop-down entries: -1 is entry 0, 0 is entry 1, anything else shows
// as entry 0.
int FlipIndexOf(int8_t flip);
int8_t FlipValueOf(int index);

// The rule that turns typed values into a record: positions modulo 256, a size that runs
// past the page edge is cut there, a typed size of 0 becomes 256.
TextureRecord StoreRecordFields(const RecordFields& fields, uint16_t pageIfUnchosen = 0);

// The dialog's starting values: for Add New (a 1 x 1 record at 0, 0 on "Add Page") and for
// editing a record (its own values, sizes 1 to 256).
RecordFields NewRecordFields(const Project& project);
RecordFields FieldsOfRecord(const TextureRecord& record);
// "Add Texture  Record %d" with the number the new record will get; "Edit Texture  Record %d".
std::string AddRecordTitle(const Project& project);
std::string EditRecordTitle(int recordIndex);

// True when the record's page does not exist yet: the editor then runs the New Page dialog,
// which the user may not decline, before it shows the record.
bool RecordNeedsNewPage(const Project& project, int recordIndex);

// Texture Position > Add New after OK: appends the record and selects it (and its page when
// that exists).
Outcome AddTextureRecord(Project& project, const RecordFields& fields);

// Refuses the first record (and no selection) with "Texture %d should not be edited...";
// the editor asks this before it opens the dialog.
Outcome CheckRecordEditable(const Project& project, int recordIndex);
// Texture Position > Edit after OK: overwrites the record in place, keeps it selected.
Outcome EditTextureRecord(Project& project, int recordIndex, const RecordFields& fields);

// Add New (from grid): one record per grid cell of page pageIndex, row by row, cells at the
// right and bottom edges cut at the page edge; the last one is selected. A page that does
// not exist and cell sizes below 1 are refused.
Outcome AddRecordsFromGrid(Project& project, int pageIndex, int across, int down);

// The record made by drawing a rectangle on the page canvas between two corners (in any
// order, clamped to the page): X = left, Y = top, Width = right - left, Height = bottom - top,
// flips -1. A rectangle without width or height makes no record.
Outcome AddRecordFromRectangle(Project& project, int pageIndex, int x0, int y0, int x1, int y1);

}  // namespace pelmora
