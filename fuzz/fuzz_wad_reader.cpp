// Feeds arbitrary bytes to the WAD / texture-only reader: open, then merge the same bytes
// into the opened project.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/image_io.h"
#include "wad/wad_open.h"

namespace {
std::string InputPath() {
    static const std::string path = "/tmp/pelmora-fuzz-wad-" + std::to_string(::getpid()) + ".wad";
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputPath();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    pelmora::Project project;
    const pelmora::Outcome opened = pelmora::OpenTextureFile(project, path);
    // A file that opened, with or without something to say, is merged into itself as well.
    if (opened.kind == pelmora::Outcome::Kind::Done ||
        opened.kind == pelmora::Outcome::Kind::DoneWithWarning) {
        pelmora::ImportTextureFile(project, path);
    }
    std::remove(path.c_str());
    return 0;
}
