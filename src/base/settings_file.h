#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/colour.h"
#include "base/outcome.h"

namespace pelmora {

// The settings file: a fixed 162-byte record of the editor's colours, fonts, grid, check
// boxes and options, kept between runs. Its layout is shared with older copies of the
// program, so the bytes never change shape; fields are little-endian.
constexpr size_t kSettingsFileSize = 162;
constexpr size_t kFontRecordSize = 60;
constexpr size_t kFontFaceNameSize = 32;  // with its terminating zero
constexpr std::string_view kSettingsMagic = "PELMORCFG";
constexpr const char* kSettingsWrongTypeMessage =
    "Couldn't load settings file...\nError::Wrong Type";
constexpr const char* kSettingsFileName = "pelmora.cfg";

// A font as the file stores it: the logical-font description of the system the file format
// comes from. Heights below 0 are character heights in pixels, above 0 cell heights.
struct FontRecord {
    int32_t height = 0;
    int32_t averageWidth = 0;  // 0: chosen by the font mapper
    int32_t escapement = 0;    // tenths of a degree
    int32_t orientation = 0;   // tenths of a degree
    int32_t weight = 0;        // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = 0;
    uint8_t outputPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName;  // at most 31 bytes are kept

    bool operator==(const FontRecord&) const = default;

    static FontRecord DefaultNumberFont();
    static FontRecord DefaultProgressFont();
};

// The 60 bytes of a font record (the face name cut to 31 bytes and zero-filled) and back.
std::array<uint8_t, kFontRecordSize> FontRecordBytes(const FontRecord& font);
FontRecord ParseFontRecord(const uint8_t* bytes);

// Everything the file keeps, with the editor's defaults.
struct Settings {
    bool track = false;
    Colour trackColour = 0x00FF00;
    Colour selectionColour = 0xFFFFFF;
    bool showGrid = false;
    bool showRectangles = false;
    bool showNumbers = false;
    Colour gridColour = 0xFF00FF;
    Colour rectangleColour = 0x00FFFF;
    Colour numberColour = 0xFFFF00;
    int cpuPriority = 2;  // 1 low, 2 normal, 3 high; other values are kept as read
    int sortFilesBy = 1;  // 1 name, 2 size ascending, 3 size descending; others kept as read
    bool showWarnings = true;
    bool texturesBeingAdded = true;
    int gridAcross = 64;  // never below 1
    int gridDown = 64;
    FontRecord numberFont = FontRecord::DefaultNumberFont();
    FontRecord progressFont = FontRecord::DefaultProgressFont();
    bool draw = false;

    bool operator==(const Settings&) const = default;
};

// The 162 bytes of the file. Grid sizes above 65535 are written as 65535, the largest the
// file holds (any size from 256 on draws the same single cell).
std::string SettingsFileBytes(const Settings& settings);

// Reads the bytes of a settings file over the defaults. The magic is compared without regard
// to letter case; when it does not match (or the bytes are too few to hold it) the defaults
// are returned and *message is kSettingsWrongTypeMessage. A file cut short keeps the defaults
// for the fields it does not hold whole, bytes beyond the layout are ignored, and a grid size
// of 0 keeps the default since the grid is drawn in steps of that size.
Settings ParseSettings(std::string_view bytes, std::string* message);

struct SettingsLoad {
    Settings settings;
    std::string message;  // what to tell the user; empty when there is nothing to tell
};

// Reads the settings file at path. A file that does not exist yet (the first start) gives
// the defaults with no message; any other failure to read gives the defaults and the file
// error naming the path. Never blocks on a FIFO and reads no more than the layout's bytes.
SettingsLoad LoadSettingsFile(const std::string& path);

// Writes the settings file, replacing an old one only once the new one is complete, and
// making its folder (private to the user) when it is missing. On failure the old file is
// untouched and the message names the path.
Outcome SaveSettingsFile(const Settings& settings, const std::string& path);

// Where the settings live: pelmora.cfg beside the program file when one is there (a
// portable copy), otherwise $XDG_CONFIG_HOME/pelmora/pelmora.cfg, or ~/.config/pelmora/
// when XDG_CONFIG_HOME is unset or not absolute. Without a home folder, beside the program.
std::string SettingsFilePath(const std::string& programPath);
// The same with the environment given, for callers that must not read the process's.
std::string SettingsFilePath(const std::string& programPath, const char* xdgConfigHome,
                             const char* home);

}  // namespace pelmora
