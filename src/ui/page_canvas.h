#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/colour.h"

namespace pelmora::ui {

// The record under the mouse, as tracking outlines it.
struct TrackTarget {
    int index = -1;
    QRect rect;
    int flipX = 0;
    int flipY = 0;
};

// Shows the composed page at 1:1 and turns the mouse into commands: a click selects the
// texture under it, tracking outlines the texture under the mouse, and in draw mode a drag
// spans a rectangle that becomes a new record. It never reads the project itself: the owner
// answers its questions from the records it last showed.
class PageCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PageCanvas(QWidget* parent = nullptr);

    // Both lists empty: every mouse action does nothing.
    std::function<bool()> isEmpty = [] { return true; };
    // The first record in record order on the current page containing the point.
    std::function<std::optional<TrackTarget>(const QPoint&)> hitTest = [](const QPoint&) {
        return std::optional<TrackTarget>();
    };
    // Where the coordinate tip goes while no drag is under way (global coordinates).
    std::function<QPoint()> tipAnchor;

    void SetComposedPage(const QImage& page);
    void ClearPage();
    const QImage& ComposedPage() const { return composed_; }

    void SetDrawMode(bool on);
    bool DrawMode() const { return draw_; }
    void SetTrackMode(bool on);
    bool TrackMode() const { return track_; }
    void SetTrackColour(Colour colour) { trackColour_ = colour; }
    Colour TrackColour() const { return trackColour_; }

    bool IsDragging() const { return dragging_; }
    QRect SelectionRect() const;  // normalised; right and bottom exclusive
    bool HasCoordinateTip() const { return tipExists_; }
    QString CoordinateTipText() const { return tipText_; }
    void DestroyCoordinateTip();
    std::optional<TrackTarget> HoverTarget() const {
        return hoverVisible_ ? std::optional<TrackTarget>(hover_) : std::nullopt;
    }

    // What the canvas shows now: the composed page with the tracking outline or the
    // selection frame over it.
    QImage Render() const;

signals:
    void textureClicked(int recordIndex);
    void selectionChanged(const QRect& selection);
    void selectionDrawn(const QRect& selection);
    void dragEnded();
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void TrackMove(const QPoint& point);
    void DrawMove(const QPoint& point);
    void ShowTip(const QString& text, const QPoint& globalPos);
    void EndDrag();
    QPoint Clamp(const QPoint& point) const;

    QImage composed_;
    bool draw_ = false;
    bool track_ = false;
    Colour trackColour_ = 0x00FF00;
    TrackTarget hover_;
    bool hoverVisible_ = false;
    bool dragging_ = false;
    QPoint anchor_;
    QPoint current_;
    bool tipExists_ = false;
    QString tipText_;
    QPoint tipPos_;
};

}  // namespace pelmora::ui
