#pragma once

#include <QWidget>

class QMovie;

namespace pelmora::ui {

// The animated strip in the top-right corner of the window: the program's looping animation
// played by Qt's movie player on the button-face colour. The player runs on the window's own
// event loop, so nothing has to be waited for when the strip goes: destroying it ends the
// animation at once, even during a 3-second hold. While hidden (the window minimised) it
// pauses, and it goes on when shown again.
class AnimatedPicture : public QWidget {
    Q_OBJECT

public:
    // The animation compiled into the program.
    static constexpr const char* kAnimation = ":/pelmora/animation.gif";

    explicit AnimatedPicture(QWidget* parent = nullptr);
    ~AnimatedPicture() override;

    // Reads an animation (or a still picture) and takes its size; false when it cannot be
    // read, and then nothing is shown but the background.
    bool Load(const QString& path = QString::fromLatin1(kAnimation));
    // Starts playing from the first frame; false when nothing was loaded.
    bool Play();
    void Stop();
    bool IsPlaying() const;
    QMovie* Movie() const { return movie_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QMovie* movie_ = nullptr;  // owned as a child
    bool wanted_ = false;      // Play was asked for and Stop was not
};

}  // namespace pelmora::ui
