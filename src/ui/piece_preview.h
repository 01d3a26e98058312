#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QScrollBar>
#include <QWidget>

namespace pelmora::ui {

// Where the piece and the two scroll bars go for a piece of a given size in the preview
// area: a piece that fits is centred and its bar hidden; one that does not scrolls from 0
// to the part that does not fit. Rectangles are in the parent's coordinates.
struct PreviewLayout {
    QPoint origin;
    QRect verticalBar;
    QRect horizontalBar;
    int horizontalMax = 0;
    int verticalMax = 0;
    bool horizontalVisible = false;
    bool verticalVisible = false;
};

constexpr int kPreviewBarThickness = 18;

PreviewLayout LayoutPreview(const QRect& area, const QSize& piece);

// Shows the current texture piece inside the preview area, with a scroll bar beside and
// one below for pieces larger than the area.
class PiecePreview : public QWidget {
    Q_OBJECT

public:
    // The bars are made as siblings, since they sit outside the area.
    explicit PiecePreview(QWidget* parent);

    void SetArea(const QRect& area);
    void SetPiece(const QImage& piece);
    void Clear();
    const QImage& Piece() const { return piece_; }
    const PreviewLayout& Layout() const { return layout_; }
    QScrollBar* HorizontalBar() const { return horizontal_; }
    QScrollBar* VerticalBar() const { return vertical_; }
    QPoint ScrollPosition() const { return {horizontal_->value(), vertical_->value()}; }

signals:
    // A right-button release inside the area.
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyLayout();

    QImage piece_;
    PreviewLayout layout_;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
};

}  // namespace pelmora::ui
