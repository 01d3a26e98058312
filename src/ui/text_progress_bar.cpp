#include "ui/text_progress_bar.h"

#include <QPainter>
#include <QPainterPath>
#include <chrono>

#include "edit/time_remaining.h"

namespace pelmora::ui {

namespace {

constexpr qreal kRadius = 10;

QPainterPath Rounded(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, kRadius, kRadius);
    return path;
}

}  // namespace

uint32_t TextProgressBar::SteadyTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TextProgressBar::TextProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    startTime_ = ticks_();
    connect(&runDown_, &QTimer::timeout, this, &TextProgressBar::RunDownStep);
}

std::pair<int, int> TextProgressBar::SetRange(int16_t lower, int16_t upper) {
    return SetRange32(lower, upper);
}

std::pair<int, int> TextProgressBar::SetRange32(int lower, int upper) {
    const std::pair<int, int> previous{lower_, upper_};
    lower_ = lower;
    upper_ = upper;
    SetPos(position_);
    return previous;
}

int TextProgressBar::SetPos(int position) {
    const int previous = position_;
    position_ = std::min(std::max(position, lower_), upper_);
    update();
    return previous;
}

int TextProgressBar::SetStep(int step) {
    const int previous = step_;
    step_ = step;
    return previous;
}

int TextProgressBar::StepIt() {
    int n = position_ + step_;
    if (n > upper_) n = lower_ + (n - upper_);
    if (n < lower_) n = upper_ - (lower_ - n);
    return SetPos(n);
}

#define PELMORA_COLOUR_SETTER(Name, member)                                     \
    std::optional<QColor> TextProgressBar::Name(std::optional<QColor> colour) { \
        std::optional<QColor> previous = member;                                \
        member = colour;                                                        \
        update();                                                               \
        return previous;                                                        \
    }
PELMORA_COLOUR_SETTER(SetBarColour, barColour_)
PELMORA_COLOUR_SETTER(SetBackgroundColour, backgroundColour_)
PELMORA_COLOUR_SETTER(SetTextColour, textColour_)
PELMORA_COLOUR_SETTER(SetTextOnBarColour, textOnBarColour_)
#undef PELMORA_COLOUR_SETTER

QColor TextProgressBar::BarColour() const {
    return barColour_.value_or(palette().color(QPalette::Highlight));
}
QColor TextProgressBar::BackgroundColour() const {
    return backgroundColour_.value_or(palette().color(QPalette::Button));
}
QColor TextProgressBar::TextColour() const {
    return textColour_.value_or(palette().color(QPalette::WindowText));
}
QColor TextProgressBar::TextOnBarColour() const {
    return textOnBarColour_.value_or(palette().color(QPalette::Window));
}

void TextProgressBar::ShowText(bool on) {
    showText_ = on;
    if (!on) text_.clear();
    update();
}

void TextProgressBar::SetWindowText(const QString& text) {
    text_ = text;
    update();
}

void TextProgressBar::SetBarFont(const QFont& font, bool repaint) {
    setFont(font);
    if (repaint) update();
}

QString TextProgressBar::FormatEtr() const {
    // The tick count wraps round after 49 days: the difference in 32 bits is still right.
    const uint32_t elapsed = static_cast<uint32_t>(ticks_() - startTime_) / 1000u;
    return QString::fromStdString(TimeRemainingText(elapsed, position_, upper_));
}

void TextProgressBar::RunDown(int intervalMs) {
    runDown_.setInterval(intervalMs);
    if (position_ > lower_) {
        SetPos(position_ - 1);
        runDown_.start();
    } else {
        RunDownStep();
    }
}

void TextProgressBar::StopRunDown() {
    runDown_.stop();
}

void TextProgressBar::RunDownStep() {
    if (position_ > 0 && position_ > lower_) {
        SetPos(position_ - 1);
        return;
    }
    runDown_.stop();
    text_.clear();
    update();
}

QImage TextProgressBar::Render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(whole, kRadius, kRadius);

    const QRect area = rect().adjusted(5, 3, -5, -3);
    const double span = static_cast<double>(upper_) - lower_;
    const double fraction = span != 0 ? (position_ - lower_) / span : 0.0;
    const int boundary = area.left() + static_cast<int>(area.width() * fraction);
    const QRectF done(QPointF(area.left(), area.top()), QPointF(boundary, area.bottom() + 1));
    const QRectF rest(QPointF(boundary, area.top()), QPointF(area.right() + 1, area.bottom() + 1));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(BarColour());
    if (done.width() > 0) painter.drawPath(Rounded(done));
    painter.setBrush(BackgroundColour());
    if (rest.width() > 0) painter.drawPath(Rounded(rest));

    const QString text = showText_ ? text_ : QString();
    painter.setFont(font());
    painter.setBackgroundMode(Qt::TransparentMode);
    if (text.compare(QLatin1String(kTitleText), Qt::CaseInsensitive) == 0) {
        const int half = width() / 2;
        painter.setPen(TextOnBarColour());
        painter.drawText(QRect(0, 0, half, height()), Qt::AlignCenter | Qt::TextSingleLine,
                         TitleLeft());
        painter.setPen(TextColour());
        painter.drawText(QRect(half, 0, width() - half, height()),
                         Qt::AlignCenter | Qt::TextSingleLine, TitleRight());
    } else if (!text.isEmpty()) {
        const QRect textRect(area.left() + 2, 0, width() - area.left() - 2, height());
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        painter.save();
        painter.setClipPath(Rounded(done));
        painter.setPen(TextOnBarColour());
        painter.drawText(textRect, flags, text);
        painter.restore();
        painter.setClipPath(Rounded(rest));
        painter.setPen(TextColour());
        painter.drawText(textRect, flags, text);
    }
    return image;
}

void TextProgressBar::paintEvent(QPaintEvent*) {
    // Composed off-screen and copied in one piece, so nothing flickers.
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

}  // namespace pelmora::ui
