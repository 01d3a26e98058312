#pragma once

#include <string>
#include <vector>

namespace pelmora {

// The files that adding pieces works through once folders have been opened up.
struct ImageFileList {
    // The files given, each where it stood, with the images found in a folder in its place.
    std::vector<std::string> files;
    int foundInFolders = 0;  // how many of the files came from folders
    int folders = 0;         // how many of the paths given were folders
    // One message for each folder (or sub-folder) that could not be read.
    std::vector<std::string> unreadable;
};

// Whether a file name ends in an extension of a format that is decoded (any but RAW), in any
// letter case.
bool HasImageExtension(const std::string& name);

// Replaces every folder among paths by the image files inside it and inside its
// sub-folders, by extension, in natural name order within each folder. Hidden files and
// folders (names starting with '.') and files of other kinds are passed over. Symbolic links
// are followed, but no folder is read twice, so a link that points back up ends there.
// Paths that are not folders are kept as they are, whatever they name.
ImageFileList ExpandImageFolders(const std::vector<std::string>& paths);

}  // namespace pelmora
