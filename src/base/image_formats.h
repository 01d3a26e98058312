#pragma once

#include <climits>
#include <span>
#include <string>
#include <string_view>

namespace pelmora {

enum class ImageFormat { Unknown, Bmp, Pcx, Png, Tga, Tiff, Jpeg, Raw };

// What the program knows about one image file format. Every list of formats (the file
// choosers' filters, the Export Options list, the command line's choices and messages, the
// extensions a folder is searched for) is made from these rows, so a format is added or
// changed in one place.
struct ImageFormatInfo {
    ImageFormat format;
    const char* label;                             // "TIFF": how lists and messages name it
    const char* extension;                         // "tif": the one written
    std::span<const char* const> otherExtensions;  // also read as this format: "tiff"
    // The image library's coder that writes the format (BMP3: an uncompressed 24-bit BMP
    // every reader knows); nullptr for RAW, which is written without the library.
    const char* writer;
    // The coder named for reading, which the library reports back once it has read the
    // header; nullptr for a format that is never decoded (RAW has no size to read).
    const char* reader;
    bool lossy;  // written with a quality, never exactly
    // The largest width and height a file of the format can record.
    long long maxWidth;
    long long maxHeight;
};

namespace image_format_rows {
inline constexpr const char* kTiffOthers[] = {"tiff"};
inline constexpr const char* kJpegOthers[] = {"jpe", "jpeg", "jfif"};
// The order is the order of every list. RAW stays last: the picture formats before it are
// one run of rows.
inline constexpr ImageFormatInfo kRows[] = {
    {ImageFormat::Bmp, "BMP", "bmp", {}, "BMP3", "BMP", false, INT_MAX, INT_MAX},
    // PCX: 16-bit first and last column and row.
    {ImageFormat::Pcx, "PCX", "pcx", {}, "PCX", "PCX", false, 65536, 65536},
    {ImageFormat::Png, "PNG", "png", {}, "PNG", "PNG", false, INT_MAX, INT_MAX},
    // TGA: 16-bit width and height.
    {ImageFormat::Tga, "TGA", "tga", {}, "TGA", "TGA", false, 65535, 65535},
    {ImageFormat::Tiff, "TIFF", "tif", kTiffOthers, "TIFF", "TIFF", false, INT_MAX, INT_MAX},
    // JPEG: the JPEG library's own limit.
    {ImageFormat::Jpeg, "JPEG", "jpg", kJpegOthers, "JPEG", "JPEG", true, 65500, 65500},
    {ImageFormat::Raw, "RAW", "raw", {}, nullptr, nullptr, false, LLONG_MAX, LLONG_MAX},
};
}  // namespace image_format_rows

// Every format Pelmora reads or writes, in the order lists show them.
constexpr std::span<const ImageFormatInfo> ImageFormats() {
    return image_format_rows::kRows;
}
// The formats that are image files with a size of their own: all but RAW. These are the
// ones decoded, searched for in folders and offered by the bulk exports.
constexpr std::span<const ImageFormatInfo> PictureFormats() {
    return ImageFormats().first(ImageFormats().size() - 1);
}

// The row of a format; nullptr for Unknown.
const ImageFormatInfo* FormatInfo(ImageFormat format);

// From a file name's extension, with or without the dot, ignoring case; Unknown for any
// extension no row lists.
ImageFormat FormatFromExtension(const std::string& extensionOrPath);
// The extension written for a format ("tif" for TIFF); "" for Unknown.
const char* ExtensionForFormat(ImageFormat format);

// Every extension of the formats, in table order, each after prefix, joined by separator,
// and by lastSeparator before the last: ("*.", ";", ";") gives "*.bmp;*.pcx;...".
std::string ExtensionList(std::span<const ImageFormatInfo> formats, std::string_view prefix = "",
                          std::string_view separator = ", ", std::string_view lastSeparator = ", ");
// The labels joined by ", " and " or ": "BMP, PCX, PNG, TGA, TIFF or JPEG".
std::string LabelList(std::span<const ImageFormatInfo> formats);

// A file chooser's filter for one format: its text, "TIFF (*.tif, *.tiff)", and its
// patterns, "*.tif;*.tiff".
std::string FilterText(const ImageFormatInfo& format);
std::string FilterPatterns(const ImageFormatInfo& format);

}  // namespace pelmora
