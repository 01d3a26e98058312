#include "ui/colour_swatch.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/display_options.h"

namespace pelmora::ui {

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ColourSwatch::SetColour(Colour colour) {
    colour_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(colour_));
}

void ColourSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    if (event->button() == Qt::RightButton) emit rightClicked(event->globalPosition().toPoint());
}

PanelBackdrop::PanelBackdrop(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PanelBackdrop::SetPanels(std::vector<QRect> panels) {
    panels_ = std::move(panels);
    update();
}

void PanelBackdrop::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor face = palette().color(QPalette::Button);
    for (const QRect& panel : panels_) {
        const QRectF outer = QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
        painter.setBrush(face);
        painter.drawRoundedRect(outer, 10, 10);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 10, 10);
    }
}

void PanelBackdrop::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    QWidget::mouseMoveEvent(event);
}

}  // namespace pelmora::ui
