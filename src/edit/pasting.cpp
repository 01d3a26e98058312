#include "edit/pasting.h"

#include "base/image_io.h"
#include "edit/single_image.h"

namespace pelmora {

namespace {

// The image scaled to width x height, or nothing when it is too large to scale: an image
// from another program may be any size, and running out of memory would lose the project.
std::optional<Image> Scaled(const Image& image, int width, int height) {
    if (ImageDecodeCost(image.Width(), image.Height()) > ImageDecodeBudget()) return std::nullopt;
    try {
        Image out = ResizeImage(image, width, height);
        if (out.Width() != width || out.Height() != height) return std::nullopt;
        return out;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

Outcome PastePage(Project& project, int pageIndex, const Image& image) {
    if (pageIndex < 0 || pageIndex >= project.PageCount() || image.IsNull())
        return Outcome::Done(false);
    std::optional<Image> page = Scaled(image, kPageSize, kPageSize);
    if (!page) return Outcome::Refused(project.filePath, kPasteTooLargeMessage);
    return ReplacePage(project, pageIndex, std::move(*page));
}

Outcome PasteTexture(Project& project, int recordIndex, const Image& image) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount() || image.IsNull())
        return Outcome::Done(false);
    const TextureRecord r = project.records[recordIndex];
    if (r.Page >= project.PageCount()) return Outcome::Done(false);
    const std::optional<Image> piece = Scaled(image, r.Width(), r.Height());
    if (!piece) return Outcome::Refused(project.filePath, kPasteTooLargeMessage);
    return PutPieceOnRecordsPage(project, recordIndex, *piece);
}

std::optional<Image> TexturePiece(const Project& project, int recordIndex) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount()) return std::nullopt;
    const TextureRecord& r = project.records[recordIndex];
    const std::optional<Image> page = project.pages.GetBitmap(r.Page);
    if (!page) return std::nullopt;
    return CutPiece(*page, r);
}

}  // namespace pelmora
