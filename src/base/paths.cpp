#include "base/paths.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace pelmora {

namespace {
// Where the file name starts: just past the last separator.
size_t NameStart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension's dot is, or npos; a leading dot (".hidden") is not an extension.
size_t ExtensionDot(const std::string& path) {
    const size_t start = NameStart(path);
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || dot < start || dot == start) return std::string::npos;
    return dot;
}
}  // namespace

std::string DirectoryOf(const std::string& path) {
    if (path.empty() || path.find('/') == std::string::npos) {
        std::error_code ec;
        std::string cwd = std::filesystem::current_path(ec).string();
        if (ec || cwd.empty()) return "./";
        return cwd.back() == '/' ? cwd : cwd + "/";
    }
    return path.substr(0, NameStart(path));
}

std::string FileNameOf(const std::string& path) {
    return path.substr(NameStart(path));
}

std::string ExtensionOf(const std::string& path) {
    const size_t dot = ExtensionDot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    const size_t dot = ExtensionDot(path);
    const std::string stem = dot == std::string::npos ? path : path.substr(0, dot);
    return stem + "." + extension;
}

std::string NumberedName(const std::string& path, int n, const std::string& extension) {
    const size_t dot = ExtensionDot(path);
    const std::string stem = dot == std::string::npos ? path : path.substr(0, dot);
    return stem + std::to_string(n) + "." + extension;
}

std::string TempFolder() {
    std::error_code ec;
    std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = "/tmp";
    return dir.back() == '/' ? dir : dir + "/";
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace pelmora
