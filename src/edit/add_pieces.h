#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "base/image.h"
#include "base/project.h"

namespace pelmora {

constexpr const char* kFailedToLoadImageMessage = "Failed To Load Image...";
constexpr const char* kGatheringFilesTitle = "Gathering Files...";
constexpr const char* kSortingFilesTitle = "Sorting Files...";
constexpr const char* kSortingCompleteTitle = "Sorting Complete...";
constexpr const char* kLoadingFilesTitle = "Loading Files...";

// The order in which chosen files are added (the values are kept in the settings file).
enum class FileSortOrder : int { Name = 1, SizeAscending = 2, SizeDescending = 3 };

// What the adding reports while it runs. Every callback is called on the thread that runs
// AddPiecesFromFiles, in order; any may be empty.
struct AddPiecesCallbacks {
    // "Gathering Files...", "Sorting Files...", "Sorting Complete...", "Loading Files...".
    std::function<void(const std::string& title)> setTitle;
    // One step of the progress bar while files are gathered.
    std::function<void()> stepGathering;
    // After file i of n (1-based) was handled, placed or skipped: percent = i * 100 / n and
    // the file's name without its folder. The caller builds
    // "Adding Texture %d of %d, %d%% done%s [%s]" with its own time-remaining text.
    std::function<void(int i, int n, int percent, const std::string& fileName)> progress;
    // A piece was placed: the index of its new record (its page is record.Page) and the file
    // it came from. The caller may read the project here; the adding waits until the
    // callback returns.
    std::function<void(int recordIndex, const std::string& path)> piecePlaced;
    // A file was skipped: the message (FailedToLoadImageText of the reason) and the file.
    std::function<void(const std::string& message, const std::string& path)> fileFailed;
};

struct AddPiecesResult {
    int placed = 0;
    int pagesAdded = 0;
    std::vector<std::string> failedFiles;
    std::vector<std::string> failureReasons;  // one per failed file, each naming its file
    bool stopped = false;
};

// The message for an image that was skipped: "Failed To Load Image..." and, on a line of its
// own, the reason (which names the file).
std::string FailedToLoadImageText(const std::string& reason);

// The box that ends a run in which files were skipped: how many, then the first 20 of them
// one a line, then how many more.
std::string SkippedFilesSummary(const std::vector<std::string>& skipped, int total);

// Texture Pieces > Add New, once the files are chosen: orders them, loads and scales each,
// places it first-fit (row by row, pixel by pixel, from page 1 on, adding pages in the new
// page colour when none has room) and appends its record. Stops before the next file once
// stop is set; what was added stays.
//
// Images are decoded and scaled ahead on threads of its own (one per core; the image
// library's own threads are set to 1 for that), but placed strictly in list order on the
// calling thread, which is also the one every callback runs on. While it runs, the caller
// may read pages through the store at any time; records and the selection only inside
// piecePlaced (or after the return). A project with no open file is left alone.
AddPiecesResult AddPiecesFromFiles(Project& project, const std::vector<std::string>& files,
                                   FileSortOrder order, const std::atomic<bool>& stop,
                                   const AddPiecesCallbacks& callbacks = {});

// Natural file-name order: digit runs compare by length first, then digit by digit; other
// characters compare as signed bytes (so capitals come before small letters).
bool NaturalNameLess(const std::string& a, const std::string& b);

// The size an image is scaled to so that it fits a 256 x 256 page; never enlarged. A side
// may come out as 0 for very elongated images, which cannot be placed.
void FitToPage(int width, int height, int& fittedWidth, int& fittedHeight);

// Tries to place one piece on page k; true when it was placed (page updated, record
// appended and selected).
bool PlacePieceOnPage(Project& project, const Image& piece, int pageIndex);

// "Adding Texture %d of %d, %d%% done%s [%s]" with the caller's time-remaining text (which
// begins with a blank) and the file name.
std::string AddingTextureText(int i, int n, int percent, const std::string& etr,
                              const std::string& fileName);

}  // namespace pelmora
