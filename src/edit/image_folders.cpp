#include "edit/image_folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "edit/add_pieces.h"
#include "base/image_formats.h"

namespace pelmora {

namespace {

using FolderId = std::pair<dev_t, ino_t>;

std::string Joined(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

class FolderWalk {
public:
    explicit FolderWalk(ImageFileList& list) : list_(list) {}

    void Walk(const std::string& folder, const struct stat& st) {
        // Links can make a folder reachable from inside itself; reading each folder once
        // ends every such loop.
        if (!visited_.insert({st.st_dev, st.st_ino}).second) return;
        std::vector<std::string> names;
        std::error_code ec;
        std::filesystem::directory_iterator it(folder, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (!name.empty() && name[0] != '.') names.push_back(std::move(name));
        }
        if (ec) list_.unreadable.push_back("Cannot open \"" + folder + "\": " + ec.message());
        std::sort(names.begin(), names.end(), NaturalNameLess);
        for (const std::string& name : names) {
            const std::string path = Joined(folder, name);
            struct stat entry {};
            if (::stat(path.c_str(), &entry) != 0) continue;  // a dangling link, say
            if (S_ISDIR(entry.st_mode)) {
                Walk(path, entry);
            } else if (S_ISREG(entry.st_mode) && HasImageExtension(name)) {
                list_.files.push_back(path);
                ++list_.foundInFolders;
            }
        }
    }

private:
    ImageFileList& list_;
    std::set<FolderId> visited_;
};

}  // namespace

bool HasImageExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
    const ImageFormatInfo* format = FormatInfo(FormatFromExtension(name.substr(dot)));
    return format != nullptr && format->reader != nullptr;
}

ImageFileList ExpandImageFolders(const std::vector<std::string>& paths) {
    ImageFileList list;
    FolderWalk walk(list);
    for (const std::string& path : paths) {
        struct stat st {};
        if (!path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            ++list.folders;
            walk.Walk(path, st);
        } else {
            list.files.push_back(path);
        }
    }
    return list;
}

}  // namespace pelmora
