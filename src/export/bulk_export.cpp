#include "export/bulk_export.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "base/file_util.h"
#include "edit/single_image.h"
#include "export/parallel_jobs.h"

namespace pelmora {

namespace {

// How many failed files the closing message names one by one.
constexpr int kListedFailures = 5;

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

const ExportFormatInfo* FindFormat(ImageFormat format) {
    for (const ExportFormatInfo& info : kExportFormats)
        if (info.format == format) return &info;
    return nullptr;
}

std::optional<Outcome> CheckFolder(const std::string& folder) {
    if (folder.empty()) return std::nullopt;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return Outcome::Failed(folder, FileErrorMessage(folder));
    if (!S_ISDIR(st.st_mode)) return Outcome::Refused(folder, FileErrorMessage(folder, ENOTDIR));
    return std::nullopt;
}

// Encodes and writes one image; the reason it failed, or nothing.
std::optional<std::string> SaveOne(const Image& image, const std::string& path, ImageFormat format,
                                   int quality) {
    std::string error;
    const auto bytes = EncodeImage(image, format, quality, &error);
    if (!bytes) return "Cannot write \"" + path + "\": " + error;
    if (!WriteFileAtomically(path, *bytes, &error)) return error;
    return std::nullopt;
}

// What went wrong in one export, gathered so that it is told once, at the end.
class ExportReport {
public:
    // subject: the project the export is from, which a one-line report names.
    explicit ExportReport(std::string subject) : subject_(std::move(subject)) {}
    void AddFailure(std::string message) { failures_.push_back(std::move(message)); }
    void SetSkipped(int skipped) { skipped_ = skipped; }
    void CountWritten(int files) { written_ += files; }
    void CountAttempted(int files) { attempted_ += files; }

    Outcome Result() const {
        std::string message;
        if (skipped_ > 0) {
            message = skipped_ == 1
                          ? "1 texture was not exported because its page does not exist."
                          : std::to_string(skipped_) +
                                " textures were not exported because their pages do not exist.";
        }
        if (!failures_.empty()) {
            if (!message.empty()) message += "\n\n";
            if (failures_.size() == 1) {
                message += failures_.front();
            } else {
                message += std::to_string(failures_.size()) + " of " + std::to_string(attempted_) +
                           " files could not be written:";
                for (size_t i = 0; i < failures_.size() && i < kListedFailures; ++i)
                    message += "\n" + failures_[i];
                if (failures_.size() > kListedFailures)
                    message += "\n... and " + std::to_string(failures_.size() - kListedFailures) +
                               " more.";
            }
        }
        if (message.empty()) return Outcome::Done(written_ > 0);
        return Outcome::Failed(subject_, message, written_ > 0);
    }

private:
    std::string subject_;
    std::vector<std::string> failures_;
    int skipped_ = 0;
    int written_ = 0;
    int attempted_ = 0;
};

// Writes one image per index in parallel; image(i) makes the image (or nothing when it
// cannot be had), path(i) names its file.
void WriteImages(int count, const std::function<std::optional<Image>(int)>& image,
                 const std::function<std::string(int)>& path, const ExportOptions& options,
                 const std::string& progressText, const ExportProgress& progress,
                 ExportReport& report) {
    if (count <= 0) return;
    std::vector<std::optional<std::string>> errors(static_cast<size_t>(count));
    if (progress) progress(progressText, 0, count);
    RunJobsInParallel(
        count,
        [&](int i) {
            const std::string file = path(i);
            try {
                const auto picture = image(i);
                errors[i] = picture ? SaveOne(*picture, file, options.format, options.jpegQuality)
                                    : "Cannot write \"" + file + "\": its page cannot be read.";
            } catch (const std::exception& e) {
                errors[i] = "Cannot write \"" + file + "\": " + e.what();
            }
        },
        [&](int done) {
            if (progress) progress(progressText, done, count);
        });
    report.CountAttempted(count);
    for (auto& error : errors) {
        if (error) {
            report.AddFailure(std::move(*error));
        } else {
            report.CountWritten(1);
        }
    }
}

std::string ImageFileName(const char* stem, int number, const ExportFormatInfo& format) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%d.%s", stem, number, format.extension);
    return name;
}

// The texture images of the given records; records whose page does not exist are counted
// as skipped instead of failing one by one.
void WriteTextures(const Project& project, const std::vector<int>& wanted,
                   const ExportOptions& options, const ExportFormatInfo& format,
                   const ExportProgress& progress, ExportReport& report) {
    const int pageCount = project.PageCount();
    std::vector<int> present;
    present.reserve(wanted.size());
    for (const int index : wanted)
        if (project.records[index].Page < pageCount) present.push_back(index);
    report.SetSkipped(static_cast<int>(wanted.size() - present.size()));
    WriteImages(
        static_cast<int>(present.size()),
        [&](int i) -> std::optional<Image> {
            const TextureRecord& r = project.records[present[i]];
            const auto page = project.pages.GetBitmap(r.Page);
            if (!page) return std::nullopt;
            return CutPiece(*page, r);
        },
        [&](int i) {
            return JoinPath(options.folder, ImageFileName("Texture", present[i] + 1, format));
        },
        options, kSavingTexturesText, progress, report);
}

}  // namespace

