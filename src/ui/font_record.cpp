#include "ui/font_record.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace pelmora::ui {

namespace {

// Quality and pitch-and-family values of the record's system.
constexpr uint8_t kNonAntialiasedQuality = 3;
constexpr uint8_t kAntialiasedQuality = 4;
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kPitchMask = 0x03;
// Far beyond any use on a 256-pixel page; a garbled file must not make the font engine
// build glyphs of millions of pixels.
constexpr int kMaxPixelSize = 1000;

struct FamilyHint {
    uint8_t family;
    QFont::StyleHint hint;
};
constexpr FamilyHint kFamilyHints[] = {
    {0x10, QFont::Serif},   {0x20, QFont::SansSerif},  {0x30, QFont::Monospace},
    {0x40, QFont::Cursive}, {0x50, QFont::Decorative},
};

// The pixel size whose ascent plus descent comes closest to a cell height.
int PixelSizeForCellHeight(QFont font, int cellHeight) {
    font.setPixelSize(cellHeight);
    const qreal measured = QFontMetricsF(font).height();
    if (measured <= 0) return cellHeight;
    return std::max(1, static_cast<int>(std::lround(cellHeight * cellHeight / measured)));
}

qreal ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

QByteArray FaceNameBytes(const QString& family) {
    QByteArray bytes = family.toUtf8();
    // Never cut inside a UTF-8 sequence: the name would not read back.
    int length = std::min<int>(bytes.size(), kFontFaceNameSize - 1);
    while (length > 0 && length < bytes.size() && (bytes[length] & 0xC0) == 0x80) --length;
    bytes.truncate(length);
    return bytes;
}

}  // namespace

QFont FontFromRecord(const FontRecord& record) {
    QFont font(
        QString::fromUtf8(record.faceName.data(), static_cast<qsizetype>(record.faceName.size())));
    const uint8_t family = record.pitchAndFamily & 0xF0;
    for (const FamilyHint& h : kFamilyHints) {
        if (h.family == family) font.setStyleHint(h.hint);
    }
    if ((record.pitchAndFamily & kPitchMask) == kFixedPitch) font.setFixedPitch(true);
    if (record.quality == kNonAntialiasedQuality) font.setStyleStrategy(QFont::NoAntialias);
    if (record.quality == kAntialiasedQuality) font.setStyleStrategy(QFont::PreferAntialias);
    font.setWeight(record.weight == 0
                       ? QFont::Normal
                       : static_cast<QFont::Weight>(std::clamp(record.weight, 1, 1000)));
    font.setItalic(record.italic);
    font.setUnderline(record.underline);
    font.setStrikeOut(record.strikeOut);
    if (record.height < 0) {
        font.setPixelSize(
            static_cast<int>(std::min<int64_t>(-int64_t{record.height}, kMaxPixelSize)));
    } else if (record.height > 0) {
        font.setPixelSize(std::min(
            PixelSizeForCellHeight(font, std::min(record.height, kMaxPixelSize)), kMaxPixelSize));
    }
    return font;
}

FontRecord RecordFromFont(const QFont& font, const FontRecord& base) {
    FontRecord record = base;
    if (font.pixelSize() > 0) {
        record.height = -font.pixelSize();
    } else {
        record.height = -static_cast<int32_t>(std::lround(font.pointSizeF() * ScreenDpi() / 72));
    }
    record.weight = font.weight();
    record.italic = font.italic();
    record.underline = font.underline();
    record.strikeOut = font.strikeOut();
    record.faceName = FaceNameBytes(font.family()).toStdString();

    record.quality = 0;
    if (font.styleStrategy() & QFont::NoAntialias) record.quality = kNonAntialiasedQuality;
    if (font.styleStrategy() & QFont::PreferAntialias) record.quality = kAntialiasedQuality;
    uint8_t family = 0;
    for (const FamilyHint& h : kFamilyHints) {
        if (h.hint == font.styleHint()) family = h.family;
    }
    record.pitchAndFamily = static_cast<uint8_t>(family | (font.fixedPitch() ? kFixedPitch : 0));
    return record;
}

}  // namespace pelmora::ui
