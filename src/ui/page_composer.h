#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <vector>

#include "base/image.h"
#include "base/texture_record.h"
#include "ui/display_options.h"

namespace pelmora::ui {

// A copy of a store image that Qt can draw on and show.
QImage ToQImage(const Image& image);
Image FromQImage(const QImage& image);

// A one-pixel frame whose lines lie on the rectangle's first and last rows and columns;
// whatever falls outside the image is left out.
void OutlineRect(QImage& image, const QRect& rect, const QColor& colour);

// The page rectangle a record covers (left and top inclusive, right and bottom exclusive).
QRect RecordRect(const TextureRecord& record);

struct GridNumber {
    QString text;
    QRect box;
};

// The cells' numbers, left to right and then top to bottom, each box centred in its cell.
std::vector<GridNumber> GridNumberLayout(int across, int down, const QFontMetrics& metrics);

// Draws the numbers in the number font and colour, without a background.
void DrawGridNumbers(QImage& image, const DisplayOptions& options);

// The page as the canvas shows it: the page's pixels with the rectangles of its records,
// the grid, the numbers and, over all of them, the selected record. The page itself is
// only read.
QImage ComposePage(const Image& page, const std::vector<TextureRecord>& records, int pageIndex,
                   int selectedRecord, const DisplayOptions& options);

}  // namespace pelmora::ui
