#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

namespace pelmora::ui {

// A progress bar that draws itself: rounded done and remaining parts on black, and a text
// that changes colour where the bar ends. The text "DRAW_TITLE" shows the program's name.
class TextProgressBar : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kTitleText = "DRAW_TITLE";

    explicit TextProgressBar(QWidget* parent = nullptr);

    // Each answers the previous range.
    std::pair<int, int> SetRange(int16_t lower, int16_t upper);
    std::pair<int, int> SetRange32(int lower, int upper);
    std::pair<int, int> GetRange() const { return {lower_, upper_}; }
    int GetPos() const { return position_; }
    // Clamped to the range; answers the previous position.
    int SetPos(int position);
    int DeltaPos(int delta) { return SetPos(position_ + delta); }
    int SetStep(int step);
    int GetStep() const { return step_; }
    // Steps forward, wrapping round past either end of the range.
    int StepIt();

    // Each answers the previous colour; nothing stands for the platform's own colour.
    std::optional<QColor> SetBarColour(std::optional<QColor> colour);
    std::optional<QColor> SetBackgroundColour(std::optional<QColor> colour);
    std::optional<QColor> SetTextColour(std::optional<QColor> colour);
    std::optional<QColor> SetTextOnBarColour(std::optional<QColor> colour);
    QColor BarColour() const;
    QColor BackgroundColour() const;
    QColor TextColour() const;
    QColor TextOnBarColour() const;

    void ShowText(bool on);
    bool IsTextShown() const { return showText_; }
    void SetWindowText(const QString& text);
    QString WindowText() const { return text_; }
    void SetBarFont(const QFont& font, bool repaint = true);
    QFont BarFont() const { return font(); }

    // Milliseconds on the tick clock; the reference of the time remaining.
    void SetStartTime(uint32_t ticks) { startTime_ = ticks; }
    uint32_t StartTime() const { return startTime_; }
    // The tick clock (milliseconds); replaceable so the time remaining can be checked.
    void SetTickSource(std::function<uint32_t()> ticks) { ticks_ = std::move(ticks); }
    uint32_t Ticks() const { return ticks_(); }

    // " [ETR: h:mm:ss]": the time spent so far scaled up to the whole range, less itself.
    QString FormatEtr() const;

    // Steps the bar back to 0, one step every interval milliseconds, then clears the text.
    void RunDown(int intervalMs);
    void StopRunDown();
    bool IsRunningDown() const { return runDown_.isActive(); }

    // The image the widget paints, for checking what the user sees.
    QImage Render() const;

    // How the program's name is split between the two halves of the title.
    static QString TitleLeft() { return QStringLiteral("Pel"); }
    static QString TitleRight() { return QStringLiteral("mora!!!!"); }

    static uint32_t SteadyTicks();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RunDownStep();

    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int step_ = 10;
    std::optional<QColor> barColour_;
    std::optional<QColor> backgroundColour_;
    std::optional<QColor> textColour_;
    std::optional<QColor> textOnBarColour_;
    bool showText_ = true;
    QString text_;
    std::function<uint32_t()> ticks_ = &SteadyTicks;
    uint32_t startTime_ = 0;
    QTimer runDown_;
};

}  // namespace pelmora::ui
