// Feeds arbitrary bytes to the WAD / texture-only reader: open, then merge the same bytes
// into the opened project, then save it again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "store/image_io.h"
#include "wad/wad_reader.h"
#include "wad/wad_writer.h"

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
    if (pelmora::OpenTextureFile(project, path).ok) {
        pelmora::ImportTextureFile(project, path);
        pelmora::WriteTextureFile(project, path + ".out");
        std::remove((path + ".out").c_str());
    }
    std::remove(path.c_str());
    return 0;
}
