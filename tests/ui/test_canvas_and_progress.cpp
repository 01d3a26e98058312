// The composed page, the canvas's mouse handling and the progress displays, without the window.
#include "ui/progress_window.h"
#include "ui_test_support.h"

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

QList<QRgb> Pixels(const QImage& image, std::initializer_list<QPoint> points) {
    QList<QRgb> pixels;
    for (const QPoint p : points) pixels << image.pixel(p);
    return pixels;
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
        // The record of page 2, at (10, 20), is not on this page.
        QCOMPARE(Pixels(image, {{128, 0}, {128, 255}, {0, 128}, {255, 128}, {1, 1}, {10, 20}}),
                 QList<QRgb>({yellow, yellow, yellow, yellow, kBlack, kBlack}));
        // Grid cells past the edge are cut; the selection is drawn over the grid.
        options.showGrid = true;
        options.gridAcross = 192;
        const std::vector<TextureRecord> two = {TextureRecord{}, MakeRecord(0, 0, 64, 64, 0),
                                                MakeRecord(64, 0, 64, 64, 0)};
        const QImage selected = ComposePage(kPage, two, 0, 1, options);
        const QRgb white = test::Rgb(options.selectionColour);
        const QRgb magenta = test::Rgb(options.gridColour);
        // (10, 63) is shared with the grid line at 63.
        QCOMPARE(Pixels(selected, {{10, 63}, {10, 64}, {191, 100}, {192, 100}, {255, 100}}),
                 QList<QRgb>({white, magenta, magenta, magenta, kBlack}));
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
        // The outline, the falling diagonal (a flip of 0) and the rising one (a flip of -1).
        const QRgb green = test::Rgb(canvas.TrackColour());
        QCOMPARE(Pixels(canvas.Render(), {{10, 10}, {20, 20}, {27, 12}}), QList<QRgb>(3, green));
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

    void positionIsKeptInRangeStepsAndTheTickCountWrapRound() {
        TextProgressBar bar;
        bar.SetRange32(0, 100);
        QCOMPARE(bar.SetPos(150), 0);
        QList<int> positions{bar.GetPos()};
        bar.SetPos(95);
        for (int step : {10, -10}) {
            bar.SetStep(step);
            bar.StepIt();
            positions << bar.GetPos();
        }
        bar.SetRange(0, 50);  // a narrower range pulls the position into it
        QCOMPARE(positions << bar.GetPos(), QList<int>({100, 5, 95, 50}));
        // The time remaining survives the tick count wrapping round.
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
