#include "base/image_io.h"

#include <Magick++.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/file_util.h"
#include "base/paths.h"

namespace pelmora {

namespace {

std::once_flag gInitOnce;

// A file larger than this is no image we could decode within any budget.
constexpr long long kMaxImageFileBytes = 512LL * 1024 * 1024;
constexpr long long kMiB = 1024LL * 1024;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The decoder named for reading, and the name the library reports once it has read the
// header: the two must agree, or some other decoder took the bytes.
const char* ReaderName(ImageFormat format) {
    const ImageFormatInfo* row = FormatInfo(format);
    return row ? row->reader : nullptr;
}

unsigned Byte(std::string_view s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}
unsigned Le16(std::string_view s, size_t i) {
    return Byte(s, i) | Byte(s, i + 1) << 8;
}
unsigned long Le32(std::string_view s, size_t i) {
    return Le16(s, i) | static_cast<unsigned long>(Le16(s, i + 2)) << 16;
}

bool LooksLikeTga(std::string_view h) {
    if (h.size() < 18) return false;
    const unsigned colourMapType = Byte(h, 1), imageType = Byte(h, 2);
    const unsigned mapLength = Le16(h, 5), mapEntryBits = Byte(h, 7);
    const unsigned width = Le16(h, 12), height = Le16(h, 14), depth = Byte(h, 16);
    const unsigned descriptor = Byte(h, 17);
    const bool mapped = imageType == 1 || imageType == 9;
    const bool trueColour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    if (!mapped && !trueColour && !grey) return false;
    if (colourMapType > 1 || (mapped && colourMapType != 1)) return false;
    if (colourMapType == 1 && (mapLength == 0 || (mapEntryBits != 15 && mapEntryBits != 16 &&
                                                  mapEntryBits != 24 && mapEntryBits != 32)))
        return false;
    if (width == 0 || height == 0 || (descriptor & 0xC0) != 0) return false;
    if (mapped) return depth == 8 || depth == 16;
    if (grey) return depth == 8 || depth == 16;
    return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

// ---- The decoding budget --------------------------------------------------------------

long long DefaultBudget() {
    const long long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
    const long long physical = pages > 0 && pageSize > 0 ? pages * pageSize : 0;
    return std::clamp(physical / 2, 1024 * kMiB, 4096 * kMiB);
}

class DecodeBudget {
public:
    long long Limit() {
        std::lock_guard lock(mutex_);
        return limit_;
    }
    void SetLimit(long long bytes) {
        std::lock_guard lock(mutex_);
        limit_ = std::max(bytes, 1LL);
    }
    // Waits until bytes (at most the limit) are free and takes them.
    void Acquire(long long bytes) {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return used_ + bytes <= limit_ || used_ == 0; });
        used_ += bytes;
    }
    bool TryAcquire(long long bytes) {
        std::lock_guard lock(mutex_);
        if (used_ + bytes > limit_) return false;
        used_ += bytes;
        return true;
    }
    void Release(long long bytes) {
        {
            std::lock_guard lock(mutex_);
            used_ -= bytes;
        }
        freed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    long long limit_ = DefaultBudget();
    long long used_ = 0;
};

DecodeBudget& Budget() {
    static DecodeBudget budget;
    return budget;
}

// Holds a share of the budget for as long as it lives.
class Reservation {
public:
    Reservation() = default;
    ~Reservation() { Release(); }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    void Acquire(long long bytes) {
        Release();
        Budget().Acquire(bytes);
        bytes_ = bytes;
    }
    bool TryGrow(long long bytes) {
        if (bytes <= bytes_) return true;
        if (!Budget().TryAcquire(bytes - bytes_)) return false;
        bytes_ = bytes;
        return true;
    }
    void Release() {
        if (bytes_ > 0) Budget().Release(bytes_);
        bytes_ = 0;
    }

private:
    long long bytes_ = 0;
};

// The library's own limits would refuse, in the header alone, images the budget admits (a
// JPEG decoded at an eighth of its size, say), and its memory limits are sums over the
// whole process, which would make concurrent decodes fail. The budget is checked against
// the size the header gives before any pixel is decoded, so the library's limits are
// lifted, except that its pixels never go to a cache file.
void ApplyLibraryLimits() {
    using namespace MagickLib;
    constexpr long long kUnlimited = LLONG_MAX / 2;
    for (const ResourceType type :
         {PixelsResource, WidthResource, HeightResource, MemoryResource, MapResource, ReadResource})
        SetMagickResourceLimit(type, kUnlimited);
    SetMagickResourceLimit(DiskResource, 0);
}

// ---- Library messages ------------------------------------------------------------------

// The library prints its warnings and errors itself unless told otherwise. Its texts reach
// the user only inside Pelmora's own messages, through the exceptions it raises.
void QuietHandler(const MagickLib::ExceptionType, const char*, const char*) {}

// Declared as the library's handler type wants it (a GNU attribute, which clang keeps in the
// function's type).
void FatalHandler(const MagickLib::ExceptionType, const char*, const char*) MAGICK_FUNC_NORETURN;
void FatalHandler(const MagickLib::ExceptionType, const char* reason, const char* description) {
    std::fprintf(stderr, "Pelmora cannot go on: the image library failed (%s%s%s).\n",
                 reason ? reason : "unknown reason", description ? ": " : "",
                 description ? description : "");
    std::_Exit(1);
}

// The reason in a library exception, without the program name it puts in front.
std::string LibraryReason(const std::exception& e) {
    std::string what = e.what();
    const char* client = MagickLib::GetClientName();
    if (client != nullptr && *client != '\0') {
        const std::string prefix = std::string(client) + ": ";
        if (what.compare(0, prefix.size(), prefix) == 0) what.erase(0, prefix.size());
    }
    if (what.compare(0, 8, "Magick: ") == 0) what.erase(0, 8);
    return what;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string NotAnImage(const std::string& path) {
    return path + " is not a " + LabelList(PictureFormats()) + " file";
}

// ---- Reading ----------------------------------------------------------------------------

// An open input file, read into memory on demand.
class InputFile {
public:
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Open(const std::string& path, std::string* error) {
        path_ = path;
        fd_ = OpenInputFile(path, error);
        if (fd_ < 0) return false;
        size_ = FileSize(path);
        const off_t end = ::lseek(fd_, 0, SEEK_END);
        if (end >= 0) size_ = end;
        if (size_ > kMaxImageFileBytes) {
            if (error)
                *error = Quoted(path) + " is too large to be an image (more than " +
                         std::to_string(kMaxImageFileBytes / kMiB) + " MB).";
            return false;
        }
        return true;
    }
    long long Size() const { return size_; }
    // The first bytes, for the signature.
    bool ReadHead(std::string& out, size_t count, std::string* error) {
        return ReadAt(out, static_cast<size_t>(std::min<long long>(count, size_)), error);
    }
    bool ReadAll(std::string& out, std::string* error) {
        return ReadAt(out, static_cast<size_t>(size_), error);
    }

private:
    bool ReadAt(std::string& out, size_t count, std::string* error) {
        out.assign(count, '\0');
        size_t done = 0;
        while (done < count) {
            const ssize_t n =
                ::pread(fd_, out.data() + done, count - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                if (error) *error = FileErrorMessage(path_);
                return false;
            }
            if (n == 0) break;  // shrank while we read: take what is there
            done += static_cast<size_t>(n);
        }
        out.resize(done);
        return true;
    }

    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
};

// The size a JPEG decoder hands out when asked for at least target: the original divided
// by the largest power of two up to 8 that keeps both sides at least the target (the
// decoder may pick a finer scale, never a coarser one, so this bounds what it makes).
std::pair<long long, long long> ReducedJpegSize(long long w, long long h, int tw, int th) {
    long long scale = 1;
    while (scale < 8 && w / (scale * 2) >= tw && h / (scale * 2) >= th) scale *= 2;
    return {(w + scale - 1) / scale, (h + scale - 1) / scale};
}

std::string Megabytes(long long bytes) {
    return std::to_string((bytes + kMiB - 1) / kMiB);
}

// Decodes path into a library image: the format from the signature, the named decoder for
// the header and the pixels, the budget reserved for the size the header gives. target,
// when given, is where the caller will scale the image (a JPEG is then decoded smaller).
bool Decode(const std::string& path, const TargetSize* target, Magick::Image& image,
            std::pair<int, int>& wanted, std::string* error) {
    InputFile file;
    if (!file.Open(path, error)) return false;
    std::string head;
    if (!file.ReadHead(head, 32, error)) return false;
    const ImageFormat format = DetectImageFormat(head, path);
    if (format == ImageFormat::Unknown) {
        if (error) *error = NotAnImage(path);
        return false;
    }

    // Reading the file and its header needs the file's bytes; nothing else is held while
    // waiting, so decodes can never wait for one another in a circle.
    Reservation reservation;
    const long long fileBytes = file.Size();
    reservation.Acquire(fileBytes);
    std::string bytes;
    if (!file.ReadAll(bytes, error)) return false;
    try {
        Magick::Blob blob(bytes.data(), bytes.size());
        image.quiet(true);  // a warning (a truncated JPEG, say) leaves a usable image
        image.subRange(1);  // the first image of a multi-image TIFF only
        image.magick(ReaderName(format));
        image.ping(blob);
        if (Lower(image.magick()) != Lower(ReaderName(format))) {
            if (error) *error = NotAnImage(path);
            return false;
        }
        const long long w = image.columns(), h = image.rows();
        if (w < 1 || h < 1) {
            if (error) *error = Quoted(path) + " holds no image.";
            return false;
        }
        wanted = {static_cast<int>(std::min<long long>(w, INT_MAX)),
                  static_cast<int>(std::min<long long>(h, INT_MAX))};
        std::pair<long long, long long> decoded{w, h};
        bool reduce = false;
        if (target != nullptr) {
            if (w > INT_MAX || h > INT_MAX) {
                wanted = {0, 0};
            } else {
                wanted = (*target)(static_cast<int>(w), static_cast<int>(h));
            }
            if (wanted.first < 1 || wanted.second < 1) {
                if (error) *error = Quoted(path) + " is too narrow to be scaled.";
                return false;
            }
            if (format == ImageFormat::Jpeg && wanted.first < w && wanted.second < h) {
                decoded = ReducedJpegSize(w, h, wanted.first, wanted.second);
                reduce = decoded != std::pair<long long, long long>{w, h};
            }
        }
        const long long budget = ImageDecodeBudget();
        const long long need = fileBytes + ImageDecodeCost(decoded.first, decoded.second);
        if (need > budget) {
            if (error)
                *error = Quoted(path) + " (" + std::to_string(w) + " x " + std::to_string(h) +
                         " pixels) is larger than the images Pelmora accepts: it needs " +
                         Megabytes(need) + " MB to decode, the limit is " + Megabytes(budget) +
                         " MB.";
            return false;
        }
        if (!reservation.TryGrow(need)) {
            // Others hold the rest: let go of everything, wait for the whole amount, and
            // read the file again.
            bytes.clear();
            bytes.shrink_to_fit();
            reservation.Acquire(need);
            if (!file.ReadAll(bytes, error)) return false;
            blob.update(bytes.data(), bytes.size());
        }
        bytes.clear();
        bytes.shrink_to_fit();
        if (reduce)
            image.size(Magick::Geometry(static_cast<unsigned>(wanted.first),
                                        static_cast<unsigned>(wanted.second)));
        image.read(blob);
        if (Lower(image.magick()) != Lower(ReaderName(format))) {
            if (error) *error = NotAnImage(path);
            return false;
        }
        if (image.columns() < 1 || image.rows() < 1) {
            if (error) *error = Quoted(path) + " holds no image.";
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        if (error) *error = Quoted(path) + " could not be read as an image: " + LibraryReason(e);
        return false;
    }
}

// Lays an image with alpha over a plain background, in place, and drops the alpha. Done at
// the decoded size, before any scaling, so that the colours hidden under transparent
// pixels never bleed into their neighbours.
void Flatten(Magick::Image& image, std::optional<Colour> background) {
    if (!background || !image.matte()) return;
    using MagickLib::Quantum;
    constexpr unsigned kMax = MaxRGB;
    const unsigned r = ScaleCharToQuantum(RedOf(*background)),
                   g = ScaleCharToQuantum(GreenOf(*background)),
                   b = ScaleCharToQuantum(BlueOf(*background));
    const auto blend = [](unsigned colour, unsigned under, unsigned opacity) {
        // opacity counts from opaque (0) to fully transparent (kMax).
        return static_cast<Quantum>((static_cast<unsigned long long>(colour) * (kMax - opacity) +
                                     static_cast<unsigned long long>(under) * opacity + kMax / 2) /
                                    kMax);
    };
    // A palette image's pixels would be taken from its palette again.
    image.classType(Magick::DirectClass);
    const unsigned w = image.columns(), h = image.rows();
    Magick::Pixels view(image);
    for (unsigned y = 0; y < h; ++y) {
        MagickLib::PixelPacket* p = view.get(0, static_cast<int>(y), w, 1);
        for (unsigned x = 0; x < w; ++x, ++p) {
            const unsigned opacity = p->opacity;
            p->red = blend(p->red, r, opacity);
            p->green = blend(p->green, g, opacity);
            p->blue = blend(p->blue, b, opacity);
            p->opacity = OpaqueOpacity;
        }
        view.sync();
    }
    image.matte(false);
}

// The library image's pixels as a 24-bit image.
Image ToImage(Magick::Image& image) {
    const int w = static_cast<int>(image.columns()), h = static_cast<int>(image.rows());
    Image out(w, h);
    if (out.IsNull()) return out;
    if (out.Stride() == w * 3) {
        image.write(0, 0, w, h, "RGB", Magick::CharPixel, out.Data());
    } else {
        // Rows padded to whole words: one row at a time, no second copy of the pixels.
        for (int y = 0; y < h; ++y) image.write(0, y, w, 1, "RGB", Magick::CharPixel, out.Row(y));
    }
    return out;
}

}  // namespace

void InitImageLibrary(const char* argv0) {
    std::call_once(gInitOnce, [argv0] {
        Magick::InitializeMagick(argv0);
        MagickLib::SetWarningHandler(QuietHandler);
        MagickLib::SetErrorHandler(QuietHandler);
        MagickLib::SetFatalErrorHandler(FatalHandler);
        ApplyLibraryLimits();
    });
}

void SetImageLibraryThreads(int threads) {
    MagickLib::SetMagickResourceLimit(MagickLib::ThreadsResource, std::max(threads, 1));
}

ImageFormat DetectImageFormat(std::string_view h, std::string_view name) {
    const auto starts = [&](std::string_view magic) { return h.substr(0, magic.size()) == magic; };
    if (starts(std::string_view("\x89PNG\r\n\x1a\n", 8))) return ImageFormat::Png;
    if (starts("\xff\xd8\xff")) return ImageFormat::Jpeg;
    if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4)))
        return ImageFormat::Tiff;
    if (starts("BM") && h.size() >= 18) {
        // The info header's size tells the BMP versions apart; no other file has these.
        const unsigned long info = Le32(h, 14);
        if (info == 12 || info == 16 || info == 40 || info == 52 || info == 56 || info == 64 ||
            info == 108 || info == 124)
            return ImageFormat::Bmp;
    }
    if (h.size() >= 4 && Byte(h, 0) == 0x0A && Byte(h, 1) <= 5 && Byte(h, 1) != 1 &&
        Byte(h, 2) <= 1 &&
        (Byte(h, 3) == 1 || Byte(h, 3) == 2 || Byte(h, 3) == 4 || Byte(h, 3) == 8))
        return ImageFormat::Pcx;
    if (FormatFromExtension(std::string(name)) == ImageFormat::Tga && LooksLikeTga(h))
        return ImageFormat::Tga;
    return ImageFormat::Unknown;
}

