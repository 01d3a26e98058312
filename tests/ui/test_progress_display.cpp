// The progress bar of the main window and the progress window of the exports. The time
// remaining's own arithmetic is the editing core's test's.
#include <QMainWindow>

#include "ui/progress_window.h"
#include "ui/text_progress_bar.h"
#include "ui_test_support.h"

using pelmora::ui::ProgressWindow;
using pelmora::ui::TextProgressBar;

namespace {

// Pixels that are clearly red, and clearly green, in a part of the image.
std::pair<int, int> RedAndGreen(const QImage& image, int x0, int x1) {
    std::pair<int, int> counts;
    for (int y = 4; y < 26; ++y)
        for (int x = x0; x < x1; ++x) {
            const QRgb p = image.pixel(x, y);
            counts.first += qRed(p) > 140 && qGreen(p) < 90 && qBlue(p) < 90;
            counts.second += qGreen(p) > 140 && qRed(p) < 90 && qBlue(p) < 90;
        }
    return counts;
}

}  // namespace

class ProgressDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void positionIsKeptInRangeAndStepsWrapRound() {
        TextProgressBar bar;
        bar.SetRange32(0, 100);
        QCOMPARE(bar.SetPos(150), 0);
        QCOMPARE(bar.GetPos(), 100);
        bar.SetPos(-5);
        QCOMPARE(bar.GetPos(), 0);
        bar.SetPos(95);
        bar.SetStep(10);
        bar.StepIt();
        QCOMPARE(bar.GetPos(), 5);
        bar.SetStep(-10);
        bar.StepIt();
        QCOMPARE(bar.GetPos(), 95);
        bar.SetRange(0, 50);  // a narrower range pulls the position into it
        QCOMPARE(bar.GetPos(), 50);
    }

    void timeRemainingSurvivesTheTickCountWrappingRound() {
        TextProgressBar bar;
        uint32_t now = 600000 - 1000;  // 49 days after the start below
        bar.SetTickSource([&] { return now; });
        bar.SetRange32(0, 100);
        bar.SetStartTime(0xFFFFFFFFu - 999);
        bar.SetPos(25);
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 0:30:00]"));
    }

    void textChangesColourWhereTheBarEnds() {
        TextProgressBar bar;
        bar.resize(300, 30);
        bar.SetRange32(0, 100);
        bar.SetPos(50);
        bar.SetBarColour(QColor(0, 0, 255));
        bar.SetBackgroundColour(QColor(Qt::black));
        bar.SetTextColour(QColor(255, 0, 0));
        bar.SetTextOnBarColour(QColor(0, 255, 0));
        QFont font = bar.font();
        font.setPixelSize(16);
        font.setWeight(QFont::Bold);
        bar.SetBarFont(font);
        bar.SetWindowText(QString(40, QLatin1Char('H')));
        const QImage image = bar.Render();
        const int boundary = 5 + (300 - 10) / 2;
        const auto [doneRed, doneGreen] = RedAndGreen(image, 6, boundary - 1);
        const auto [restRed, restGreen] = RedAndGreen(image, boundary + 1, 294);
        QVERIFY(doneGreen > 20 && restRed > 20);
        QCOMPARE(doneRed + restGreen, 0);
        // Without text shown nothing is written, and the text is gone for good.
        bar.ShowText(false);
        QVERIFY(bar.WindowText().isEmpty());
        const auto [red, green] = RedAndGreen(bar.Render(), 6, 294);
        QCOMPARE(red + green, 0);
    }

    // The run-down after adding is checked where the window runs it (test_adding_pieces).
    void progressWindowShowsThePercentageInItsCaption() {
        QMainWindow owner;
        owner.show();
        ProgressWindow progress;
        progress.SetPos(1);  // nothing while it does not exist
        QVERIFY(!progress.Exists());
        progress.Create(&owner, QStringLiteral("Progress"), true);
        progress.GoModal(QStringLiteral("Progress"), false);
        QVERIFY(!owner.isEnabled() && progress.Window()->isEnabled());
        progress.SetRange(0, 3, 1);
        progress.SetText(QStringLiteral("Exporting..."));
        QStringList captions;
        for (int i = 0; i < 3; ++i) {
            progress.StepIt();
            progress.PeekAndPump();
            captions << progress.Caption();
        }
        QCOMPARE(captions, QStringList({"Progress [33%]", "Progress [67%]", "Progress [100%]"}));
        QCOMPARE(progress.Text(), QStringLiteral("Exporting..."));
        progress.Destroy();
        QVERIFY(!progress.Exists() && owner.isEnabled());

        ProgressWindow plain;
        plain.Create(nullptr);
        plain.SetText(QString(600, QLatin1Char('x')));
        QCOMPARE(plain.Text().size(), 511);
        plain.SetRange(5, 5, 1);
        plain.SetPos(5);  // an empty range shows 0 percent rather than dividing by zero
        QCOMPARE(plain.Percent(), 0);
    }
};

PELMORA_UI_TEST_MAIN(ProgressDisplayTest)
#include "test_progress_display.moc"
