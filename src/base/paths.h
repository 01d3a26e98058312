#pragma once

#include <string>

namespace pelmora {

// The folder of path, ending with a separator; for an empty path the current folder.
// Unlike the file dialogs of some systems it never changes the current folder: relative
// paths given on a command line must keep meaning what they meant.
std::string DirectoryOf(const std::string& path);
// The file name with its extension.
std::string FileNameOf(const std::string& path);
// The extension with its dot (".wad"), or "" when the name has none.
std::string ExtensionOf(const std::string& path);
// path with its extension replaced by extension (given without the dot).
std::string WithExtension(const std::string& path, const std::string& extension);
// path with the number n appended to its file name and its extension replaced:
// NumberedName("maps/level.wad", 2, "plm") is "maps/level2.plm".
std::string NumberedName(const std::string& path, int n, const std::string& extension);
// The temporary-files folder, ending with a separator.
std::string TempFolder();
// Case-insensitive ASCII comparison.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace pelmora
