#include "ui/piece_preview.h"

#include <QMouseEvent>
#include <QPainter>

namespace pelmora::ui {

PreviewLayout LayoutPreview(const QRect& area, const QSize& piece) {
    PreviewLayout layout;
    const int left = area.left();
    const int top = area.top();
    const int w = area.width();
    const int h = area.height();
    const int bw = piece.width();
    const int bh = piece.height();
    layout.origin = QPoint(left, top);
    layout.verticalBar = QRect(left + w, top, kPreviewBarThickness, h);
    layout.horizontalBar = QRect(left, top + h, w, kPreviewBarThickness);

    layout.horizontalMax = std::max(bw - w, 0);
    layout.horizontalVisible = bw > w;
    if (!layout.horizontalVisible) {
        layout.origin.setX(left + (w - bw) / 2);
        layout.verticalBar.moveLeft(layout.origin.x() + bw);
    }
    layout.verticalMax = std::max(bh - h, 0);
    layout.verticalVisible = bh > h;
    if (!layout.verticalVisible) {
        layout.origin.setY(top + (h - bh) / 2);
        layout.horizontalBar.moveTop(layout.origin.y() + bh);
    }
    return layout;
}

PiecePreview::PiecePreview(QWidget* parent)
    : QWidget(parent),
      horizontal_(new QScrollBar(Qt::Horizontal, parent)),
      vertical_(new QScrollBar(Qt::Vertical, parent)) {
    setObjectName(QStringLiteral("piecePreview"));
    horizontal_->setObjectName(QStringLiteral("previewHorizontalBar"));
    vertical_->setObjectName(QStringLiteral("previewVerticalBar"));
    for (QScrollBar* bar : {horizontal_, vertical_}) {
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    }
}

void PiecePreview::SetArea(const QRect& area) {
    setGeometry(area);
    ApplyLayout();
}

void PiecePreview::SetPiece(const QImage& piece) {
    piece_ = piece;
    ApplyLayout();
}

void PiecePreview::Clear() {
    piece_ = QImage();
    ApplyLayout();
}

void PiecePreview::ApplyLayout() {
    layout_ = LayoutPreview(geometry(), piece_.size());
    horizontal_->setGeometry(layout_.horizontalBar);
    vertical_->setGeometry(layout_.verticalBar);
    horizontal_->setRange(0, layout_.horizontalMax);
    vertical_->setRange(0, layout_.verticalMax);
    horizontal_->setValue(0);
    vertical_->setValue(0);
    horizontal_->setVisible(!piece_.isNull() && layout_.horizontalVisible);
    vertical_->setVisible(!piece_.isNull() && layout_.verticalVisible);
    update();
}

void PiecePreview::paintEvent(QPaintEvent*) {
    if (piece_.isNull()) return;
    QPainter painter(this);
    const QPoint at = layout_.origin - geometry().topLeft();
    painter.drawImage(at, piece_,
                      QRect(horizontal_->value(), vertical_->value(), width(), height()));
}

void PiecePreview::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit contextMenuWanted(event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

}  // namespace pelmora::ui
