#include "ui/progress_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

namespace pelmora::ui {

namespace {

QFont MessageBoxFont() {
    return QApplication::font("QMessageBox");
}

}  // namespace

QWidget* ProgressWindow::OwnerOrMain() const {
    if (owner_) return owner_;
    return QApplication::activeWindow();
}

void ProgressWindow::Create(QWidget* owner, const QString& title, bool smooth) {
    if (window_) return;
    owner_ = owner;
    title_ = title;
    // A window of its own rather than a child of the owner: disabling the owner must not
    // disable this window with it.
    window_ =
        std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint |
                                               Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setCursor(Qt::BusyCursor);
    window_->setWindowTitle(title_);
    window_->resize(390, 130);
    label_ = new QLabel(window_.get());
    label_->setFont(MessageBoxFont());
    label_->setWordWrap(false);
    label_->setTextFormat(Qt::PlainText);
    bar_ = new QProgressBar(window_.get());
    bar_->setTextVisible(false);
    if (!smooth)
        bar_->setStyleSheet(QStringLiteral("QProgressBar::chunk { width: 8px; margin: 1px; }"));
    bar_->setRange(lower_, upper_);
    SetWindowSize(4, 390);
    if (QWidget* owner = OwnerOrMain()) {
        const QPoint centre = owner->window()->geometry().center();
        window_->move(centre - QPoint(window_->width() / 2, window_->height() / 2));
    }
    window_->show();
}

void ProgressWindow::GoModal(const QString& title, bool smooth) {
    if (!window_) Create(owner_, title, smooth);
    // The top-most ancestor that is still enabled is the one to disable and give back.
    QWidget* top = nullptr;
    for (QWidget* w = OwnerOrMain(); w; w = w->parentWidget()) {
        if (w->isEnabled()) top = w;
    }
    if (top) {
        top->setEnabled(false);
        disabledOwner_ = top;
    }
    window_->setEnabled(true);
    modal_ = true;
}

void ProgressWindow::SetRange(int lower, int upper, int step) {
    lower_ = lower;
    upper_ = upper;
    step_ = step;
    if (bar_) bar_->setRange(lower, upper);
}

void ProgressWindow::SetText(const QString& text) {
    if (label_) label_->setText(text.left(511));
}

QString ProgressWindow::Text() const {
    return label_ ? label_->text() : QString();
}

QString ProgressWindow::Caption() const {
    return window_ ? window_->windowTitle() : QString();
}

void ProgressWindow::SetWindowSize(int lines, int width) {
    if (!window_) return;
    const QFontMetrics metrics(MessageBoxFont());
    const int edge = window_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QRect text(10, 10, width, metrics.lineSpacing() * lines);
    label_->setGeometry(text);
    const int barHeight = metrics.height() + edge;
    const QRect bar(text.left(), text.bottom() + 1 + 10 + edge, text.width() - 10, barHeight);
    bar_->setGeometry(bar);
    window_->setFixedSize(text.right() + 1 + 10, bar.bottom() + 1 + 10);
}

void ProgressWindow::SetPos(int position) {
    if (!window_) return;
    if (window_->isHidden()) window_->show();
    position_ = position;
    int percent = 0;
    if (upper_ > lower_) {
        percent = static_cast<int>(
            static_cast<double>(position_ - lower_) * 100.0 / (upper_ - lower_) + 0.5);
    }
    if (percent != percent_ || window_->windowTitle() == title_) {
        percent_ = percent;
        window_->setWindowTitle(QStringLiteral("%1 [%2%]").arg(title_).arg(percent_));
    }
    bar_->setValue(std::min(std::max(position, lower_), upper_));
}

void ProgressWindow::PeekAndPump() {
    if (!window_) return;
    if (modal_ && !window_->hasFocus()) window_->setFocus();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProgressWindow::Destroy() {
    if (!window_) return;
    if (modal_ && disabledOwner_) disabledOwner_->setEnabled(true);
    modal_ = false;
    disabledOwner_ = nullptr;
    window_->close();
    window_.reset();
    label_ = nullptr;
    bar_ = nullptr;
}

}  // namespace pelmora::ui
