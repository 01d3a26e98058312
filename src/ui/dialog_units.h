#pragma once

#include <QFont>
#include <QRect>

namespace pelmora::ui {

// Dialog units as the window layout is written in them: a quarter of the dialog font's
// average character width across, an eighth of its height down.
class DialogUnits {
public:
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}
    static DialogUnits FromFont(const QFont& font);

    int X(int du) const { return (du * baseX_ + 2) / 4; }
    int Y(int du) const { return (du * baseY_ + 4) / 8; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};

// The font the window's layout is measured in.
QFont DialogFont();

}  // namespace pelmora::ui
