#include "edit/page_creation.h"

#include "base/image_io.h"
#include "edit/add_pieces.h"

namespace pelmora {

namespace {

// Appends a page and selects it; false when the store refused it.
bool AppendPage(Project& project, Image&& page) {
    const int index = project.pages.AddBitmapHandle(std::move(page));
    if (index < 0) return false;
    project.selectedPage = index;
    return true;
}

Outcome BlankPageInstead(Project& project, const std::string& path, const std::string& reason) {
    if (!AppendPage(project, Image(kPageSize, kPageSize, project.newPageColour)))
        return Outcome::Failed(project.filePath, "The new page could not be stored.");
    const std::string message = reason.empty()
                                    ? std::string(kFailedToLoadImageBlankPageMessage)
                                    : FailedToLoadImageText(reason) + "\nCreating Blank Page...";
    return Outcome::Warning(path, message).SubjectAfterHeadline();
}

std::optional<Image> LoadPageImage(const std::string& path, std::string& reason) {
    if (path.empty()) return std::nullopt;
    return LoadImage(path, &reason);
}

}  // namespace

Image PageFromImage(const Image& image, bool keepAspect, Colour background) {
    Image page(kPageSize, kPageSize, background);
    int width = kPageSize, height = kPageSize;
    if (keepAspect) FitToPage(image.Width(), image.Height(), width, height);
    // A sliver fitted down to no width or height leaves the page blank.
    if (width >= 1 && height >= 1) page.Combine(ResizeImage(image, width, height), 0, 0);
    return page;
}

std::vector<Image> PagesFromLongImage(const Image& image, Colour background) {
    int width = image.Width(), height = image.Height();
    if (width > kPageSize) {
        height = static_cast<int>(256.0 / width * image.Height());
        width = static_cast<int>(static_cast<double>(height) / image.Height() * image.Width());
    }
    const int total =
        height <= kPageSize ? kPageSize : (height + kPageSize - 1) / kPageSize * kPageSize;
    Image tall(kPageSize, total, background);
    if (width >= 1 && height >= 1) tall.Combine(ResizeImage(image, width, height), 0, 0);
    std::vector<Image> bands;
    for (int top = 0; top < total; top += kPageSize) {
        Image band(kPageSize, kPageSize, background);
        band.Combine(tall, 0, -top);
        bands.push_back(std::move(band));
    }
    return bands;
}

namespace {

Outcome AddPages(Project& project, const NewPageOptions& options) {
    if (!project.IsOpen()) return Outcome::Done(false);
    if (options.kind == NewPageKind::Blank &&
        (options.count < 1 || options.count > kMaxNewPagesAtOnce))
        return Outcome::Refused(project.filePath, "How Many? must be a whole number from 1 to 10.");
    project.newPageColour = options.colour;

    switch (options.kind) {
        case NewPageKind::Blank:
            for (int i = 0; i < options.count; ++i) {
                if (!AppendPage(project, Image(kPageSize, kPageSize, options.colour)))
                    return Outcome::Failed(project.filePath, "The new page could not be stored.",
                                           i > 0);
            }
            return Outcome::Done();
        case NewPageKind::FromImage: {
            std::string why;
            const auto image = LoadPageImage(options.imagePath, why);
            if (!image) return BlankPageInstead(project, options.imagePath, why);
            if (!AppendPage(project, PageFromImage(*image, options.keepAspect, options.colour)))
                return Outcome::Failed(project.filePath, "The new page could not be stored.");
            return Outcome::Done();
        }
        case NewPageKind::FromLongImage: {
            std::string why;
            const auto image = LoadPageImage(options.imagePath, why);
            if (!image) return BlankPageInstead(project, options.imagePath, why);
            // The tall image is at most as many bytes as the decoded one, which the image
            // layer's limits already bound.
            std::vector<Image> bands = PagesFromLongImage(*image, options.colour);
            for (size_t i = 0; i < bands.size(); ++i) {
                if (!AppendPage(project, std::move(bands[i])))
                    return Outcome::Failed(project.filePath, "The new page could not be stored.",
                                           i > 0);
            }
            return Outcome::Done();
        }
    }
    return Outcome::Done(false);
}

}  // namespace

Outcome AddNewPages(Project& project, const NewPageOptions& options) {
    try {
        return AddPages(project, options);
    } catch (const std::exception& e) {
        // The image library gave up part-way (out of memory, say): whatever pages were
        // appended stay, and the user is told the image could not be used.
        return BlankPageInstead(project, options.imagePath,
                                "\"" + options.imagePath + "\" could not be used: " + e.what());
    }
}

}  // namespace pelmora
