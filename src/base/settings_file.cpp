#include "base/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/file_util.h"
#include "base/paths.h"

namespace pelmora {

namespace {

// Offsets of the fields in the file.
constexpr size_t kTrack = 9;
constexpr size_t kTrackColour = 10;
constexpr size_t kSelectionColour = 14;
constexpr size_t kShowGrid = 18;
constexpr size_t kShowRectangles = 19;
constexpr size_t kShowNumbers = 20;
constexpr size_t kGridColour = 21;
constexpr size_t kRectangleColour = 25;
constexpr size_t kNumberColour = 29;
constexpr size_t kCpuPriority = 33;
constexpr size_t kSortFilesBy = 34;
constexpr size_t kShowWarnings = 35;
constexpr size_t kTexturesBeingAdded = 36;
constexpr size_t kGridAcross = 37;
constexpr size_t kGridDown = 39;
constexpr size_t kNumberFont = 41;
constexpr size_t kProgressFont = 101;
constexpr size_t kDraw = 161;

// Sans serif: where the named face is missing (no system here has Arial or MS Sans Serif
// for sure) the font engine falls back to a sans-serif face, not to just any face.
constexpr uint8_t kSwissFamily = 0x20;

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU16(const uint8_t* p) {
    return p[0] | (static_cast<uint32_t>(p[1]) << 8);
}
uint32_t GetU32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// The fields that the bytes hold whole; the rest keep what they had.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes)
        : data_(reinterpret_cast<const uint8_t*>(bytes.data())), size_(bytes.size()) {}
    void Flag(size_t at, bool& field) const {
        if (Has(at, 1)) field = data_[at] != 0;
    }
    void Byte(size_t at, int& field) const {
        if (Has(at, 1)) field = data_[at];
    }
    void Colour32(size_t at, Colour& field) const {
        if (Has(at, 4)) field = GetU32(data_ + at);
    }
    void GridSize(size_t at, int& field) const {
        if (Has(at, 2) && GetU16(data_ + at) >= 1) field = static_cast<int>(GetU16(data_ + at));
    }
    void Font(size_t at, FontRecord& field) const {
        if (Has(at, kFontRecordSize)) field = ParseFontRecord(data_ + at);
    }

private:
    bool Has(size_t at, size_t n) const { return at + n <= size_; }
    const uint8_t* data_;
    size_t size_;
};

uint32_t GridSizeToWrite(int value) {
    return static_cast<uint32_t>(std::clamp(value, 0, 0xFFFF));
}

// Makes each missing folder on the way to path's folder, readable by the user only (the
// configuration folders are the user's own).
void MakeFoldersFor(const std::string& path) {
    const std::string folder = DirectoryOf(path);
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    }
}

}  // namespace

FontRecord FontRecord::DefaultNumberFont() {
    FontRecord font;
    font.height = -19;
    font.weight = 700;
    font.pitchAndFamily = kSwissFamily;
    font.faceName = "Arial";
    return font;
}

FontRecord FontRecord::DefaultProgressFont() {
    FontRecord font;
    font.height = -11;  // 8 points on a 96-dots-per-inch screen
    font.weight = 700;
    font.pitchAndFamily = kSwissFamily;
    font.faceName = "MS Sans Serif";
    return font;
}

std::array<uint8_t, kFontRecordSize> FontRecordBytes(const FontRecord& font) {
    std::array<uint8_t, kFontRecordSize> out{};
    PutU32(&out[0], static_cast<uint32_t>(font.height));
    PutU32(&out[4], static_cast<uint32_t>(font.averageWidth));
    PutU32(&out[8], static_cast<uint32_t>(font.escapement));
    PutU32(&out[12], static_cast<uint32_t>(font.orientation));
    PutU32(&out[16], static_cast<uint32_t>(font.weight));
    out[20] = font.italic ? 1 : 0;
    out[21] = font.underline ? 1 : 0;
    out[22] = font.strikeOut ? 1 : 0;
    out[23] = font.charSet;
    out[24] = font.outputPrecision;
    out[25] = font.clipPrecision;
    out[26] = font.quality;
    out[27] = font.pitchAndFamily;
    const size_t n = std::min(font.faceName.size(), kFontFaceNameSize - 1);
    std::memcpy(&out[28], font.faceName.data(), n);
    return out;
}

FontRecord ParseFontRecord(const uint8_t* bytes) {
    FontRecord font;
    font.height = static_cast<int32_t>(GetU32(bytes));
    font.averageWidth = static_cast<int32_t>(GetU32(bytes + 4));
    font.escapement = static_cast<int32_t>(GetU32(bytes + 8));
    font.orientation = static_cast<int32_t>(GetU32(bytes + 12));
    font.weight = static_cast<int32_t>(GetU32(bytes + 16));
    font.italic = bytes[20] != 0;
    font.underline = bytes[21] != 0;
    font.strikeOut = bytes[22] != 0;
    font.charSet = bytes[23];
    font.outputPrecision = bytes[24];
    font.clipPrecision = bytes[25];
    font.quality = bytes[26];
    font.pitchAndFamily = bytes[27];
    // The name ends at its zero; one that fills all 32 bytes loses its last byte, which the
    // terminator would have taken.
    const char* name = reinterpret_cast<const char*>(bytes + 28);
    font.faceName.assign(name, strnlen(name, kFontFaceNameSize - 1));
    return font;
}

