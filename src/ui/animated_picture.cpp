#include "ui/animated_picture.h"

#include <QMovie>
#include <QPainter>

// The animation's resource lives in a static library; naming its initialiser keeps the
// linker from dropping it. It must be called outside any namespace.
static void InitAnimationResource() {
    Q_INIT_RESOURCE(animation);
}

namespace pelmora::ui {

AnimatedPicture::AnimatedPicture(QWidget* parent) : QWidget(parent) {
    InitAnimationResource();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

AnimatedPicture::~AnimatedPicture() {
    Stop();
}

bool AnimatedPicture::Load(const QString& path) {
    Stop();
    delete movie_;
    movie_ = new QMovie(path, QByteArray(), this);
    if (!movie_->isValid()) {
        delete movie_;
        movie_ = nullptr;
        update();
        return false;
    }
    movie_->setCacheMode(QMovie::CacheAll);  // 11 small frames; no decoding on every loop
    connect(movie_, &QMovie::frameChanged, this, [this] { update(); });
    movie_->jumpToFrame(0);
    setFixedSize(movie_->frameRect().size());
    update();
    return true;
}

bool AnimatedPicture::Play() {
    if (movie_ == nullptr) return false;
    wanted_ = true;
    movie_->stop();
    if (isVisible()) movie_->start();
    return true;
}

void AnimatedPicture::Stop() {
    wanted_ = false;
    if (movie_ != nullptr) movie_->stop();
}

bool AnimatedPicture::IsPlaying() const {
    return movie_ != nullptr && movie_->state() == QMovie::Running;
}

QSize AnimatedPicture::sizeHint() const {
    return movie_ != nullptr ? movie_->frameRect().size() : QSize(0, 0);
}

void AnimatedPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (movie_ != nullptr) painter.drawPixmap(0, 0, movie_->currentPixmap());
}

void AnimatedPicture::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!wanted_ || movie_ == nullptr) return;
    if (movie_->state() == QMovie::Paused) {
        movie_->setPaused(false);
    } else if (movie_->state() == QMovie::NotRunning) {
        movie_->start();
    }
}

void AnimatedPicture::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (movie_ != nullptr && movie_->state() == QMovie::Running) movie_->setPaused(true);
}

}  // namespace pelmora::ui
