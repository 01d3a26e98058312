#pragma once

#include <QFont>

#include "base/settings_file.h"

namespace pelmora::ui {

// The settings file keeps fonts as 60-byte records of another system's font description;
// these map them to Qt's fonts and back.
//
// A height below 0 is a character height in pixels (Qt's pixel size); one above 0 is a cell
// height (ascent plus descent), met as closely as the font allows; 0 keeps Qt's default
// size. Weights share Qt's 1 to 1000 scale (0, "any", is normal). Antialiasing and the
// pitch-and-family hints map to Qt's style strategy, fixed pitch and style hint.
QFont FontFromRecord(const FontRecord& record);

// The record of a font, its height always as a pixel height (a point size is converted at
// the screen's resolution). Fields Qt has no notion of (average width, escapement,
// orientation, character set, precisions) are taken from base, so that a record read from
// the file goes back unchanged when the user did not change the font.
FontRecord RecordFromFont(const QFont& font, const FontRecord& base = {});

}  // namespace pelmora::ui
