// Feeds arbitrary bytes to the format check that stands before every image decoder. It
// only looks at bytes: it must never start anything, open anything or hang. Whatever it
// accepts must carry the signature of the format it names (TGA, which has none, only under
// a ".tga" name), so that no other decoder can be reached through it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/image_io.h"

using pelmora::DetectImageFormat;
using pelmora::ImageFormat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto starts = [&](std::string_view magic) {
        return bytes.substr(0, magic.size()) == magic;
    };
    for (const char* name : {"x.png", "x.TGA", "x", "x.svg"}) {
        const ImageFormat format = DetectImageFormat(bytes, name);
        bool signed_ = true;
        switch (format) {
            case ImageFormat::Png:
                signed_ = starts(std::string_view("\x89PNG\r\n\x1a\n", 8));
                break;
            case ImageFormat::Jpeg:
                signed_ = starts("\xff\xd8\xff");
                break;
            case ImageFormat::Tiff:
                signed_ =
                    starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4));
                break;
            case ImageFormat::Bmp:
                signed_ = starts("BM");
                break;
            case ImageFormat::Pcx:
                signed_ = size > 0 && data[0] == 0x0A;
                break;
            case ImageFormat::Tga:
                signed_ = std::string_view(name) == "x.TGA";
                break;
            case ImageFormat::Unknown:
                break;
            default:
                signed_ = false;  // never Raw: there is no RAW reader
        }
        if (!signed_) std::abort();
    }
    return 0;
}
