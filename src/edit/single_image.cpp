#include "edit/single_image.h"

#include <cstdio>

#include "edit/add_pieces.h"
#include "base/image_io.h"
#include "base/paths.h"

namespace pelmora {

namespace {

// The encoder's own quality, used where the user is not asked ("jfif").
constexpr int kEncoderDefaultJpegQuality = 75;

std::string Numbered(const char* format, int number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

OpResult MissingPage(const Project& project, int recordIndex) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "You need to add %d more pages before texture %d is selectable",
                  project.records[recordIndex].Page - project.PageCount() + 1, recordIndex + 1);
    return OpResult::Failed(text);
}

// The image in a file stretched to width x height; nothing when it cannot be had, and
// *error then says why.
std::optional<Image> LoadScaled(const std::string& path, int width, int height,
                                std::string* error) {
    try {
        return LoadScaledImage(
            path,
            [=](int, int) {
                return std::pair{width, height};
            },
            error);
    } catch (const std::exception& e) {
        *error = "\"" + path + "\" could not be loaded: " + e.what();
        return std::nullopt;
    }
}

}  // namespace

OpResult ImportPage(Project& project, int pageIndex, const std::string& imagePath) {
    if (pageIndex < 0 || pageIndex >= project.PageCount()) return OpResult::Done(false);
    std::string why;
    const auto page = LoadScaled(imagePath, kPageSize, kPageSize, &why);
    if (!page) return OpResult::Failed(FailedToLoadImageText(why));
    return ReplacePage(project, pageIndex, *page);
}

OpResult ReplacePage(Project& project, int pageIndex, Image page) {
    if (project.pages.ReplaceBitmapHandle(pageIndex, std::move(page)) != 1)
        return OpResult::Failed("The page could not be replaced.");
    project.selectedPage = pageIndex;
    return OpResult::Done();
}

OpResult ImportPiece(Project& project, int recordIndex, const std::string& imagePath) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount()) return OpResult::Done(false);
    const TextureRecord r = project.records[recordIndex];
    // The piece belongs on its record's page, whichever page the editor happens to show.
    if (r.Page >= project.PageCount()) return MissingPage(project, recordIndex);
    std::string why;
    const auto piece = LoadScaled(imagePath, r.Width(), r.Height(), &why);
    if (!piece) return OpResult::Failed(FailedToLoadImageText(why));
    return PutPieceOnRecordsPage(project, recordIndex, *piece);
}

OpResult PutPieceOnRecordsPage(Project& project, int recordIndex, const Image& piece) {
    const TextureRecord r = project.records[recordIndex];
    auto page = project.pages.GetBitmap(r.Page);
    if (!page) return OpResult::Failed("The page could not be read.");
    page->Combine(piece, r.X, r.Y);
    if (project.pages.ReplaceBitmapHandle(r.Page, std::move(*page)) != 1)
        return OpResult::Failed("The page could not be replaced.");
    project.selectedTexture = recordIndex;
    project.selectedPage = r.Page;
    return OpResult::Done();
}

bool AsksForJpegQuality(const std::string& path) {
    const std::string ext = Lower(ExtensionOf(path));
    return ext == ".jpg" || ext == ".jpe" || ext == ".jpeg";
}

int JpegQualityFor(const std::string& path, int jpegQuality) {
    return AsksForJpegQuality(path) ? jpegQuality : kEncoderDefaultJpegQuality;
}

OpResult SaveImageFile(const Image& image, const std::string& path, int jpegQuality) {
    const ImageFormat format = FormatFromExtension(ExtensionOf(path));
    if (format == ImageFormat::Unknown)
        return OpResult::Failed("\"" + path + "\" does not end in an image format Pelmora writes.");
    std::string error;
    if (!SaveImage(image, path, format, JpegQualityFor(path, jpegQuality), &error))
        return OpResult::Failed(error);
    return OpResult::Done(false);
}

OpResult ExportPage(const Project& project, int pageIndex, const std::string& path,
                    int jpegQuality) {
    const auto page = project.pages.GetBitmap(pageIndex);
    if (!page) return OpResult::Done(false);
    return SaveImageFile(*page, path, jpegQuality);
}

OpResult ExportPiece(const Project& project, int recordIndex, const std::string& path,
                     int jpegQuality) {
    if (recordIndex < 0 || recordIndex >= project.RecordCount()) return OpResult::Done(false);
    const TextureRecord& r = project.records[recordIndex];
    const auto page = project.pages.GetBitmap(r.Page);
    if (!page) return MissingPage(project, recordIndex);
    return SaveImageFile(CutPiece(*page, r), path, jpegQuality);
}

std::string PageExportName(int pageIndex) {
    return Numbered("Page%d", pageIndex + 1);
}

std::string TextureExportName(int recordIndex) {
    return Numbered("Texture%d", recordIndex + 1);
}

}  // namespace pelmora
