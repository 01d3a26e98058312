#include "store/image_io.h"

#include <Magick++.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "store/file_util.h"
#include "store/paths.h"

namespace pelmora {

namespace {

std::once_flag gInitOnce;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

const char* MagickName(ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp:
            return "BMP3";
        case ImageFormat::Pcx:
            return "PCX";
        case ImageFormat::Png:
            return "PNG";
        case ImageFormat::Tga:
            return "TGA";
        case ImageFormat::Tiff:
            return "TIFF";
        case ImageFormat::Jpeg:
            return "JPEG";
        default:
            return nullptr;
    }
}

// A whole file read into memory; files larger than any image we accept are refused before
// they are read.
std::optional<std::string> ReadSmallFile(const std::string& path, std::string* error) {
    constexpr std::streamoff kMaxFileBytes = 512LL * 1024 * 1024;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        if (error) *error = FileErrorMessage(path);
        return std::nullopt;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxFileBytes) {
        if (error) *error = "\"" + path + "\" is too large to be an image.";
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size)) {
        if (error) *error = FileErrorMessage(path);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

void InitImageLibrary(const char* argv0) {
    std::call_once(gInitOnce, [argv0] {
        Magick::InitializeMagick(argv0);
        using namespace MagickLib;
        SetMagickResourceLimit(WidthResource, kMaxImageSide);
        SetMagickResourceLimit(HeightResource, kMaxImageSide);
        SetMagickResourceLimit(PixelsResource, kMaxImagePixels);
        // Pixel cache: memory only, never spilled to disk.
        SetMagickResourceLimit(MemoryResource, 1024LL * 1024 * 1024);
        SetMagickResourceLimit(MapResource, 1024LL * 1024 * 1024);
        SetMagickResourceLimit(DiskResource, 0);
    });
}

void SetImageLibraryThreads(int threads) {
    MagickLib::SetMagickResourceLimit(MagickLib::ThreadsResource, std::max(threads, 1));
}

ImageFormat FormatFromExtension(const std::string& extensionOrPath) {
    std::string ext = extensionOrPath;
    if (const auto dot = ext.rfind('.'); dot != std::string::npos) ext = ext.substr(dot + 1);
    ext = Lower(ext);
    if (ext == "bmp") return ImageFormat::Bmp;
    if (ext == "pcx") return ImageFormat::Pcx;
    if (ext == "png") return ImageFormat::Png;
    if (ext == "tga") return ImageFormat::Tga;
    if (ext == "tif" || ext == "tiff") return ImageFormat::Tiff;
    if (ext == "jpg" || ext == "jpe" || ext == "jpeg" || ext == "jfif") return ImageFormat::Jpeg;
    if (ext == "raw") return ImageFormat::Raw;
    return ImageFormat::Unknown;
}

const char* ExtensionForFormat(ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp:
            return "bmp";
        case ImageFormat::Pcx:
            return "pcx";
        case ImageFormat::Png:
            return "png";
        case ImageFormat::Tga:
            return "tga";
        case ImageFormat::Tiff:
            return "tif";
        case ImageFormat::Jpeg:
            return "jpg";
        case ImageFormat::Raw:
            return "raw";
        default:
            return "";
    }
}

std::optional<Image> LoadImage(const std::string& path, std::string* error) {
    const auto bytes = ReadSmallFile(path, error);
    if (!bytes) return std::nullopt;
    try {
        Magick::Blob blob(bytes->data(), bytes->size());
        Magick::Image image;
        // TGA files carry no signature, so they are recognised by their name only.
        if (FormatFromExtension(path) == ImageFormat::Tga) image.magick("TGA");
        // Look at the dimensions first: a small file can claim an enormous image.
        image.ping(blob);
        const long long w = image.columns(), h = image.rows();
        if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels) {
            if (error) *error = "\"" + path + "\" is larger than the images Pelmora accepts.";
            return std::nullopt;
        }
        try {
            image.read(blob);
        } catch (const Magick::Warning&) {
            // A warning (a truncated JPEG, say) still leaves a complete, usable image.
        }
        Image out(static_cast<int>(image.columns()), static_cast<int>(image.rows()));
        if (out.IsNull()) {
            if (error) *error = "\"" + path + "\" holds no image.";
            return std::nullopt;
        }
        std::vector<uint8_t> rgb(static_cast<size_t>(out.Width()) * out.Height() * 3);
        image.write(0, 0, out.Width(), out.Height(), "RGB", Magick::CharPixel, rgb.data());
        return Image::FromPackedRgb(out.Width(), out.Height(), rgb.data());
    } catch (const std::exception& e) {
        if (error) {
            const std::string what = e.what();
            *error = what.find("resource limit") != std::string::npos
                         ? "\"" + path + "\" is larger than the images Pelmora accepts."
                         : "\"" + path + "\" could not be read as an image: " + what;
        }
        return std::nullopt;
    }
}

Image ResizeImage(const Image& source, int width, int height) {
    if (source.IsNull() || width < 1 || height < 1) return Image();
    if (width == source.Width() && height == source.Height()) return source;
    const auto rgb = source.PackedRgb();
    Magick::Image image(source.Width(), source.Height(), "RGB", Magick::CharPixel, rgb.data());
    image.filterType(Magick::TriangleFilter);
    Magick::Geometry geometry(width, height);
    geometry.aspect(true);
    image.resize(geometry);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
    image.write(0, 0, width, height, "RGB", Magick::CharPixel, out.data());
    return Image::FromPackedRgb(width, height, out.data());
}

std::optional<std::string> EncodeImage(const Image& source, ImageFormat format, int jpegQuality,
                                       std::string* error) {
    if (source.IsNull()) {
        if (error) *error = "There is no image to write.";
        return std::nullopt;
    }
    const auto rgb = source.PackedRgb();
    if (format == ImageFormat::Raw) return std::string(rgb.begin(), rgb.end());
    const char* name = MagickName(format);
    if (name == nullptr) {
        if (error) *error = "Unknown image format.";
        return std::nullopt;
    }
    try {
        Magick::Image image(source.Width(), source.Height(), "RGB", Magick::CharPixel, rgb.data());
        image.type(Magick::TrueColorType);
        image.depth(8);
        image.magick(name);
        if (format == ImageFormat::Jpeg) image.quality(std::clamp(jpegQuality, 0, 100));
        if (format == ImageFormat::Tga || format == ImageFormat::Bmp || format == ImageFormat::Pcx)
            image.compressType(Magick::NoCompression);
        Magick::Blob blob;
        image.write(&blob);
        return std::string(static_cast<const char*>(blob.data()), blob.length());
    } catch (const std::exception& e) {
        if (error) *error = std::string("The image could not be encoded: ") + e.what();
        return std::nullopt;
    }
}

bool SaveImage(const Image& image, const std::string& path, ImageFormat format, int jpegQuality,
               std::string* error) {
    const auto bytes = EncodeImage(image, format, jpegQuality, error);
    if (!bytes) return false;
    return WriteFileAtomically(path, *bytes, error);
}

}  // namespace pelmora
