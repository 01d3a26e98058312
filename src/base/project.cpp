#include "base/project.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "base/file_util.h"
#include "base/paths.h"
#include "base/temp_files.h"

namespace pelmora {

namespace {

std::string MakeTempFile() {
    std::string pattern = TempFolder() + "PelXXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    RegisterTempFile(pattern);
    return pattern;
}

}  // namespace

Project::Project() {
    restOfFilePath = MakeTempFile();
}

Project::~Project() {
    ResetProject();
    RemoveTempFile(restOfFilePath);
}

void Project::ResetProject() {
    pages.ClearBitmaps();
    records.clear();
    selectedPage = -1;
    selectedTexture = -1;
}

bool Project::RecreateRestFile(std::string* error) {
    if (!restOfFilePath.empty()) {
        // Only ever our own file: never created again under a name that was let go.
        const int fd = ::open(restOfFilePath.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        UnregisterTempFile(restOfFilePath);
    }
    restOfFilePath = MakeTempFile();
    if (restOfFilePath.empty()) {
        // Without a name the folder is what failed; the pattern shows where the file was to go.
        if (error) *error = FileErrorMessage(TempFolder() + "PelXXXXXX");
        return false;
    }
    return true;
}

int Project::AddBlankPage() {
    return pages.AddBitmapHandle(Image(kPageSize, kPageSize, newPageColour));
}

std::string ProjectTitle(const Project& project, const std::string& afterName) {
    if (!project.IsOpen()) return kBaseTitle;
    char title[4096];
    if (project.IsTextureOnly()) {
        std::snprintf(title, sizeof title, "%s - [%s%s] wad version %s", kBaseTitle,
                      FileNameOf(project.filePath).c_str(), afterName.c_str(), "PELM");
    } else {
        std::snprintf(title, sizeof title, "%s - [%s%s] wad version %d", kBaseTitle,
                      FileNameOf(project.filePath).c_str(), afterName.c_str(),
                      static_cast<int>(project.version));
    }
    return title;
}

void NewProject(Project& project, const std::string& path) {
    project.ResetProject();
    project.filePath = path;
    project.version = kPelmMagic;
    project.RecreateRestFile();
    project.restBytes = 0;
    project.restKept = true;
    project.records.push_back(TextureRecord{});
    project.AddBlankPage();
    project.pagesInFile = 1;
    project.selectedPage = 0;
    project.selectedTexture = 0;
}

void CloseProject(Project& project) {
    project.ResetProject();
    project.pagesInFile = 0;
    project.filePath.clear();
    RemoveTempFile(project.restOfFilePath);
    // A deleted temporary file's name is free for anyone to take (as a link to one of the
    // user's files, say): the next Open or New makes a new file instead of opening it again.
    project.restOfFilePath.clear();
}

Outcome ShownAfterChange(Outcome shown, bool changed) {
    if (shown.IsDone() || !changed) return shown;
    return Outcome::Warning(std::move(shown.subject), std::move(shown.message));
}

int ShownNumber(int index) {
    return static_cast<int>(static_cast<unsigned>(index) + 1u);
}

bool HasPage(const Project& project, int pageIndex) {
    return pageIndex >= 0 && pageIndex < project.PageCount();
}

bool HasTexture(const Project& project, int recordIndex) {
    return recordIndex >= 0 && recordIndex < project.RecordCount();
}

namespace {

Outcome NoSuch(const Project& project, const char* what, int index, int count) {
    char text[160];
    std::snprintf(text, sizeof text, "%s %d does not exist (the file has %d %s%s).", what,
                  ShownNumber(index), count, what[0] == 'P' ? "page" : "texture",
                  count == 1 ? "" : "s");
    return Outcome::Refused(project.filePath, text);
}

}  // namespace

Outcome NoSuchPage(const Project& project, int pageIndex) {
    return NoSuch(project, "Page", pageIndex, project.PageCount());
}

Outcome NoSuchTexture(const Project& project, int recordIndex) {
    return NoSuch(project, "Texture", recordIndex, project.RecordCount());
}

Image CutPiece(const Image& page, const TextureRecord& r) {
    const int right = std::min(r.X + r.Width(), page.Width());
    const int bottom = std::min(r.Y + r.Height(), page.Height());
    return page.Copy(r.X, r.Y, std::max(right - r.X, 1), std::max(bottom - r.Y, 1));
}

Outcome SelectTexture(Project& project, int index, std::optional<Image>* piece) {
    if (index < 0 || index >= project.RecordCount()) return Outcome::Done(false);
    project.selectedTexture = index;
    const TextureRecord& r = project.records[index];
    const int pageCount = project.PageCount();
    if (r.Page + 1 > pageCount) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "You need to add %d more pages before texture %d is selectable",
                      r.Page - pageCount + 1, index + 1);
        return Outcome::Refused(project.filePath, text);
    }
    const auto page = project.pages.GetBitmap(r.Page);
    if (!page) return Outcome::Failed(project.filePath, "The page of this texture cannot be read.");
    if (piece) *piece = CutPiece(*page, r);
    project.selectedPage = r.Page;
    return Outcome::Done(false);
}

}  // namespace pelmora