std::string SettingsFileBytes(const Settings& s) {
    std::string out(kSettingsFileSize, '\0');
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    std::memcpy(p, kSettingsMagic.data(), kSettingsMagic.size());
    p[kTrack] = s.track ? 1 : 0;
    PutU32(p + kTrackColour, s.trackColour);
    PutU32(p + kSelectionColour, s.selectionColour);
    p[kShowGrid] = s.showGrid ? 1 : 0;
    p[kShowRectangles] = s.showRectangles ? 1 : 0;
    p[kShowNumbers] = s.showNumbers ? 1 : 0;
    PutU32(p + kGridColour, s.gridColour);
    PutU32(p + kRectangleColour, s.rectangleColour);
    PutU32(p + kNumberColour, s.numberColour);
    p[kCpuPriority] = static_cast<uint8_t>(s.cpuPriority);
    p[kSortFilesBy] = static_cast<uint8_t>(s.sortFilesBy);
    p[kShowWarnings] = s.showWarnings ? 1 : 0;
    p[kTexturesBeingAdded] = s.texturesBeingAdded ? 1 : 0;
    PutU16(p + kGridAcross, GridSizeToWrite(s.gridAcross));
    PutU16(p + kGridDown, GridSizeToWrite(s.gridDown));
    const auto number = FontRecordBytes(s.numberFont);
    std::memcpy(p + kNumberFont, number.data(), number.size());
    const auto progress = FontRecordBytes(s.progressFont);
    std::memcpy(p + kProgressFont, progress.data(), progress.size());
    p[kDraw] = s.draw ? 1 : 0;
    return out;
}

Settings ParseSettings(std::string_view bytes, std::string* message) {
    Settings s;
    if (bytes.size() < kSettingsMagic.size() ||
        !EqualsIgnoreCase(std::string(bytes.substr(0, kSettingsMagic.size())),
                          std::string(kSettingsMagic))) {
        if (message) *message = kSettingsWrongTypeMessage;
        return s;
    }
    const FieldReader read(bytes);
    read.Flag(kTrack, s.track);
    read.Colour32(kTrackColour, s.trackColour);
    read.Colour32(kSelectionColour, s.selectionColour);
    read.Flag(kShowGrid, s.showGrid);
    read.Flag(kShowRectangles, s.showRectangles);
    read.Flag(kShowNumbers, s.showNumbers);
    read.Colour32(kGridColour, s.gridColour);
    read.Colour32(kRectangleColour, s.rectangleColour);
    read.Colour32(kNumberColour, s.numberColour);
    read.Byte(kCpuPriority, s.cpuPriority);
    read.Byte(kSortFilesBy, s.sortFilesBy);
    read.Flag(kShowWarnings, s.showWarnings);
    read.Flag(kTexturesBeingAdded, s.texturesBeingAdded);
    read.GridSize(kGridAcross, s.gridAcross);
    read.GridSize(kGridDown, s.gridDown);
    read.Font(kNumberFont, s.numberFont);
    read.Font(kProgressFont, s.progressFont);
    read.Flag(kDraw, s.draw);
    return s;
}

SettingsLoad LoadSettingsFile(const std::string& path) {
    SettingsLoad load;
    struct stat st {};
    // The first start of a fresh installation has no file yet: nothing to tell the user.
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return load;
    const int fd = OpenInputFile(path, &load.message);
    if (fd < 0) return load;
    std::string bytes(kSettingsFileSize, '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            load.message = FileErrorMessage(path);
            ::close(fd);
            return load;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    load.settings = ParseSettings(bytes, &load.message);
    return load;
}

Outcome SaveSettingsFile(const Settings& settings, const std::string& path) {
    MakeFoldersFor(path);
    std::string error;
    if (!WriteFileAtomically(path, SettingsFileBytes(settings), &error)) {
        return Outcome::Failed(path, error);
    }
    return Outcome::Done();
}

std::string SettingsFilePath(const std::string& programPath, const char* xdgConfigHome,
                             const char* home) {
    const std::string beside = DirectoryOf(programPath) + kSettingsFileName;
    if (FileExists(beside)) return beside;
    // Relative values are to be ignored: they would name a different file in every folder
    // the program is started from.
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.config";
    } else {
        return beside;
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + "/pelmora/" + kSettingsFileName;
}

std::string SettingsFilePath(const std::string& programPath) {
    return SettingsFilePath(programPath, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace pelmora
