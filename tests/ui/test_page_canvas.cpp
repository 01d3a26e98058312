// The composed page and the canvas's mouse handling, without the window around them.
#include <QMouseEvent>

#include "base/bitmap_header.h"
#include "ui/page_canvas.h"
#include "ui/page_composer.h"
#include "ui/piece_preview.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

namespace {

constexpr Colour kPageColour = 0x000000;

DisplayOptions PlainOptions() {
    DisplayOptions options;
    options.showGrid = false;
    options.showRectangles = false;
    options.showNumbers = false;
    return options;
}

int CountPixels(const QImage& image, QRgb colour, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove        ? Qt::MouseButtons()
                                                                     : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
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
    void recordsAreOutlinedOnTheirOwnRows() {
        const Image page(kPageSize, kPageSize, kPageColour);
        DisplayOptions options = PlainOptions();
        options.showRectangles = true;
        const std::vector<TextureRecord> records = {TextureRecord{}, MakeRecord(0, 0, 256, 256, 0),
                                                    MakeRecord(10, 20, 30, 40, 1)};
        // Record 0 is selected but is 1 x 1 at 0, 0: drawn in the selection colour over it.
        const QImage image = ComposePage(page, records, 0, 2, options);
        const QRgb yellow = test::Rgb(options.rectangleColour);
        for (int i = 1; i < 255; ++i) {
            QCOMPARE(image.pixel(i, 0), yellow);
            QCOMPARE(image.pixel(i, 255), yellow);
            QCOMPARE(image.pixel(0, i), yellow);
            QCOMPARE(image.pixel(255, i), yellow);
        }
        QCOMPARE(image.pixel(1, 1), qRgb(0, 0, 0));
        // The record of page 2 is not on this page.
        QCOMPARE(image.pixel(10, 20), qRgb(0, 0, 0));
        // The page in the store is only read.
        QCOMPARE(page.PixelAt(0, 0), kPageColour);
    }

    void gridCellsPastTheEdgeAreCut() {
        const Image page(kPageSize, kPageSize, kPageColour);
        DisplayOptions options = PlainOptions();
        options.showGrid = true;
        options.gridAcross = 192;
        options.gridDown = 64;
        const QImage image = ComposePage(page, {}, 0, -1, options);
        const QRgb magenta = test::Rgb(options.gridColour);
        // Columns at 0, 191 (end of the first cell), 192 (start of the second); the second
        // cell would end at 383 and is cut at the page edge.
        QCOMPARE(image.pixel(0, 30), magenta);
        QCOMPARE(image.pixel(191, 30), magenta);
        QCOMPARE(image.pixel(192, 30), magenta);
        QCOMPARE(image.pixel(255, 30), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(100, 30), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(100, 63), magenta);
        QCOMPARE(image.pixel(100, 64), magenta);

        const auto numbers = GridNumberLayout(192, 64, QFontMetrics(options.numberFont));
        QCOMPARE(numbers.size(), size_t(8));  // two columns per row
    }

    void numbersRunRowByRowCentredInTheirCells() {
        const QFontMetrics metrics(DisplayOptions::DefaultNumberFont());
        const auto numbers = GridNumberLayout(64, 64, metrics);
        QCOMPARE(numbers.size(), size_t(16));
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(numbers[i].text, QString::number(i + 1));
            const QRect cell((i % 4) * 64, (i / 4) * 64, 64, 64);
            QVERIFY2(qAbs(numbers[i].box.center().x() - cell.center().x()) <= 1,
                     qPrintable(numbers[i].text));
            QVERIFY(qAbs(numbers[i].box.center().y() - cell.center().y()) <= 1);
        }
        // Each cell gets ink in the number colour, and only there is it drawn.
        const Image page(kPageSize, kPageSize, kPageColour);
        DisplayOptions options = PlainOptions();
        options.showNumbers = true;
        const QImage image = ComposePage(page, {}, 0, -1, options);
        const QRgb cyan = test::Rgb(options.numberColour);
        for (int i = 0; i < 16; ++i) {
            const QRect cell((i % 4) * 64, (i / 4) * 64, 64, 64);
            QVERIFY(CountPixels(image, cyan, cell) > 5);
        }
        // A cell size of 0 would never end; it is taken as 1.
        QCOMPARE(GridNumberLayout(0, 256, metrics).size(), size_t(256));
    }

    void selectionIsDrawnOverEverythingElse() {
        const Image page(kPageSize, kPageSize, kPageColour);
        DisplayOptions options = PlainOptions();
        options.showRectangles = true;
        options.showGrid = true;
        const std::vector<TextureRecord> records = {TextureRecord{}, MakeRecord(0, 0, 64, 64, 0),
                                                    MakeRecord(64, 0, 64, 64, 0)};
        const QImage image = ComposePage(page, records, 0, 1, options);
        const QRgb white = test::Rgb(options.selectionColour);
        QCOMPARE(image.pixel(63, 10), white);  // shared with the grid line at 63
        QCOMPARE(image.pixel(10, 0), white);
        QCOMPARE(image.pixel(64, 10), test::Rgb(options.gridColour));
        // With no selection, record 1 (index 0) is the one outlined.
        const QImage none = ComposePage(page, records, 0, -1, PlainOptions());
        QCOMPARE(none.pixel(0, 0), white);
        QCOMPARE(none.pixel(1, 1), qRgb(0, 0, 0));
    }