long long ImageDecodeBudget() {
    return Budget().Limit();
}

void SetImageDecodeBudget(long long bytes) {
    Budget().SetLimit(bytes);
}

long long ImageDecodeCost(long long width, long long height) {
    // The library's pixel cache, a decoder's own buffer of whole rows (PNG, BMP and PCX
    // keep one for the whole image, up to 8 bytes a pixel) and the 24-bit result or the
    // scaled copy.
    constexpr long long kPerPixel = static_cast<long long>(sizeof(MagickLib::PixelPacket)) + 8 + 8;
    if (width <= 0 || height <= 0) return 0;
    if (width > LLONG_MAX / kPerPixel / height) return LLONG_MAX / 2;
    return width * height * kPerPixel;
}

std::optional<Image> LoadImage(const std::string& path, std::string* error,
                               std::optional<Colour> background) {
    try {
        Magick::Image image;
        std::pair<int, int> size;
        if (!Decode(path, nullptr, image, size, error)) return std::nullopt;
        Flatten(image, background);
        Image out = ToImage(image);
        if (out.IsNull()) {
            if (error) *error = Quoted(path) + " holds no image.";
            return std::nullopt;
        }
        return out;
    } catch (const std::exception& e) {
        if (error) *error = Quoted(path) + " could not be read as an image: " + LibraryReason(e);
        return std::nullopt;
    }
}

