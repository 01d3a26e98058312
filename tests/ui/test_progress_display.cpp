// The progress bar of the main window and the progress window of the exports.
#include <QMainWindow>

#include "ui/progress_window.h"
#include "ui/text_progress_bar.h"
#include "ui_test_support.h"

using pelmora::ui::ProgressWindow;
using pelmora::ui::TextProgressBar;

namespace {

bool IsRed(QRgb p) {
    return qRed(p) > 140 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool IsGreen(QRgb p) {
    return qGreen(p) > 140 && qRed(p) < 90 && qBlue(p) < 90;
}

struct Counts {
    int red = 0;
    int green = 0;
};

Counts CountColours(const QImage& image, int x0, int x1, int y0, int y1) {
    Counts counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const QRgb p = image.pixel(x, y);
            counts.red += IsRed(p);
            counts.green += IsGreen(p);
        }
    return counts;
}

// A 300 x 30 bar half done: blue on black, red text turning green over the bar.
void HalfDoneColours(TextProgressBar& bar) {
    bar.resize(300, 30);
    bar.SetRange32(0, 100);
    bar.SetPos(50);
    bar.SetBarColour(QColor(0, 0, 255));
    bar.SetBackgroundColour(QColor(Qt::black));
    bar.SetTextColour(QColor(255, 0, 0));
    bar.SetTextOnBarColour(QColor(0, 255, 0));
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
        // A narrower range pulls the position into it.
        bar.SetRange(0, 50);
        QCOMPARE(bar.GetPos(), 50);
    }

    void timeRemainingScalesTheTimeSpent() {
        TextProgressBar bar;
        uint32_t now = 0;
        bar.SetTickSource([&] { return now; });
        bar.SetRange32(0, 100);
        bar.SetStartTime(1000);
        bar.SetPos(0);
        now = 1000 + 600000;
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 0:00:00]"));
        bar.SetPos(25);
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 0:30:00]"));
        now = 1000 + 3725 * 1000 + 999;  // part seconds are dropped
        bar.SetPos(50);
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 1:02:05]"));
        // Hours are not limited to two digits.
        now = 1000 + 360000 * 1000;
        bar.SetPos(1);
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 9900:00:00]"));
        // The tick count wraps round after 49 days; the time spent is still right.
        bar.SetStartTime(0xFFFFFFFFu - 999);
        now = 600000 - 1000;
        bar.SetPos(25);
        QCOMPARE(bar.FormatEtr(), QStringLiteral(" [ETR: 0:30:00]"));
    }

    void textChangesColourWhereTheBarEnds() {
        TextProgressBar bar;
        HalfDoneColours(bar);
        bar.SetWindowText(QStringLiteral("draw_title"));  // the title, in any case
        const QImage title = bar.Render();
        QVERIFY(CountColours(title, 0, 150, 0, 30).green > 10);
        QCOMPARE(CountColours(title, 0, 150, 0, 30).red, 0);
        QVERIFY(CountColours(title, 150, 300, 0, 30).red > 10);
        QCOMPARE(CountColours(title, 150, 300, 0, 30).green, 0);
        // The done half is the bar colour, the rest the background.
        QCOMPARE(title.pixel(40, 22), qRgb(0, 0, 255));
        QCOMPARE(title.pixel(260, 22), qRgb(0, 0, 0));

        QFont font = bar.font();
        font.setPixelSize(16);
        font.setWeight(QFont::Bold);
        bar.SetBarFont(font);
        bar.SetWindowText(QString(40, QLatin1Char('H')));
        const QImage image = bar.Render();
        const int boundary = 5 + (300 - 10) / 2;
        const Counts done = CountColours(image, 6, boundary - 1, 4, 26);
        const Counts rest = CountColours(image, boundary + 1, 294, 4, 26);
        QVERIFY(done.green > 20);
        QCOMPARE(done.red, 0);
        QVERIFY(rest.red > 20);
        QCOMPARE(rest.green, 0);

        // Without text shown nothing is written, and the text is gone for good.
        bar.ShowText(false);
        QVERIFY(bar.WindowText().isEmpty());
        const Counts plain = CountColours(bar.Render(), 6, 294, 4, 26);
        QCOMPARE(plain.green + plain.red, 0);
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
        QVERIFY(progress.IsModal());
        QVERIFY(!owner.isEnabled());
        QVERIFY(progress.Window()->isEnabled());
        progress.SetRange(0, 3, 1);
        progress.SetText(QStringLiteral("Exporting..."));
        progress.SetWindowSize(1, 200);
        QStringList captions;
        for (int i = 0; i < 3; ++i) {
            progress.StepIt();
            progress.PeekAndPump();
            captions << progress.Caption();
        }
        QCOMPARE(captions,
                 QStringList({QStringLiteral("Progress [33%]"), QStringLiteral("Progress [67%]"),
                              QStringLiteral("Progress [100%]")}));
        QCOMPARE(progress.Text(), QStringLiteral("Exporting..."));
        progress.Destroy();
        QVERIFY(!progress.Exists());
        QVERIFY(owner.isEnabled());

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
