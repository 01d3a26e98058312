#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/colour.h"
#include "base/image.h"
#include "base/image_formats.h"

namespace pelmora {

// Must run once per process before any image is read or written; later calls do nothing.
// Silences the library's own warning and error printing (its texts reach the user only
// inside Pelmora's messages) and lifts its size limits in favour of the decoding budget
// below.
void InitImageLibrary(const char* argv0);

// Lets the decoders use the library's own threads (off when the caller decodes on threads
// of its own).
void SetImageLibraryThreads(int threads);

// Which of the six readable formats the first bytes of a file are, before any decoder sees
// them: BMP, PCX, PNG, TIFF and JPEG by their signatures; TGA, which has none, only when
// the name ends in ".tga" and the header is one a TGA writer makes. Unknown for anything
// else (SVG, PostScript, PDF, GIF, PNM, ... whatever the name says).
ImageFormat DetectImageFormat(std::string_view head, std::string_view name);

// All decoding shares one memory budget. A decode reserves what the image needs (from the
// size its header gives) and waits while other decodes hold the rest, so running on more
// threads never makes an image fail. An image that alone needs more than the whole budget
// is refused before it is decoded. The default is half the machine's memory, at least
// 1 GiB and at most 4 GiB.
long long ImageDecodeBudget();
// Changes the budget (tests and benchmarks); only while nothing is being decoded.
void SetImageDecodeBudget(long long bytes);
// The memory a decode of a width x height image reserves.
long long ImageDecodeCost(long long width, long long height);

// Decodes a BMP, PCX, PNG, TGA, TIFF or JPEG file into a 24-bit image. Returns nothing when
// the file cannot be read, is not one of these formats, is corrupt or cannot be decoded
// within the budget; *error then says why, naming the file.
//
// An image with an alpha channel is laid over background when one is given, so that its
// transparent parts take the colour of what it is put on; without one the colours stored
// under transparent pixels are kept. Images without alpha come out the same either way.
std::optional<Image> LoadImage(const std::string& path, std::string* error = nullptr,
                               std::optional<Colour> background = std::nullopt);

// The size (width, height) an image of the given size is to be scaled to.
using TargetSize = std::function<std::pair<int, int>(int width, int height)>;

// As LoadImage, then scaled to exactly targetSize(width, height) as ResizeImage does. A
// JPEG that is to shrink is decoded at a reduced size first (much faster for photos, and
// it needs less of the budget). Nothing when the target has no width or height.
// The background is laid under the image before it is scaled, as LoadImage does.
std::optional<Image> LoadScaledImage(const std::string& path, const TargetSize& targetSize,
                                     std::string* error = nullptr,
                                     std::optional<Colour> background = std::nullopt);

// Scales to exactly width x height (the aspect ratio is not kept).
Image ResizeImage(const Image& image, int width, int height);

// The largest width and height a format's files can record; writing a larger image is
// refused. {0, 0} for a format Pelmora does not write.
std::pair<long long, long long> MaxImageSizeFor(ImageFormat format);

// Writes the image in the given format; JPEG uses the quality 0 to 100. The file is replaced
// only once it is written completely. Returns false with *error set on failure.
bool SaveImage(const Image& image, const std::string& path, ImageFormat format,
               int jpegQuality = 100, std::string* error = nullptr);

// Encodes to bytes in memory (the same encoders as SaveImage).
std::optional<std::string> EncodeImage(const Image& image, ImageFormat format,
                                       int jpegQuality = 100, std::string* error = nullptr);

}  // namespace pelmora
