#include "wad/wad_open.h"

#include <vector>

#include "base/paths.h"
#include "wad/wad_reader.h"

namespace pelmora {

namespace {

// Appends the file's pages to the store; a page cut short by the end of the file is white
// where bytes are missing. False when the store could not take them (out of memory).
bool ReadPages(WadFileReader& reader, int count, BitmapStore& store) {
    BitmapHeader shape;
    shape.width = kPageSize;
    shape.height = kPageSize;
    shape.widthBytes = kPageSize * 3;
    const bool read = count <= 0 || store.AddBitmaps(shape, count, [&reader](int i, uint8_t* bits) {
        reader.ReadPage(i, bits);
    }) >= 0;
    reader.SkipPages(count);
    return read;
}

std::string CannotHoldPagesMessage(const std::string& path) {
    return "Cannot read \"" + path + "\": there is not enough memory for its pages.";
}

}  // namespace

bool HasWadExtension(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    return EqualsIgnoreCase(ext, ".wad") || EqualsIgnoreCase(ext, ".plm");
}

Outcome OpenTextureFile(Project& project, const std::string& path, RestOfFile rest) {
    WadFileReader reader;
    if (!reader.Open(path)) return Outcome::Failed(path, reader.Error());

    const uint32_t version = reader.ReadVersion();
    if (!IsAcceptedVersion(version)) {
        // No project is open afterwards; what was on screen stays in memory until the next
        // open or new project replaces it.
        project.filePath.clear();
        return Outcome::Refused(path, kNotAWadMessage, true).SubjectAfterHeadline();
    }
    project.version = version;
    project.ResetProject();
    project.filePath = path;
    if (!reader.ReadRecords(project.records)) {
        project.filePath.clear();
        return Outcome::Refused(path, reader.Error(), true);
    }
    project.pagesInFile = reader.ReadPageCount();
    if (!ReadPages(reader, project.pagesInFile, project.pages)) {
        project.filePath.clear();
        return Outcome::Failed(path, CannotHoldPagesMessage(path), true);
    }

    project.restBytes = reader.RestBytes();
    project.restKept = rest == RestOfFile::Copy;
    if (project.restKept) {
        std::string error;
        if (!project.RecreateRestFile(&error) || !reader.CopyRestTo(project.restOfFilePath)) {
            // The pages stay on screen, but a save now would drop the rest of the file.
            project.restKept = false;
            return Outcome::Failed(path, error.empty() ? reader.Error() : error, true);
        }
    }

    if (project.records.empty() || project.pagesInFile < 1) project.version = kPelmMagic;
    if (project.records.empty()) project.records.push_back(TextureRecord{});
    if (project.pagesInFile < 1) {
        project.AddBlankPage();
        project.pagesInFile = 1;
    }
    project.selectedPage = 0;
    project.selectedTexture = 0;
    return Outcome::Done();
}

Outcome ImportTextureFile(Project& project, const std::string& path) {
    if (!project.IsOpen()) return Outcome::Refused(path, kImportNeedsProjectMessage);
    WadFileReader reader;
    if (!reader.Open(path)) return Outcome::Failed(path, reader.Error());
    if (!IsAcceptedVersion(reader.ReadVersion()))
        return Outcome::Refused(path, kNotAWadMessage).SubjectAfterHeadline();

    const int shift = project.PageCount();
    std::vector<TextureRecord> imported;
    if (!reader.ReadRecords(imported)) return Outcome::Refused(path, reader.Error());
    const int pages = reader.ReadPageCount();
    // Records are only added with their pages, so they never point past the last page.
    if (!ReadPages(reader, pages, project.pages))
        return Outcome::Failed(path, CannotHoldPagesMessage(path));
    project.pagesInFile = pages;
    // The second file's first record is its own reserved one.
    for (size_t i = 1; i < imported.size(); ++i) {
        TextureRecord r = imported[i];
        r.Page = static_cast<uint16_t>(r.Page + shift);
        project.records.push_back(r);
    }
    project.selectedTexture = project.RecordCount() - 1;
    if (project.selectedTexture >= 0) {
        project.selectedPage = project.records[project.selectedTexture].Page;
    }
    return Outcome::Done();
}

}  // namespace pelmora
