#include "ui_test_support.h"

#include <stdexcept>

#include "test_support.h"

namespace pelmora::test {

std::string WriteWad(const std::string& path, const std::vector<TextureRecord>& records, int pages,
                     uint32_t version, const std::string& rest) {
    WadBytes wad;
    wad.version = version;
    wad.records = records;
    for (int i = 0; i < pages; ++i) wad.pages.push_back(PatternPage(static_cast<uint8_t>(i + 1)));
    wad.rest = rest;
    WriteFile(path, wad.Build());
    return path;
}

void WritePng(const std::string& path, int width, int height, Colour colour) {
    std::string error;
    if (!SaveImage(Image(width, height, colour), path, ImageFormat::Png, 100, &error))
        throw std::runtime_error(error);
}

}  // namespace pelmora::test
