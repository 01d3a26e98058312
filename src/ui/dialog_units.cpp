#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <algorithm>

namespace pelmora::ui {

QFont DialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

DialogUnits DialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int averageWidth = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    // The page is shown at 1:1 between the label row (20 units) and the buttons (180 units),
    // so the units must never be so small that 256 pixels no longer fit between them;
    // the same holds across for the preview panel beside it.
    return DialogUnits(std::max(averageWidth, 6), std::max(metrics.height(), 13));
}

}  // namespace pelmora::ui
