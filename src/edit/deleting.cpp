#include "edit/deleting.h"

#include <algorithm>
#include <cstdio>

namespace pelmora {

namespace {

// After a page is gone: the highest page any record uses, and the first record on it.
void SelectHighestUsedPage(Project& project) {
    if (project.records.empty()) {
        project.selectedTexture = -1;
        project.selectedPage = project.PageCount() > 0 ? 0 : -1;
        return;
    }
    int highest = 0;
    for (const TextureRecord& r : project.records) highest = std::max<int>(highest, r.Page);
    for (int i = 0; i < project.RecordCount(); ++i) {
        if (project.records[i].Page == highest) {
            project.selectedTexture = i;
            break;
        }
    }
    // A record may name a page that does not exist; the page list then has nothing to show
    // for it, and the last page is the nearest there is.
    project.selectedPage = std::min(highest, project.PageCount() - 1);
}

Outcome FirstTextureRefused(const Project& project) {
    char text[96];
    std::snprintf(text, sizeof text, kTextureNotDeletableFormat, 1);
    return Outcome::Refused(project.filePath, text);
}

}  // namespace

Outcome DeletePage(Project& project, int pageIndex) {
    if (!HasPage(project, pageIndex)) return NoSuchPage(project, pageIndex);

    std::vector<TextureRecord> kept;
    kept.reserve(project.records.size());
    for (int i = 0; i < project.RecordCount(); ++i) {
        TextureRecord r = project.records[i];
        if (i > 0) {
            if (r.Page == pageIndex) continue;
            if (pageIndex > 0 && r.Page > pageIndex) --r.Page;
        }
        kept.push_back(r);
    }

    if (pageIndex > 0) {
        if (project.pages.DeleteBitmap(pageIndex) != 1)
            return Outcome::Failed(project.filePath, "The page could not be deleted.");
    } else {
        // The first page is never removed, only cleared: a file always keeps one page.
        if (project.pages.ReplaceBitmapHandle(
                0, Image(kPageSize, kPageSize, project.newPageColour)) != 1)
            return Outcome::Failed(project.filePath, "The page could not be cleared.");
    }
    project.records = std::move(kept);
    SelectHighestUsedPage(project);
    return Outcome::Done();
}

Outcome DeleteRecord(Project& project, int recordIndex) {
    if (!project.IsOpen()) return Outcome::Done(false);
    if (!HasTexture(project, recordIndex)) return NoSuchTexture(project, recordIndex);
    if (recordIndex == 0) return FirstTextureRefused(project);
    project.records.erase(project.records.begin() + recordIndex);
    project.selectedTexture = std::max(recordIndex - 1, 0);
    const int page = project.records[project.selectedTexture].Page;
    if (page < project.PageCount()) project.selectedPage = page;
    return Outcome::Done();
}

Outcome DeletePiece(Project& project, int recordIndex) {
    if (!HasTexture(project, recordIndex)) return NoSuchTexture(project, recordIndex);
    if (recordIndex == 0) return FirstTextureRefused(project);
    const TextureRecord r = project.records[recordIndex];
    if (r.Page >= project.PageCount()) {
        char text[96];
        std::snprintf(text, sizeof text, "The page of texture %d does not exist.", recordIndex + 1);
        return Outcome::Refused(project.filePath, text);
    }
    const Colour colour = project.newPageColour;
    // The whole piece is painted, its last column and row included, so nothing of it stays
    // behind to be mistaken for a texture.
    const bool painted = project.pages.WriteBitmap(r.Page, [&](const BitmapHeader& h) {
        const int right = std::min(r.X + r.Width(), static_cast<int>(h.width));
        const int bottom = std::min(r.Y + r.Height(), static_cast<int>(h.height));
        const size_t stride = RowStride(h.width);
        for (int y = r.Y; y < bottom; ++y) {
            uint8_t* p = h.bits + y * stride + 3 * r.X;
            for (int x = r.X; x < right; ++x, p += 3) {
                p[0] = RedOf(colour);
                p[1] = GreenOf(colour);
                p[2] = BlueOf(colour);
            }
        }
    });
    if (!painted) return Outcome::Failed(project.filePath, "The page could not be changed.");
    return DeleteRecord(project, recordIndex);
}

}  // namespace pelmora
