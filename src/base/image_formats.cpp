#include "base/image_formats.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace pelmora {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::vector<std::string_view> ExtensionsOf(const ImageFormatInfo& format) {
    std::vector<std::string_view> all{format.extension};
    all.insert(all.end(), format.otherExtensions.begin(), format.otherExtensions.end());
    return all;
}

std::string Joined(const std::vector<std::string_view>& items, std::string_view separator,
                   std::string_view lastSeparator) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? lastSeparator : separator;
        text += items[i];
    }
    return text;
}

}  // namespace

const ImageFormatInfo* FormatInfo(ImageFormat format) {
    for (const ImageFormatInfo& row : ImageFormats())
        if (row.format == format) return &row;
    return nullptr;
}

ImageFormat FormatFromExtension(const std::string& extensionOrPath) {
    std::string ext = extensionOrPath;
    if (const auto dot = ext.rfind('.'); dot != std::string::npos) ext = ext.substr(dot + 1);
    ext = Lower(ext);
    for (const ImageFormatInfo& row : ImageFormats()) {
        const auto names = ExtensionsOf(row);
        if (std::find(names.begin(), names.end(), ext) != names.end()) return row.format;
    }
    return ImageFormat::Unknown;
}

const char* ExtensionForFormat(ImageFormat format) {
    const ImageFormatInfo* row = FormatInfo(format);
    return row ? row->extension : "";
}

std::string ExtensionList(std::span<const ImageFormatInfo> formats, std::string_view prefix,
                          std::string_view separator, std::string_view lastSeparator) {
    std::vector<std::string> prefixed;
    for (const ImageFormatInfo& row : formats)
        for (const std::string_view ext : ExtensionsOf(row))
            prefixed.push_back(std::string(prefix) + std::string(ext));
    return Joined({prefixed.begin(), prefixed.end()}, separator, lastSeparator);
}

std::string LabelList(std::span<const ImageFormatInfo> formats) {
    std::vector<std::string_view> labels;
    for (const ImageFormatInfo& row : formats) labels.push_back(row.label);
    return Joined(labels, ", ", " or ");
}

std::string FilterText(const ImageFormatInfo& format) {
    return std::string(format.label) + " (" + ExtensionList({&format, 1}, "*.") + ")";
}

std::string FilterPatterns(const ImageFormatInfo& format) {
    return ExtensionList({&format, 1}, "*.", ";", ";");
}

}  // namespace pelmora
