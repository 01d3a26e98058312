#include "wad/wad_writer.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file_util.h"
#include "base/paths.h"

namespace pelmora {

namespace {

void PutInt32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One page as 196,608 bytes, rows top first, red, green, blue. A stored bitmap that is not a
// full page (which Pelmora never makes) reads as white outside its own area.
void PackPage(const BitmapHeader& h, std::vector<uint8_t>& out) {
    out.assign(kPageBytes, 0xFF);
    const size_t stride = RowStride(h.width);
    const int rows = std::min(h.height, kPageSize);
    const int columns = std::min(h.width, kPageSize);
    for (int y = 0; y < rows; ++y) {
        std::memcpy(out.data() + y * kPageSize * 3, h.bits + static_cast<size_t>(y) * stride,
                    columns * 3);
    }
}

bool AppendRest(const std::string& restPath, AtomicFileWriter& writer) {
    std::FILE* rest = restPath.empty() ? nullptr : std::fopen(restPath.c_str(), "rb");
    if (!rest) return true;  // nothing to carry over (after Close, say)
    std::vector<char> block(1 << 20);
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(block.data(), 1, block.size(), rest);
        if (got == 0) break;
        if (!writer.Write(block.data(), got)) {
            ok = false;
            break;
        }
    }
    std::fclose(rest);
    return ok;
}

// Renames without replacing an existing file.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a hard link fails just the same when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

Outcome WriteTextureFile(const Project& project, const std::string& path) {
    if (!project.restKept) {
        return Outcome::Refused(path, "Cannot save \"" + path + "\": the rest of \"" +
                                          project.filePath +
                                          "\" was not read, so it would be lost.");
    }
    const int recordCount = project.RecordCount();
    const int pageCount = project.PageCount();
    if (static_cast<long long>(pageCount) * kPageBytes > INT32_MAX) {
        return Outcome::Refused(path, "Cannot save \"" + path + "\": a file holds at most " +
                                          std::to_string(INT32_MAX / kPageBytes) + " pages.");
    }
    AtomicFileWriter writer(path);
    if (!writer.Open()) return Outcome::Failed(path, writer.Error());

    std::vector<uint8_t> head;
    head.reserve(12 + 8 * static_cast<size_t>(recordCount));
    PutInt32(head, project.version);
    PutInt32(head, static_cast<uint32_t>(recordCount));
    for (const TextureRecord& r : project.records) {
        const auto bytes = r.ToBytes();
        head.insert(head.end(), bytes.begin(), bytes.end());
    }
    PutInt32(head, static_cast<uint32_t>(pageCount) * kPageBytes);
    bool ok = writer.Write(head.data(), head.size());

    std::vector<uint8_t> page;
    for (int i = 0; ok && i < pageCount; ++i) {
        bool read = project.pages.ReadBitmap(i, [&](const BitmapHeader& h) {
            if (h.width == kPageSize && h.height == kPageSize && h.widthBytes == kPageSize * 3) {
                ok = writer.Write(h.bits, kPageBytes);  // already the file's layout
            } else {
                PackPage(h, page);
                ok = writer.Write(page.data(), page.size());
            }
        });
        if (!read) {
            return Outcome::Failed(path, "Cannot save \"" + path + "\": page " +
                                             std::to_string(i + 1) + " could not be read.");
        }
    }
    ok = ok && AppendRest(project.restOfFilePath, writer);
    if (!ok || !writer.Commit()) {
        return Outcome::Failed(
            path, writer.Error().empty() ? "Cannot write \"" + path + "\"." : writer.Error());
    }
    return Outcome::Done();
}

Outcome SaveProject(Project& project) {
    if (!project.IsOpen() || project.PageCount() == 0 || project.RecordCount() == 0)
        return Outcome::Done(false);
    Outcome result = WriteTextureFile(project, project.filePath);
    if (!result.IsDone()) return result;
    // A texture-only project must not keep a ".wad" name (the check is case-sensitive, as
    // stored files and scripts may rely on ".WAD" staying put).
    if (!project.IsTextureOnly() || ExtensionOf(project.filePath) != ".wad") return result;
    const std::string from = project.filePath;
    std::string target = WithExtension(from, "plm");
    for (int n = 1; !RenameNoReplace(from, target); ++n) {
        if (n > kMaxNumberedNames || errno != EEXIST) {
            return Outcome::Failed(
                from,
                "The project was saved as \"" + from +
                    "\" but could not be renamed to a \".plm\" name: " + std::strerror(errno),
                true);
        }
        target = NumberedName(from, n, "plm");
    }
    project.filePath = target;
    return result;
}

Outcome SaveProjectAs(Project& project, const std::string& path) {
    if (!project.IsOpen() || project.PageCount() == 0 || project.RecordCount() == 0)
        return Outcome::Done(false);
    Outcome result = WriteTextureFile(project, path);
    if (result.IsDone()) project.filePath = path;
    return result;
}

}  // namespace pelmora