    void pageColoursSurviveTheRoundTrip() {
        Image page(kPageSize, kPageSize, 0);
        page.SetPixel(0, 0, MakeColour(1, 2, 3));
        page.SetPixel(255, 255, MakeColour(250, 128, 7));
        const QImage image = ToQImage(page);
        QCOMPARE(image.pixel(0, 0), qRgb(1, 2, 3));
        QCOMPARE(FromQImage(image), page);
    }

    void trackingShowsTheFlipDiagonals() {
        PageCanvas canvas;
        ShowBlackPage(canvas);
        TrackTarget target{1, QRect(10, 10, 20, 20), -1, 0};
        canvas.hitTest = [&](const QPoint& p) {
            return target.rect.contains(p) ? std::optional<TrackTarget>(target) : std::nullopt;
        };
        SendMouse(&canvas, QEvent::MouseMove, {15, 15});
        QVERIFY(!canvas.HoverTarget());  // tracking is off
        canvas.SetTrackMode(true);
        SendMouse(&canvas, QEvent::MouseMove, {15, 15});
        QVERIFY(canvas.HoverTarget());
        const QRgb green = test::Rgb(canvas.TrackColour());
        QImage shown = canvas.Render();
        QCOMPARE(shown.pixel(10, 10), green);
        QCOMPARE(shown.pixel(29, 29), green);
        QCOMPARE(shown.pixel(20, 20), green);  // falling diagonal (a flip of 0)
        QCOMPARE(shown.pixel(27, 12), green);  // rising diagonal (a flip of -1)
        // Moving off every record leaves the outline; toggling a mode removes it.
        SendMouse(&canvas, QEvent::MouseMove, {200, 200});
        QVERIFY(canvas.HoverTarget());
        canvas.SetTrackMode(true);
        QVERIFY(!canvas.HoverTarget());

        target.flipX = 0;
        target.flipY = 0;
        SendMouse(&canvas, QEvent::MouseMove, {15, 15});
        shown = canvas.Render();
        QCOMPARE(shown.pixel(20, 20), green);
        QCOMPARE(shown.pixel(27, 12), qRgb(0, 0, 0));
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
            SendMouse(&canvas, QEvent::MouseButtonPress, from);
            SendMouse(&canvas, QEvent::MouseMove, to);
            SendMouse(&canvas, QEvent::MouseButtonRelease, to);
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

    void selectionFrameInvertsThePage() {
        PageCanvas canvas;
        ShowBlackPage(canvas);
        canvas.SetDrawMode(true);
        SendMouse(&canvas, QEvent::MouseButtonPress, {10, 10});
        SendMouse(&canvas, QEvent::MouseMove, {20, 20});
        const QImage shown = canvas.Render();
        const int inverted = CountPixels(shown, qRgb(255, 255, 255), QRect(10, 10, 10, 10));
        QVERIFY(inverted >= 16 && inverted <= 20);  // every other pixel of the 36-pixel frame
        QCOMPARE(shown.pixel(15, 15), qRgb(0, 0, 0));
        SendMouse(&canvas, QEvent::MouseButtonRelease, {20, 20});
        QCOMPARE(CountPixels(canvas.Render(), qRgb(0, 0, 0), QRect(0, 0, 256, 256)), 256 * 256);
    }

    void previewCentresSmallPiecesAndScrollsLargeOnes() {
        const QRect area(100, 50, 140, 120);
        PreviewLayout small = LayoutPreview(area, QSize(40, 20));
        QCOMPARE(small.origin, QPoint(100 + 50, 50 + 50));
        QVERIFY(!small.horizontalVisible);
        QVERIFY(!small.verticalVisible);
        QCOMPARE(small.verticalBar.left(), 150 + 40);
        QCOMPARE(small.horizontalBar.top(), 100 + 20);

        PreviewLayout wide = LayoutPreview(area, QSize(300, 20));
        QVERIFY(wide.horizontalVisible);
        QCOMPARE(wide.horizontalMax, 160);
        QCOMPARE(wide.origin.x(), 100);
        QCOMPARE(wide.horizontalBar, QRect(100, 50 + 50 + 20, 140, kPreviewBarThickness));

        PreviewLayout big = LayoutPreview(area, QSize(256, 256));
        QVERIFY(big.horizontalVisible && big.verticalVisible);
        QCOMPARE(big.verticalMax, 136);
        QCOMPARE(big.verticalBar, QRect(240, 50, kPreviewBarThickness, 120));

        QWidget parent;
        PiecePreview preview(&parent);
        preview.SetArea(QRect(0, 0, 140, 120));
        QImage piece(300, 20, QImage::Format_RGB32);
        piece.fill(Qt::red);
        preview.SetPiece(piece);
        QCOMPARE(preview.HorizontalBar()->maximum(), 160);
        QCOMPARE(preview.HorizontalBar()->pageStep(), 10);
        QVERIFY(!preview.HorizontalBar()->isHidden());
        QVERIFY(preview.VerticalBar()->isHidden());
        preview.HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(preview.ScrollPosition(), QPoint(10, 0));
        preview.HorizontalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(preview.ScrollPosition(), QPoint(160, 0));
        // A new piece starts at the top left again.
        preview.SetPiece(piece);
        QCOMPARE(preview.ScrollPosition(), QPoint(0, 0));
    }
};

PELMORA_UI_TEST_MAIN(PageCanvasTest)
#include "test_page_canvas.moc"
