#include "ui/page_composer.h"

#include <algorithm>
#include <cstring>

#include "base/bitmap_header.h"

namespace pelmora::ui {

namespace {

// A cell size of 0 or less would never step across the page.
int CellStep(int size) {
    return std::max(size, 1);
}

}  // namespace

QImage ToQImage(const Image& image) {
    if (image.IsNull()) return {};
    const QImage view(image.Data(), image.Width(), image.Height(), image.Stride(),
                      QImage::Format_RGB888);
    return view.convertToFormat(QImage::Format_RGB32);
}

Image FromQImage(const QImage& source) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    Image image(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(image.Row(y), rgb.constScanLine(y), static_cast<size_t>(rgb.width()) * 3);
    }
    return image;
}

void OutlineRect(QImage& image, const QRect& rect, const QColor& colour) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const QRgb pixel = colour.rgb();
    const QRect bounds = image.rect();
    auto line = [&](int x0, int y0, int x1, int y1) {  // inclusive ends, axis-aligned
        const QRect part = QRect(QPoint(x0, y0), QPoint(x1, y1)).intersected(bounds);
        for (int y = part.top(); y <= part.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = part.left(); x <= part.right(); ++x) row[x] = pixel;
        }
    };
    const int left = rect.left();
    const int top = rect.top();
    const int right = left + rect.width() - 1;
    const int bottom = top + rect.height() - 1;
    line(left, top, right, top);
    line(left, bottom, right, bottom);
    line(left, top, left, bottom);
    line(right, top, right, bottom);
}

QRect RecordRect(const TextureRecord& record) {
    return QRect(record.X, record.Y, record.Width(), record.Height());
}

std::vector<GridNumber> GridNumberLayout(int across, int down, const QFontMetrics& metrics) {
    across = CellStep(across);
    down = CellStep(down);
    std::vector<GridNumber> numbers;
    int n = 0;
    for (int y = 0; y < kPageSize; y += down) {
        for (int x = 0; x < kPageSize; x += across) {
            const QString text = QString::number(++n);
            const int tw = metrics.horizontalAdvance(text);
            const int th = metrics.height();
            const int left = x / 2 - tw / 2 + (x + across) / 2;
            const int top = y / 2 - th / 2 + (y + down) / 2;
            numbers.push_back({text, QRect(left, top, tw, th)});
        }
    }
    return numbers;
}

void DrawGridNumbers(QImage& image, const DisplayOptions& options) {
    QPainter painter(&image);
    painter.setFont(options.numberFont);
    painter.setPen(ToQColor(options.numberColour));
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const GridNumber& number :
         GridNumberLayout(options.gridAcross, options.gridDown, painter.fontMetrics())) {
        painter.drawText(number.box, Qt::AlignCenter, number.text);
    }
}

QImage ComposePage(const Image& page, const std::vector<TextureRecord>& records, int pageIndex,
                   int selectedRecord, const DisplayOptions& options) {
    QImage image = ToQImage(page);
    if (image.isNull()) return image;
    if (options.showRectangles) {
        const QColor colour = ToQColor(options.rectangleColour);
        for (const TextureRecord& r : records) {
            if (r.Page == pageIndex) OutlineRect(image, RecordRect(r), colour);
        }
    }
    if (options.showGrid) {
        const QColor colour = ToQColor(options.gridColour);
        const int across = CellStep(options.gridAcross);
        const int down = CellStep(options.gridDown);
        for (int y = 0; y < kPageSize; y += down) {
            for (int x = 0; x < kPageSize; x += across) {
                OutlineRect(image, QRect(x, y, across, down), colour);
            }
        }
    }
    if (options.showNumbers) DrawGridNumbers(image, options);
    if (selectedRecord < 0) selectedRecord = 0;
    if (selectedRecord < static_cast<int>(records.size()) &&
        records[selectedRecord].Page == pageIndex) {
        OutlineRect(image, RecordRect(records[selectedRecord]), ToQColor(options.selectionColour));
    }
    return image;
}

}  // namespace pelmora::ui
