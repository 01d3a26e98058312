#include "ui/page_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "base/bitmap_header.h"
#include "ui/display_options.h"
#include "ui/page_composer.h"

namespace pelmora::ui {

namespace {

// The dotted frame of a drag: every other pixel of the outline inverted, so drawing it twice
// at the same place would give the page back.
void InvertDottedFrame(QImage& image, const QRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const int left = rect.left();
    const int top = rect.top();
    const int right = left + rect.width() - 1;
    const int bottom = top + rect.height() - 1;
    int n = 0;
    auto invert = [&](int x, int y) {
        if ((n++ & 1) == 0 && image.rect().contains(x, y)) {
            image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFF);
        }
    };
    for (int x = left; x <= right; ++x) invert(x, top);
    for (int y = top + 1; y <= bottom; ++y) invert(right, y);
    if (bottom > top)
        for (int x = right - 1; x >= left; --x) invert(x, bottom);
    if (right > left)
        for (int y = bottom - 1; y > top; --y) invert(left, y);
}

}  // namespace

PageCanvas::PageCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageCanvas"));
    setFixedSize(kPageSize, kPageSize);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PageCanvas::SetComposedPage(const QImage& page) {
    composed_ = page;
    hoverVisible_ = false;
    update();
}

void PageCanvas::ClearPage() {
    composed_ = QImage();
    hoverVisible_ = false;
    update();
}

void PageCanvas::SetDrawMode(bool on) {
    draw_ = on;
    if (!on) DestroyCoordinateTip();
    hoverVisible_ = false;
    update();
}

void PageCanvas::SetTrackMode(bool on) {
    track_ = on;
    hoverVisible_ = false;
    update();
}

QRect PageCanvas::SelectionRect() const {
    const int left = std::min(anchor_.x(), current_.x());
    const int right = std::max(anchor_.x(), current_.x());
    const int top = std::min(anchor_.y(), current_.y());
    const int bottom = std::max(anchor_.y(), current_.y());
    return QRect(left, top, right - left, bottom - top);
}

QPoint PageCanvas::Clamp(const QPoint& p) const {
    return QPoint(std::min(std::max(p.x(), 0), width()), std::min(std::max(p.y(), 0), height()));
}

void PageCanvas::DestroyCoordinateTip() {
    if (!tipExists_) return;
    tipExists_ = false;
    tipText_.clear();
    QToolTip::hideText();
}

void PageCanvas::ShowTip(const QString& text, const QPoint& globalPos) {
    tipExists_ = true;
    tipText_ = text;
    tipPos_ = globalPos;
    if (isVisible()) QToolTip::showText(globalPos, text, this, QRect(), 60 * 60 * 1000);
}

QImage PageCanvas::Render() const {
    if (composed_.isNull()) return composed_;
    QImage image = composed_.convertToFormat(QImage::Format_RGB32);
    if (dragging_) {
        InvertDottedFrame(image, SelectionRect());
    } else if (hoverVisible_) {
        const QColor colour = ToQColor(trackColour_);
        OutlineRect(image, hover_.rect, colour);
        QPainter painter(&image);
        painter.setPen(QPen(colour, 1));
        const int left = hover_.rect.left();
        const int top = hover_.rect.top();
        const int right = left + hover_.rect.width();
        const int bottom = top + hover_.rect.height();
        if (hover_.flipX == 0 || hover_.flipY == 0)
            painter.drawLine(left + 1, top + 1, right - 1, bottom - 1);
        if (hover_.flipX == -1 || hover_.flipY == -1)
            painter.drawLine(right - 2, top + 1, left, bottom - 1);
    }
    return image;
}

void PageCanvas::paintEvent(QPaintEvent*) {
    if (composed_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void PageCanvas::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (!draw_ && !isEmpty()) emit contextMenuWanted(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (draw_) {
        setFocus(Qt::MouseFocusReason);
        if (isEmpty()) return;
        anchor_ = current_ = point;
        dragging_ = true;
        update();
        return;
    }
    if (isEmpty()) return;
    if (const auto hit = hitTest(point)) emit textureClicked(hit->index);
}

void PageCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (draw_) {
        DrawMove(point);
    } else {
        TrackMove(point);
    }
}

void PageCanvas::TrackMove(const QPoint& point) {
    if (!track_) return;
    const auto hit = hitTest(point);
    if (!hit) return;  // an earlier outline stays
    hover_ = *hit;
    hoverVisible_ = true;
    update();
}

void PageCanvas::DrawMove(const QPoint& point) {
    if (isEmpty()) return;
    if (!tipExists_) {
        ShowTip(QStringLiteral("(0,0)"), mapToGlobal(QPoint(width(), 0)));
    } else if (!dragging_) {
        const QPoint at = tipAnchor ? tipAnchor() : mapToGlobal(QPoint(0, 0));
        ShowTip(QStringLiteral("(%1,%2)").arg(point.x()).arg(point.y()), at);
    }
    if (!dragging_) return;
    current_ = Clamp(point);
    const QRect selection = SelectionRect();
    ShowTip(QStringLiteral("(%1,%2)(%3,%4)")
                .arg(selection.left())
                .arg(selection.top())
                .arg(selection.width())
                .arg(selection.height()),
            tipPos_);
    emit selectionChanged(selection);
    update();
}

void PageCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !draw_ || !dragging_) return;
    if (isEmpty()) {
        dragging_ = false;
        return;
    }
    current_ = Clamp(event->position().toPoint());
    const QRect selection = SelectionRect();
    EndDrag();
    if (selection.width() > 0 && selection.height() > 0) emit selectionDrawn(selection);
}

void PageCanvas::EndDrag() {
    dragging_ = false;
    update();
    if (!isEmpty()) emit dragEnded();
}

}  // namespace pelmora::ui
