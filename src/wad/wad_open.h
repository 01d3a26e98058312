#pragma once

#include <string>

#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

constexpr const char* kNotAWadMessage =
    "This is not a Stonecrypt Wad file or wrong version or type of wad...";
constexpr const char* kImportNeedsProjectMessage =
    "Use open to select your first wad...\nthen click import to load your second\nwad's "
    "textures into your first one...";

// What Open does with the bytes behind the pages. Only a project that may be saved needs
// them; copying a large rest costs time and room in the temporary folder, and the original
// may change before a save, so a project to be saved keeps its own copy from the start.
enum class RestOfFile {
    Copy,  // into the rest-of-file temporary file, for saving
    Skip,  // only counted (restBytes); the project cannot be saved (restKept is false)
};

// Reads a WAD (129, 130) or texture-only file into the project, replacing what it held.
// A file without records or pages becomes a texture-only project with the reserved record
// and one blank page. Leaves record 1 and page 1 selected.
Outcome OpenTextureFile(Project& project, const std::string& path,
                        RestOfFile rest = RestOfFile::Copy);

// True when a dropped file's extension is ".wad" or ".plm", in any case.
bool HasWadExtension(const std::string& path);

// Merges a second file: its pages go behind the project's, its records (all but its
// reserved first one) behind the project's with their pages shifted by the project's page
// count (16-bit wrap). The rest of the second file and its version are not taken over.
// Leaves the last record selected.
Outcome ImportTextureFile(Project& project, const std::string& path);

}  // namespace pelmora
