#include "edit/add_pieces.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "edit/piece_loader.h"
#include "edit/placement_index.h"
#include "base/file_util.h"
#include "base/paths.h"

namespace pelmora {

namespace {

// A file whose size cannot be read sorts as the largest there can be.
constexpr uint32_t kUnknownFileSize = 0xFFFFFFFFu;
// The record's Page is 16 bits: a piece cannot go on a page it could not name.
constexpr int kMaxPages = 65536;
// A summary box longer than this would not fit on a screen.
constexpr size_t kSummaryNamedFiles = 20;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Copies the piece onto page k at (x, y) in place, appends its record and selects it.
void CommitPiece(Project& project, const Image& piece, int page, PieceSpot spot) {
    project.pages.WriteBitmap(page, [&](const BitmapHeader& h) {
        const int width = std::min(piece.Width(), h.width - spot.x);
        const int height = std::min(piece.Height(), h.height - spot.y);
        const size_t stride = RowStride(h.width);
        for (int row = 0; row < height; ++row) {
            std::memcpy(h.bits + (spot.y + row) * stride + 3 * spot.x, piece.Row(row),
                        3 * static_cast<size_t>(width));
        }
    });
    project.records.push_back(
        MakeRecord(spot.x, spot.y, piece.Width(), piece.Height(), page, -1, -1));
    project.selectedTexture = project.RecordCount() - 1;
    project.selectedPage = page;
}

struct GatheredFile {
    std::string path;
    uint32_t size = 0;
};

std::vector<std::string> GatherAndSort(const std::vector<std::string>& files, FileSortOrder order,
                                       const std::atomic<bool>& stop,
                                       const AddPiecesCallbacks& callbacks, bool& stopped) {
    if (callbacks.setTitle) callbacks.setTitle(kGatheringFilesTitle);
    std::vector<GatheredFile> gathered;
    gathered.reserve(files.size());
    for (const std::string& path : files) {
        if (stop.load()) {
            stopped = true;
            break;
        }
        GatheredFile file{path, 0};
        if (order != FileSortOrder::Name) {
            const long long size = FileSize(path);
            file.size = size < 0 ? kUnknownFileSize : static_cast<uint32_t>(size);
        }
        gathered.push_back(std::move(file));
        if (callbacks.stepGathering) callbacks.stepGathering();
    }

    if (callbacks.setTitle) callbacks.setTitle(kSortingFilesTitle);
    switch (order) {
        case FileSortOrder::Name:
            std::sort(gathered.begin(), gathered.end(),
                      [](const auto& a, const auto& b) { return NaturalNameLess(a.path, b.path); });
            break;
        case FileSortOrder::SizeAscending:
            std::stable_sort(gathered.begin(), gathered.end(),
                             [](const auto& a, const auto& b) { return a.size < b.size; });
            break;
        case FileSortOrder::SizeDescending:
            std::stable_sort(gathered.begin(), gathered.end(),
                             [](const auto& a, const auto& b) { return a.size > b.size; });
            break;
    }
    if (callbacks.setTitle) {
        callbacks.setTitle(kSortingCompleteTitle);
        callbacks.setTitle(kLoadingFilesTitle);
    }
    std::vector<std::string> sorted;
    sorted.reserve(gathered.size());
    for (auto& file : gathered) sorted.push_back(std::move(file.path));
    return sorted;
}

// Adds blank pages in the new page colour straight into the store: adding a few thousand
// pieces makes hundreds of pages. A grey colour (black and white are the usual ones) is a
// single byte repeated; any other is copied from one prepared page.
class BlankPages {
public:
    explicit BlankPages(Colour colour) : page_(kPageSize, kPageSize, colour) {
        const uint8_t* pixel = page_.Row(0);
        if (pixel[0] == pixel[1] && pixel[1] == pixel[2]) greyByte_ = pixel[0];
    }
    int Add(Project& project) {
        const BitmapHeader shape = page_.Header();
        const size_t bytes = BitmapByteSize(shape);
        return project.pages.AddBitmaps(shape, 1, [&](int, uint8_t* bits) {
            if (greyByte_) {
                std::memset(bits, *greyByte_, bytes);
            } else {
                std::memcpy(bits, shape.bits, bytes);
            }
        });
    }

private:
    Image page_;
    std::optional<uint8_t> greyByte_;
};

// Places one piece first-fit from page 0 on, adding pages in the new page colour when none
// has room. The record's index, or -1 when no page could take it.
int PlaceFirstFit(Project& project, PlacementIndex& index, BlankPages& blankPages,
                  const Image& piece, int& pagesAdded) {
    for (int k = 0; k < kMaxPages; ++k) {
        if (k >= project.PageCount()) {
            if (blankPages.Add(project) < 0) return -1;
            index.AddPage();
            ++pagesAdded;
            project.selectedPage = k;
        }
        if (const auto spot = index.FindSpot(k, piece.Width(), piece.Height())) {
            CommitPiece(project, piece, k, *spot);
            index.Occupy(k, spot->x, spot->y, piece.Width(), piece.Height());
            return project.RecordCount() - 1;
        }
    }
    return -1;
}

}  // namespace

bool NaturalNameLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (true) {
        if (i >= a.size() || j >= b.size()) return i >= a.size() && j < b.size();
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            // The shorter run is the smaller number, leading zeros or not.
            if (endA - i != endB - j) return endA - i < endB - j;
            for (; i < endA; ++i, ++j) {
                if (a[i] != b[j]) return a[i] < b[j];
            }
            continue;
        }
        const auto ca = static_cast<signed char>(a[i]), cb = static_cast<signed char>(b[j]);
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
}