std::optional<Image> LoadScaledImage(const std::string& path, const TargetSize& targetSize,
                                     std::string* error, std::optional<Colour> background) {
    try {
        Magick::Image image;
        std::pair<int, int> size;
        if (!Decode(path, &targetSize, image, size, error)) return std::nullopt;
        Flatten(image, background);
        if (static_cast<int>(image.columns()) != size.first ||
            static_cast<int>(image.rows()) != size.second) {
            // As ResizeImage does it, from the 24-bit colours without transparency.
            image.matte(false);
            image.filterType(Magick::TriangleFilter);
            Magick::Geometry geometry(static_cast<unsigned>(size.first),
                                      static_cast<unsigned>(size.second));
            geometry.aspect(true);
            image.resize(geometry);
        }
        Image out = ToImage(image);
        if (out.Width() != size.first || out.Height() != size.second) {
            if (error) *error = Quoted(path) + " could not be scaled.";
            return std::nullopt;
        }
        return out;
    } catch (const std::exception& e) {
        if (error) *error = Quoted(path) + " could not be read as an image: " + LibraryReason(e);
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

std::pair<long long, long long> MaxImageSizeFor(ImageFormat format) {
    const ImageFormatInfo* row = FormatInfo(format);
    if (row == nullptr) return {0, 0};
    return {row->maxWidth, row->maxHeight};
}

std::optional<std::string> EncodeImage(const Image& source, ImageFormat format, int jpegQuality,
                                       std::string* error) {
    if (source.IsNull()) {
        if (error) *error = "There is no image to write.";
        return std::nullopt;
    }
    const ImageFormatInfo* row = FormatInfo(format);
    if (row == nullptr) {
        if (error) *error = "Unknown image format.";
        return std::nullopt;
    }
    const auto [maxWidth, maxHeight] = MaxImageSizeFor(format);
    if (source.Width() > maxWidth || source.Height() > maxHeight) {
        if (error)
            *error = std::string("a ") + ExtensionForFormat(format) + " file holds at most " +
                     std::to_string(maxWidth) + " x " + std::to_string(maxHeight) +
                     " pixels, this image is " + std::to_string(source.Width()) + " x " +
                     std::to_string(source.Height()) + ".";
        return std::nullopt;
    }
    const auto rgb = source.PackedRgb();
    if (format == ImageFormat::Raw) return std::string(rgb.begin(), rgb.end());
    try {
        Magick::Image image(source.Width(), source.Height(), "RGB", Magick::CharPixel, rgb.data());
        image.quiet(true);
        image.type(Magick::TrueColorType);
        image.depth(8);
        image.magick(row->writer);
        if (row->lossy) image.quality(std::clamp(jpegQuality, 0, 100));
        // PCX keeps the library's run-length encoding, the one every PCX reader knows.
        if (format == ImageFormat::Tga || format == ImageFormat::Bmp)
            image.compressType(Magick::NoCompression);
        Magick::Blob blob;
        image.write(&blob);
        return std::string(static_cast<const char*>(blob.data()), blob.length());
    } catch (const std::exception& e) {
        if (error) *error = "The image could not be encoded: " + LibraryReason(e);
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
