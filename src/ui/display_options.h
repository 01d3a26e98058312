#pragma once

#include <QColor>
#include <QFont>

#include "base/colour.h"

namespace pelmora::ui {

inline QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
inline Colour FromQColor(const QColor& c) {
    return MakeColour(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                      static_cast<uint8_t>(c.blue()));
}

// What the page is drawn with. The three "Show" flags mirror their check boxes at the
// moment of drawing.
struct DisplayOptions {
    Colour selectionColour = 0xFFFFFF;
    Colour gridColour = 0xFF00FF;
    Colour rectangleColour = 0x00FFFF;
    Colour numberColour = 0xFFFF00;
    Colour trackColour = 0x00FF00;
    QFont numberFont = DefaultNumberFont();
    int gridAcross = 64;
    int gridDown = 64;
    bool showGrid = false;
    bool showRectangles = false;
    bool showNumbers = false;

    static QFont DefaultNumberFont() {
        QFont font(QStringLiteral("Arial"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(19);
        font.setWeight(QFont::Bold);
        return font;
    }
};

}  // namespace pelmora::ui
