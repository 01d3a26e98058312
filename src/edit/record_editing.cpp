#include "edit/record_editing.h"

#include <algorithm>
#include <cstdio>

namespace pelmora {

namespace {

std::string Format(const char* format, int number) {
    char text[128];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// A typed size measured from a typed position: cut at the page edge when it runs past it.
int StoredSize(int position, int size) {
    if (static_cast<long long>(position) + size > kPageSize) return kPageSize - (position & 0xFF);
    return size;
}

// Selects a record, and its page when that exists (otherwise the editor adds one first).
void SelectRecord(Project& project, int recordIndex) {
    project.selectedTexture = recordIndex;
    const int page = project.records[recordIndex].Page;
    if (page < project.PageCount()) project.selectedPage = page;
}

}  // namespace

TextureRecord StoreRecordFields(const RecordFields& f, int newPageIndex) {
    TextureRecord r;
    r.X = static_cast<uint8_t>(f.x & 0xFF);
    r.Y = static_cast<uint8_t>(f.y & 0xFF);
    r.SetWidth(StoredSize(f.x, f.width));
    r.SetHeight(StoredSize(f.y, f.height));
    r.FlipX = f.flipX;
    r.FlipY = f.flipY;
    r.Page = static_cast<uint16_t>(f.newPage ? newPageIndex : f.page);
    return r;
}

RecordFields NewRecordFields() {
    RecordFields f;
    f.newPage = true;
    return f;
}

RecordFields FieldsOfRecord(const TextureRecord& r) {
    return {r.X, r.Y, r.Width(), r.Height(), r.FlipX, r.FlipY, r.Page, false};
}

bool RecordNeedsNewPage(const Project& project, int recordIndex) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount()) return false;
    return project.records[recordIndex].Page >= project.PageCount();
}

Outcome AddTextureRecord(Project& project, const RecordFields& fields) {
    if (!project.IsOpen()) return Outcome::Done(false);
    if (!fields.newPage && !HasPage(project, fields.page)) return NoSuchPage(project, fields.page);
    project.records.push_back(StoreRecordFields(fields, project.PageCount()));
    SelectRecord(project, project.RecordCount() - 1);
    return Outcome::Done();
}

Outcome CheckRecordEditable(const Project& project, int recordIndex) {
    if (recordIndex < 1)
        return Outcome::Refused(project.filePath,
                                Format(kTextureNotEditableFormat, recordIndex + 1));
    if (recordIndex >= project.RecordCount())
        return Outcome::Refused(project.filePath, "There is no such texture.");
    return Outcome::Done(false);
}

Outcome EditTextureRecord(Project& project, int recordIndex, const RecordFields& fields) {
    if (Outcome check = CheckRecordEditable(project, recordIndex); !check.IsDone()) return check;
    TextureRecord& record = project.records[recordIndex];
    record = StoreRecordFields(fields, project.PageCount());
    SelectRecord(project, recordIndex);
    return Outcome::Done();
}

Outcome AddRecordsFromGrid(Project& project, int pageIndex, int across, int down) {
    if (!project.IsOpen()) return Outcome::Done(false);
    if (!HasPage(project, pageIndex)) return NoSuchPage(project, pageIndex);
    if (across < 1 || down < 1)
        return Outcome::Refused(project.filePath, "The grid cells must be at least 1 pixel.");
    for (int y = 0; y < kPageSize; y += down) {
        for (int x = 0; x < kPageSize; x += across) {
            const int width = x + across > kPageSize ? kPageSize - x : across;
            const int height = y + down > kPageSize ? kPageSize - y : down;
            project.records.push_back(MakeRecord(x, y, width, height, pageIndex, -1, -1));
        }
    }
    SelectRecord(project, project.RecordCount() - 1);
    return Outcome::Done();
}

Outcome AddRecordFromRectangle(Project& project, int pageIndex, int x0, int y0, int x1, int y1) {
    if (!project.IsOpen() || pageIndex < 0) return Outcome::Done(false);
    const auto clamp = [](int v) { return std::clamp(v, 0, kPageSize); };
    const int left = clamp(std::min(x0, x1)), right = clamp(std::max(x0, x1));
    const int top = clamp(std::min(y0, y1)), bottom = clamp(std::max(y0, y1));
    if (right - left <= 0 || bottom - top <= 0) return Outcome::Done(false);
    project.records.push_back(MakeRecord(left, top, right - left, bottom - top, pageIndex, -1, -1));
    SelectRecord(project, project.RecordCount() - 1);
    return Outcome::Done();
}

}  // namespace pelmora
