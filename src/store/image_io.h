#pragma once

#include <optional>
#include <string>

#include "store/image.h"

namespace pelmora {

// Must run once per process before any image is read or written; later calls do nothing.
// Sets the limits that make the library refuse hostile images instead of decoding them.
void InitImageLibrary(const char* argv0);

// Lets the decoders use the library's own threads (off when the caller decodes on threads
// of its own).
void SetImageLibraryThreads(int threads);

enum class ImageFormat { Unknown, Bmp, Pcx, Png, Tga, Tiff, Jpeg, Raw };

// From a file name's extension, with or without the dot, ignoring case:
// bmp, pcx, png, tga, tif/tiff, jpg/jpe/jpeg/jfif, raw.
ImageFormat FormatFromExtension(const std::string& extensionOrPath);
// The extension written for a format ("bmp", "pcx", "png", "tga", "tif", "jpg", "raw").
const char* ExtensionForFormat(ImageFormat format);

// The largest image the library accepts, in pixels; anything larger is refused unread.
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;
constexpr int kMaxImageSide = 65536;

// Decodes a BMP, PCX, PNG, TGA, TIFF or JPEG file into a 24-bit image. Returns nothing when
// the file cannot be read, is not an image, is corrupt or exceeds the limits; *error then
// says why.
std::optional<Image> LoadImage(const std::string& path, std::string* error = nullptr);

// Scales to exactly width x height (the aspect ratio is not kept).
Image ResizeImage(const Image& image, int width, int height);

// Writes the image in the given format; JPEG uses the quality 0 to 100. The file is replaced
// only once it is written completely. Returns false with *error set on failure.
bool SaveImage(const Image& image, const std::string& path, ImageFormat format,
               int jpegQuality = 100, std::string* error = nullptr);

// Encodes to bytes in memory (the same encoders as SaveImage).
std::optional<std::string> EncodeImage(const Image& image, ImageFormat format,
                                       int jpegQuality = 100, std::string* error = nullptr);

}  // namespace pelmora
