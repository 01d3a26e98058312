#pragma once

#include <string>

#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// Writes the project's texture section followed by the rest of the opened file. The file at
// path is replaced only once the new one is complete; on failure it is left as it was.
Outcome WriteTextureFile(const Project& project, const std::string& path);

// File > Save. A texture-only project at a path ending in ".wad" is then moved to a ".plm"
// name (level.plm, or level1.plm, level2.plm ... when taken); project.filePath follows.
Outcome SaveProject(Project& project);

// File > Save As: writes the project at path, which becomes the project's path. The kind
// of project and its version are kept whatever the new name's extension.
Outcome SaveProjectAs(Project& project, const std::string& path);

// How many numbered names Save tries before it gives up renaming.
constexpr int kMaxNumberedNames = 9999;

}  // namespace pelmora
