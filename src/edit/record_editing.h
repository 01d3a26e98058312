#pragma once

#include <cstdint>
#include <string>

#include "base/outcome.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora {

constexpr const char* kTextureNotEditableFormat = "Texture %d should not be edited...";

// The values of one texture record as a user gives them (in the Texture Record dialog or
// on the command line), before the storing rule: positions and sizes as typed (0 or more),
// the flips as the record stores them, and the page.
struct RecordFields {
    int x = 0;
    int y = 0;
    int width = 1;
    int height = 1;
    int8_t flipX = -1;
    int8_t flipY = -1;
    int page = 0;  // 0-based; ignored with newPage
    // The record goes on the page about to be added behind the last one (the page count
    // at the time); the editor then asks for that page.
    bool newPage = false;
};

// The rule that turns typed values into a record: positions modulo 256, a size that runs
// past the page edge is cut there, a typed size of 0 becomes 256. newPageIndex is the page
// a record on a new page gets.
TextureRecord StoreRecordFields(const RecordFields& fields, int newPageIndex = 0);

// The starting values: for Add New (a 1 x 1 record at 0, 0 on a new page) and for editing a
// record (its own values, sizes 1 to 256).
RecordFields NewRecordFields();
RecordFields FieldsOfRecord(const TextureRecord& record);

// True when the record's page does not exist yet: the editor then runs the New Page dialog,
// which the user may not decline, before it shows the record.
bool RecordNeedsNewPage(const Project& project, int recordIndex);

// Texture Position > Add New after OK: appends the record and selects it (and its page when
// that exists). A page that does not exist (other than a new page) is refused.
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
