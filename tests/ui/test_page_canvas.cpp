// The composed page and the canvas's mouse handling, without the window around them.
#include "base/bitmap_header.h"
#include "ui/page_canvas.h"
#include "ui/page_composer.h"
#include "ui/piece_preview.h"
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

int CountPixels(const QImage& image, QRgb colour, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

// Something is open and its page is black.
void ShowBlackPage(PageCanvas& canvas) {
    canvas.isEmpty = [] { return false; };
    QImage black(256, 256, QImage::Format_RGB32);
    black.fill(Qt::black);
    canvas.SetComposedPage(black);
}

}  // namespace

class PageCanvasTest : public QObject {
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

        options.showGrid = true;
        const std::vector<TextureRecord> two = {TextureRecord{}, MakeRecord(0, 0, 64, 64, 0),
                                                MakeRecord(64, 0, 64, 64, 0)};
        const QImage selected = ComposePage(kPage, two, 0, 1, options);
        const QRgb white = test::Rgb(options.selectionColour);
        QCOMPARE(selected.pixel(63, 10), white);  // shared with the grid line at 63
        QCOMPARE(selected.pixel(64, 10), test::Rgb(options.gridColour));
        // With no selection, record 1 (index 0) is the one outlined.
        QCOMPARE(ComposePage(kPage, two, 0, -1, PlainOptions()).pixel(0, 0), white);
    }

    void gridCellsPastTheEdgeAreCutAndNumbersCentredInTheirCells() {
        DisplayOptions options = PlainOptions();
        options.showGrid = true;
        options.gridAcross = 192;
        options.gridDown = 64;
        const QImage image = ComposePage(kPage, {}, 0, -1, options);
        const QRgb magenta = test::Rgb(options.gridColour);
        // Columns at 0, 191 and 192; the second cell would end at 383 and is cut.
        for (const int x : {0, 191, 192}) QCOMPARE(image.pixel(x, 30), magenta);
        QCOMPARE(image.pixel(255, 30), kBlack);
        QCOMPARE(image.pixel(100, 64), magenta);

        const QFontMetrics metrics(DisplayOptions::DefaultNumberFont());
        const auto numbers = GridNumberLayout(64, 64, metrics);
        QCOMPARE(numbers.size(), size_t(16));
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(numbers[i].text, QString::number(i + 1));
            const QRect cell((i % 4) * 64, (i / 4) * 64, 64, 64);
            QVERIFY(qAbs(numbers[i].box.center().x() - cell.center().x()) <= 1);
            QVERIFY(qAbs(numbers[i].box.center().y() - cell.center().y()) <= 1);
        }
        options = PlainOptions();
        options.showNumbers = true;
        const QImage inked = ComposePage(kPage, {}, 0, -1, options);
        QVERIFY(CountPixels(inked, test::Rgb(options.numberColour), QRect(192, 192, 64, 64)) > 5);
        // A cell size of 0 would never end; it is taken as 1.
        QCOMPARE(GridNumberLayout(0, 256, metrics).size(), size_t(256));
    }

    void pageColoursSurviveTheRoundTrip() {
        Image page(kPageSize, kPageSize, 0);
        page.SetPixel(255, 255, MakeColour(250, 128, 7));
        QCOMPARE(ToQImage(page).pixel(255, 255), qRgb(250, 128, 7));
        QCOMPARE(FromQImage(ToQImage(page)), page);
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

    void selectionFrameInvertsThePageAndGoesWithTheButton() {
        PageCanvas canvas;
        ShowBlackPage(canvas);
        canvas.SetDrawMode(true);
        Mouse(&canvas, QEvent::MouseButtonPress, {10, 10});
        Mouse(&canvas, QEvent::MouseMove, {20, 20});
        const QImage shown = canvas.Render();
        const int inverted = CountPixels(shown, qRgb(255, 255, 255), QRect(10, 10, 10, 10));
        QVERIFY(inverted >= 16 && inverted <= 20);  // every other pixel of the 36-pixel frame
        QCOMPARE(shown.pixel(15, 15), kBlack);
        Mouse(&canvas, QEvent::MouseButtonRelease, {20, 20});
        QCOMPARE(CountPixels(canvas.Render(), kBlack, QRect(0, 0, 256, 256)), 256 * 256);
    }

    void previewCentresSmallPiecesAndScrollsLargeOnes() {
        const QRect area(100, 50, 140, 120);
        QCOMPARE(LayoutPreview(area, QSize(40, 20)).origin, QPoint(100 + 50, 50 + 50));
        QWidget parent;
        PiecePreview preview(&parent);
        preview.SetArea(QRect(0, 0, 140, 120));
        QImage piece(300, 20, QImage::Format_RGB32);
        piece.fill(Qt::red);
        preview.SetPiece(piece);
        QCOMPARE(preview.HorizontalBar()->maximum(), 160);
        QVERIFY(!preview.HorizontalBar()->isHidden());
        QVERIFY(preview.VerticalBar()->isHidden());
        preview.HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(preview.ScrollPosition(), QPoint(10, 0));
        preview.HorizontalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(preview.ScrollPosition(), QPoint(160, 0));
        preview.SetPiece(piece);  // a new piece starts at the top left again
        QCOMPARE(preview.ScrollPosition(), QPoint(0, 0));
    }
};

PELMORA_UI_TEST_MAIN(PageCanvasTest)
#include "test_page_canvas.moc"