std::string ShortFolderText(const std::string& folder) {
    // Counted in characters, not bytes: a cut inside a UTF-8 sequence would show as garbage.
    std::vector<size_t> starts;
    for (size_t i = 0; i < folder.size(); ++i) {
        if ((static_cast<unsigned char>(folder[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    if (starts.size() <= 30) return folder;
    return folder.substr(0, starts[3]) + "..." + folder.substr(starts[starts.size() - 24]);
}

Outcome ExportAllPages(const Project& project, const ExportOptions& options,
                       const ExportProgress& progress) {
    if (!project.IsOpen()) return Outcome::Done(false);
    const ExportFormatInfo* format = FindFormat(options.format);
    if (format == nullptr)
        return Outcome::Refused(project.filePath, "Pelmora cannot export in this format.");
    if (auto bad = CheckFolder(options.folder)) return *bad;

    ExportReport report(project.filePath);
    WriteImages(
        project.PageCount(), [&](int i) { return project.pages.GetBitmap(i); },
        [&](int i) { return JoinPath(options.folder, ImageFileName("Page", i + 1, *format)); },
        options, kSavingPagesText, progress, report);
    if (options.format == ImageFormat::Jpeg && options.saveHtmlPage) {
        const Outcome gallery = WritePagesGallery(
            project, JoinPath(options.folder, kPagesGalleryName), "jpg", options.gallery);
        if (!gallery.IsDone()) report.AddFailure(gallery.message);
        report.CountAttempted(1);
        if (gallery.IsDone()) report.CountWritten(1);
    }
    return report.Result();
}

Outcome ExportAllTextures(const Project& project, const ExportOptions& options,
                          const ExportProgress& progress) {
    if (!project.IsOpen()) return Outcome::Done(false);
    const ExportFormatInfo* format = FindFormat(options.format);
    if (format == nullptr)
        return Outcome::Refused(project.filePath, "Pelmora cannot export in this format.");
    if (auto bad = CheckFolder(options.folder)) return *bad;

    ExportReport report(project.filePath);
    std::vector<int> all(project.records.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    WriteTextures(project, all, options, *format, progress, report);
    if (options.format == ImageFormat::Jpeg && options.saveHtmlPage) {
        const Outcome gallery =
            WriteTexturesGallery(project, JoinPath(options.folder, kTexturesGalleryName), "jpg",
                                 options.gallery, progress);
        if (!gallery.IsDone()) report.AddFailure(gallery.message);
        report.CountAttempted(1);
        if (gallery.IsDone()) report.CountWritten(1);
    }
    return report.Result();
}

Outcome ExportPageTextures(const Project& project, int pageIndex, const ExportOptions& options,
                           const ExportProgress& progress) {
    if (!project.IsOpen()) return Outcome::Done(false);
    if (pageIndex < 0 || pageIndex >= project.PageCount()) {
        return Outcome::Refused(project.filePath,
                                "There is no page " + std::to_string(pageIndex + 1) + ".");
    }
    const ExportFormatInfo* format = FindFormat(options.format);
    if (format == nullptr)
        return Outcome::Refused(project.filePath, "Pelmora cannot export in this format.");
    if (auto bad = CheckFolder(options.folder)) return *bad;

    ExportReport report(project.filePath);
    std::vector<int> onPage;
    for (size_t i = 0; i < project.records.size(); ++i)
        if (project.records[i].Page == pageIndex) onPage.push_back(static_cast<int>(i));
    WriteTextures(project, onPage, options, *format, progress, report);
    return report.Result();
}

Outcome ExportSingleImage(const Project& project, const std::string& path, int jpegQuality) {
    const int pageCount = project.PageCount();
    if (!project.IsOpen() || pageCount == 0) return Outcome::Done(false);
    const ImageFormat format = FormatFromExtension(path);
    if (FindFormat(format) == nullptr) {
        return Outcome::Refused(path, "Cannot write \"" + path +
                                          "\": its extension names no format Pelmora exports (" +
                                          ExtensionList(kExportFormats) + ").");
    }
    // Some formats record the height in 16 bits (and JPEG stops at 65,500 rows): say so
    // before composing an image that could not be written.
    const long long maxRows = MaxImageSizeFor(format).second;
    if (static_cast<long long>(pageCount) * kPageSize > maxRows) {
        return Outcome::Refused(
            path, "Cannot write \"" + path + "\": a " + std::string(FindFormat(format)->label) +
                      " file holds at most " + std::to_string(maxRows) + " rows, that is " +
                      std::to_string(maxRows / kPageSize) + " pages; this project has " +
                      std::to_string(pageCount) + ".");
    }
    Image combined(kPageSize, kPageSize * pageCount);
    for (int i = 0; i < pageCount; ++i) {
        const auto page = project.pages.GetBitmap(i);
        if (!page) {
            return Outcome::Failed(path, "Cannot write \"" + path + "\": page " +
                                             std::to_string(i + 1) + " cannot be read.");
        }
        combined.Combine(*page, 0, kPageSize * i);
    }
    std::string error;
    // Asked for by the extension alone, as for a single page: "jfif" gets the encoder's own.
    if (!SaveImage(combined, path, format, JpegQualityFor(path, jpegQuality), &error)) {
        if (error.find(path) == std::string::npos)
            error = "Cannot write \"" + path + "\": " + error;
        return Outcome::Failed(path, error);
    }
    return Outcome::Done(true);
}

}  // namespace pelmora
