#pragma once

#include <QWidget>

#include "base/colour.h"

namespace pelmora::ui {

// A small area painted in one of the display colours; the colour and the swatch change
// together.
class ColourSwatch : public QWidget {
    Q_OBJECT

public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    void SetColour(Colour colour);
    Colour CurrentColour() const { return colour_; }

signals:
    void clicked();
    void rightClicked(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Colour colour_ = 0;
};

// The window's background: black, with the rounded panels the controls sit on.
class PanelBackdrop : public QWidget {
    Q_OBJECT

public:
    explicit PanelBackdrop(QWidget* parent = nullptr);
    void SetPanels(std::vector<QRect> panels);
    const std::vector<QRect>& Panels() const { return panels_; }

signals:
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::vector<QRect> panels_;
};

}  // namespace pelmora::ui
