#pragma once

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QWidget>
#include <memory>

namespace pelmora::ui {

// A small always-on-top window with one line of text and a bar, for long work that runs on
// the user-interface thread. While it is modal its owner is disabled; pumping pending events
// after every step keeps the rest of the interface painted. It cannot be cancelled.
class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow() { Destroy(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void Create(QWidget* owner, const QString& title = QStringLiteral("Progress"),
                bool smooth = false);
    void GoModal(const QString& title = QStringLiteral("Progress"), bool smooth = false);
    void SetRange(int lower, int upper, int step = 1);
    void SetText(const QString& text);
    void SetWindowSize(int lines, int width);
    void StepIt() { SetPos(position_ + step_); }
    void SetPos(int position);
    void PeekAndPump();
    void Destroy();

    bool Exists() const { return window_ != nullptr; }
    bool IsModal() const { return modal_; }
    int Position() const { return position_; }
    int Percent() const { return percent_; }
    QWidget* Window() const { return window_.get(); }
    QString Caption() const;
    QString Text() const;

private:
    QWidget* OwnerOrMain() const;

    QString title_ = QStringLiteral("Progress");
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 1;
    int position_ = 0;
    int percent_ = 0;
    bool modal_ = false;
    QPointer<QWidget> owner_;
    QPointer<QWidget> disabledOwner_;
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace pelmora::ui
