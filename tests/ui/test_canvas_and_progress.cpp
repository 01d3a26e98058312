// The composed page, the canvas's mouse handling and the progress displays, without the
// window around them. The time remaining's own arithmetic is the editing core's test's.
#include "ui/page_canvas.h"
#include "ui/page_composer.h"
#include "ui/progress_window.h"
#include "ui/text_progress_bar.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;
using test::Mouse;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const Image kPage(kPageSize, kPageSize, 0x000000);

DisplayOptions PlainOptions() {
    DisplayOptions options;
    options.showGrid = options.showRectangles = options.showNumbers = false;
    return options;
}

// Something is open and its page is black.
void ShowBlackPage(PageCanvas& canvas) {
    canvas.isEmpty = [] { return false; };
    QImage black(256, 256, QImage::Format_RGB32);
    black.fill(Qt::black);
    canvas.SetComposedPage(black);
}

}  // namespace

class CanvasAndProgressTest : public QObject {
    Q_OBJECT

private slots:
    void recordsOfThePageAreOutlinedAndTheSelectionOverAll() {
        DisplayOptions options = PlainOptions();
        options.showRectangles = true;
        const std::vector<TextureRecord> records = {TextureRecord{}, MakeRecord(0, 0, 256, 256, 0),
                                                    MakeRecord(10, 20, 30, 40, 1)};
        const QImage image = ComposePage(kPage, records, 0, 2, options);
        const QRgb yellow = test::Rgb(options.rectangleColour);
        for (const QPoint p : {QPoint(128, 0), QPoint(128, 255), QPoint(0, 128), QPoint(255, 128)})
            QCOMPARE(image.pixel(p), yellow);
        QCOMPARE(image.pixel(1, 1), kBlack);
        QCOMPARE(image.pixel(10, 20), kBlack);  // the record of page 2 is not on this page

        // Grid cells past the edge are cut; the selection is drawn over the grid.
        options.showGrid = true;
        options.gridAcross = 192;
        const std::vector<TextureRecord> two = {TextureRecord{}, MakeRecord(0, 0, 64, 64, 0),
                                                MakeRecord(64, 0, 64, 64, 0)};
        const QImage selected = ComposePage(kPage, two, 0, 1, options);
        const QRgb white = test::Rgb(options.selectionColour);
        const QRgb magenta = test::Rgb(options.gridColour);
        QCOMPARE(selected.pixel(10, 63), white);  // shared with the grid line at 63
        QCOMPARE(selected.pixel(10, 64), magenta);
        for (const int x : {191, 192}) QCOMPARE(selected.pixel(x, 100), magenta);
        QCOMPARE(selected.pixel(255, 100), kBlack);
        // With no selection, record 1 (index 0) is the one outlined.
        QCOMPARE(ComposePage(kPage, two, 0, -1, PlainOptions()).pixel(0, 0), white);
        // A cell size of 0 would never end; it is taken as 1.
        const QFontMetrics metrics(DisplayOptions::DefaultNumberFont());
        QCOMPARE(GridNumberLayout(0, 256, metrics).size(), size_t(256));
    }

    void trackingShowsTheFlipDiagonals() {
        PageCanvas canvas;
        ShowBlackPage(canvas);
        TrackTarget target{1, QRect(10, 10, 20, 20), -1, 0};
        canvas.hitTest = [&](const QPoint& p) {
            return target.rect.contains(p) ? std::optional<TrackTarget>(target) : std::nullopt;
        };
        Mouse(&canvas, QEvent::MouseMove, {15, 15});
        QVERIFY(!canvas.HoverTarget());  // tracking is off
        canvas.SetTrackMode(true);
        Mouse(&canvas, QEvent::MouseMove, {15, 15});
        QVERIFY(canvas.HoverTarget());
        const QRgb green = test::Rgb(canvas.TrackColour());
        QImage shown = canvas.Render();
        QCOMPARE(shown.pixel(10, 10), green);
        QCOMPARE(shown.pixel(20, 20), green);  // falling diagonal (a flip of 0)
        QCOMPARE(shown.pixel(27, 12), green);  // rising diagonal (a flip of -1)
        // Moving off every record leaves the outline; toggling a mode removes it.
        Mouse(&canvas, QEvent::MouseMove, {200, 200});
        QVERIFY(canvas.HoverTarget());
        canvas.SetTrackMode(true);
        QVERIFY(!canvas.HoverTarget());
        target.flipX = target.flipY = 0;
        Mouse(&canvas, QEvent::MouseMove, {15, 15});
        QCOMPARE(canvas.Render().pixel(27, 12), kBlack);
    }

    void drawModeSpansARecordFromEitherDirection() {
        PageCanvas canvas;
        ShowBlackPage(canvas);
        canvas.SetDrawMode(true);
        QList<QRect> drawn;
        QStringList tips;
        connect(&canvas, &PageCanvas::selectionDrawn, [&](const QRect& r) { drawn << r; });
        connect(&canvas, &PageCanvas::selectionChanged,
                [&](const QRect&) { tips << canvas.CoordinateTipText(); });
        auto drag = [&](QPoint from, QPoint to) {
            Mouse(&canvas, QEvent::MouseButtonPress, from);
            Mouse(&canvas, QEvent::MouseMove, to);
            Mouse(&canvas, QEvent::MouseButtonRelease, to);
        };
        drag({10, 20}, {50, 80});
        drag({50, 80}, {10, 20});
        drag({10, 10}, {400, 300});  // past the corner: clamped to the page
        drag({30, 30}, {30, 30});    // a click makes no record
        drag({30, 30}, {60, 30});    // nor does a line
        QCOMPARE(drawn, QList<QRect>({QRect(10, 20, 40, 60), QRect(10, 20, 40, 60),
                                      QRect(10, 10, 246, 246)}));
        QCOMPARE(tips.at(0), QStringLiteral("(10,20)(40,60)"));
        QVERIFY(canvas.HasCoordinateTip());
        canvas.SetDrawMode(false);
        QVERIFY(!canvas.HasCoordinateTip());
        // With nothing open there is nothing to draw on.
        canvas.isEmpty = [] { return true; };
        canvas.SetDrawMode(true);
        drag({10, 10}, {50, 50});
        QCOMPARE(drawn.size(), 3);
    }

    void positionIsKeptInRangeAndStepsWrapRound() {
        TextProgressBar bar;
        bar.SetRange32(0, 100);
        QCOMPARE(bar.SetPos(150), 0);
        QCOMPARE(bar.GetPos(), 100);
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

    // The run-down after adding is checked where the window runs it (AddingPiecesTest), the
    // modal wait where the exports run it (ExportDialogsTest).
    void progressWindowShowsThePercentageInItsCaption() {
        ProgressWindow progress;
        progress.SetPos(1);  // nothing while it does not exist
        QVERIFY(!progress.Exists());
        progress.Create(nullptr);
        progress.SetRange(0, 3, 1);
        progress.SetText(QString(600, QLatin1Char('x')));
        QCOMPARE(progress.Text().size(), 511);
        QStringList captions;
        for (int i = 0; i < 3; ++i) {
            progress.StepIt();
            progress.PeekAndPump();
            captions << progress.Caption();
        }
        QCOMPARE(captions, QStringList({"Progress [33%]", "Progress [67%]", "Progress [100%]"}));
        progress.SetRange(5, 5, 1);
        progress.SetPos(5);  // an empty range shows 0 percent rather than dividing by zero
        QCOMPARE(progress.Percent(), 0);
    }
};

PELMORA_UI_TEST_MAIN(CanvasAndProgressTest)
#include "test_canvas_and_progress.moc"
