#include "edit/single_image.h"

#include <cstdio>

#include "base/image_io.h"
#include "base/paths.h"
#include "edit/add_pieces.h"

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

Outcome MissingPage(const Project& project, int recordIndex) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "You need to add %d more pages before texture %d is selectable",
                  project.records[recordIndex].Page - project.PageCount() + 1, recordIndex + 1);
    return Outcome::Refused(project.filePath, text);
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

// "Failed To Load Image..." with the reason on the next line; about the image file.
Outcome LoadFailure(const std::string& imagePath, const std::string& why) {
    return Outcome::Refused(imagePath, FailedToLoadImageText(why)).SubjectAfterHeadline();
}

}  // namespace

Outcome ImportPage(Project& project, int pageIndex, const std::string& imagePath) {
    if (!HasPage(project, pageIndex)) return NoSuchPage(project, pageIndex);
    std::string why;
    const auto page = LoadScaled(imagePath, kPageSize, kPageSize, &why);
    if (!page) return LoadFailure(imagePath, why);
    return ReplacePage(project, pageIndex, *page);
}

Outcome ReplacePage(Project& project, int pageIndex, Image page) {
    if (project.pages.ReplaceBitmapHandle(pageIndex, std::move(page)) != 1)
        return Outcome::Failed(project.filePath, "The page could not be replaced.");
    project.selectedPage = pageIndex;
    return Outcome::Done();
}

Outcome ImportPiece(Project& project, int recordIndex, const std::string& imagePath) {
    if (!HasTexture(project, recordIndex)) return NoSuchTexture(project, recordIndex);
    const TextureRecord r = project.records[recordIndex];
    // The piece belongs on its record's page, whichever page the editor happens to show.
    if (r.Page >= project.PageCount()) return MissingPage(project, recordIndex);
    std::string why;
    const auto piece = LoadScaled(imagePath, r.Width(), r.Height(), &why);
    if (!piece) return LoadFailure(imagePath, why);
    return PutPieceOnRecordsPage(project, recordIndex, *piece);
}

Outcome PutPieceOnRecordsPage(Project& project, int recordIndex, const Image& piece) {
    const TextureRecord r = project.records[recordIndex];
    auto page = project.pages.GetBitmap(r.Page);
    if (!page) return Outcome::Failed(project.filePath, "The page could not be read.");
    page->Combine(piece, r.X, r.Y);
    if (project.pages.ReplaceBitmapHandle(r.Page, std::move(*page)) != 1)
        return Outcome::Failed(project.filePath, "The page could not be replaced.");
    project.selectedTexture = recordIndex;
    project.selectedPage = r.Page;
    return Outcome::Done();
}

bool AsksForJpegQuality(const std::string& path) {
    const std::string ext = Lower(ExtensionOf(path));
    return ext == ".jpg" || ext == ".jpe" || ext == ".jpeg";
}

int JpegQualityFor(const std::string& path, int jpegQuality) {
    return AsksForJpegQuality(path) ? jpegQuality : kEncoderDefaultJpegQuality;
}

Outcome SaveImageFile(const Image& image, const std::string& path, int jpegQuality) {
    const ImageFormat format = FormatFromExtension(ExtensionOf(path));
    if (format == ImageFormat::Unknown)
        return Outcome::Refused(path,
                                "\"" + path + "\" does not end in an image format Pelmora writes.");
    std::string error;
    if (!SaveImage(image, path, format, JpegQualityFor(path, jpegQuality), &error))
        return Outcome::Failed(path, error);
    return Outcome::Done(false);
}

Outcome ExportPage(const Project& project, int pageIndex, const std::string& path,
                   int jpegQuality) {
    if (!HasPage(project, pageIndex)) return NoSuchPage(project, pageIndex);
    const auto page = project.pages.GetBitmap(pageIndex);
    // Not a silent success: a script or the user would take the file for written.
    if (!page) return Outcome::Failed(project.filePath, "The page could not be read.");
    return SaveImageFile(*page, path, jpegQuality);
}

Outcome ExportPiece(const Project& project, int recordIndex, const std::string& path,
                    int jpegQuality) {
    if (!HasTexture(project, recordIndex)) return NoSuchTexture(project, recordIndex);
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
