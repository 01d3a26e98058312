#include "edit/pasting.h"

#include "store/image_io.h"

namespace pelmora {

OpResult PastePage(Project& project, int pageIndex, const Image& image) {
    if (pageIndex < 0 || pageIndex >= project.PageCount() || image.IsNull())
        return OpResult::Done(false);
    if (project.pages.ReplaceBitmapHandle(pageIndex, ResizeImage(image, kPageSize, kPageSize)) != 1)
        return OpResult::Failed("The page could not be replaced.");
    project.selectedPage = pageIndex;
    return OpResult::Done();
}

OpResult PasteTexture(Project& project, int recordIndex, const Image& image) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount() || image.IsNull())
        return OpResult::Done(false);
    const TextureRecord r = project.records[recordIndex];
    std::optional<Image> page = project.pages.GetBitmap(r.Page);
    if (!page) return OpResult::Done(false);
    page->Combine(ResizeImage(image, r.Width(), r.Height()), r.X, r.Y);
    if (project.pages.ReplaceBitmapHandle(r.Page, std::move(*page)) != 1)
        return OpResult::Failed("The page could not be replaced.");
    project.selectedTexture = recordIndex;
    project.selectedPage = r.Page;
    return OpResult::Done();
}

std::optional<Image> TexturePiece(const Project& project, int recordIndex) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount()) return std::nullopt;
    const TextureRecord& r = project.records[recordIndex];
    const std::optional<Image> page = project.pages.GetBitmap(r.Page);
    if (!page) return std::nullopt;
    return CutPiece(*page, r);
}

}  // namespace pelmora