void FitToPage(int width, int height, int& fittedWidth, int& fittedHeight) {
    fittedWidth = width;
    fittedHeight = height;
    if (width <= kPageSize && height <= kPageSize) return;
    // The double expressions and their truncation decide sizes such as 300 x 200 -> 255 x 170;
    // they are kept exactly so that files come out as they always have.
    const double w = width, h = height;
    if (w / h >= 1.0) {
        fittedHeight = static_cast<int>(256.0 / w * h);
        fittedWidth = static_cast<int>(fittedHeight / h * w);
    } else {
        fittedWidth = static_cast<int>(256.0 / h * w);
        fittedHeight = static_cast<int>(fittedWidth / w * h);
    }
}

bool PlacePieceOnPage(Project& project, const Image& piece, int pageIndex) {
    if (piece.IsNull() || pageIndex < 0 || pageIndex >= project.PageCount()) return false;
    PlacementIndex index(project.records, project.PageCount());
    const auto spot = index.FindSpot(pageIndex, piece.Width(), piece.Height());
    if (!spot) return false;
    CommitPiece(project, piece, pageIndex, *spot);
    return true;
}

std::string FailedToLoadImageText(const std::string& reason) {
    if (reason.empty()) return kFailedToLoadImageMessage;
    return std::string(kFailedToLoadImageMessage) + "\n" + reason;
}

std::string SkippedFilesSummary(const std::vector<std::string>& skipped, int total) {
    std::string text = std::to_string(skipped.size()) + " of " + std::to_string(total) +
                       (total == 1 ? " image was" : " images were") + " not added:";
    for (size_t i = 0; i < skipped.size() && i < kSummaryNamedFiles; ++i) text += "\n" + skipped[i];
    if (skipped.size() > kSummaryNamedFiles)
        text += "\n... and " + std::to_string(skipped.size() - kSummaryNamedFiles) + " more.";
    return text;
}

std::string AddingTextureText(int i, int n, int percent, const std::string& etr,
                              const std::string& fileName) {
    const int size = std::snprintf(nullptr, 0, "Adding Texture %d of %d, %d%% done%s [%s]", i, n,
                                   percent, etr.c_str(), fileName.c_str());
    std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, "Adding Texture %d of %d, %d%% done%s [%s]", i, n,
                  percent, etr.c_str(), fileName.c_str());
    return text;
}

AddPiecesResult AddPiecesFromFiles(Project& project, const std::vector<std::string>& files,
                                   FileSortOrder order, const std::atomic<bool>& stop,
                                   const AddPiecesCallbacks& callbacks) {
    AddPiecesResult result;
    if (!project.IsOpen()) return result;
    const std::vector<std::string> sorted =
        GatherAndSort(files, order, stop, callbacks, result.stopped);
    if (result.stopped || sorted.empty()) return result;

    PlacementIndex index(project.records, project.PageCount());
    BlankPages blankPages(project.newPageColour);
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // Transparent parts take the colour of the new pages; on an older page that shows
    // another colour they still look like the usual page background.
    PieceLoader loader(sorted, threads, 8 * threads + 8, project.newPageColour);
    const int n = static_cast<int>(sorted.size());
    for (int i = 1; i <= n; ++i) {
        if (stop.load()) {
            result.stopped = true;
            break;
        }
        const std::string& path = sorted[i - 1];
        std::string reason;
        const std::optional<Image> piece = loader.Take(static_cast<size_t>(i - 1), &reason);
        const int record =
            piece ? PlaceFirstFit(project, index, blankPages, *piece, result.pagesAdded) : -1;
        if (record >= 0) {
            ++result.placed;
            if (callbacks.piecePlaced) callbacks.piecePlaced(record, path);
        } else {
            if (piece) {
                reason = "\"" + path +
                         "\" found no room: the file has the most pages it can hold (" +
                         std::to_string(kMaxPages) + ").";
            } else if (reason.empty()) {
                reason = "\"" + path + "\" could not be loaded.";
            }
            result.failedFiles.push_back(path);
            result.failureReasons.push_back(reason);
            if (callbacks.fileFailed) callbacks.fileFailed(FailedToLoadImageText(reason), path);
        }
        if (callbacks.progress)
            callbacks.progress(i, n, static_cast<int>(i * 100LL / n), FileNameOf(path));
    }
    return result;
}

}  // namespace pelmora
