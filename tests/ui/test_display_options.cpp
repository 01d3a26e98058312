// The window's display options, the settings file that keeps them between starts, the about
// box and the animated strip, driven through the scripted modal seam.
#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "base/file_util.h"
#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/commands.h"
#include "ui/dialogs/custom_grid_dialog.h"
#include "ui/page_canvas.h"
#include "ui/text_progress_bar.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

namespace {

QPushButton* Button(QWidget& window, const QString& text, const QString& tip = {}) {
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        if (b->text() == text && (tip.isEmpty() || b->toolTip() == tip)) return b;
    }
    return nullptr;
}

void Choose(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text));
    emit list->activated(list->currentIndex());
}

QAction* Item(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) return a;
    }
    return nullptr;
}

}  // namespace

class DisplayOptionsTest : public test::WindowTest {
    Q_OBJECT

    // A page with no record over the grid lines the tests look at.
    void OpenPlainWad() { Open({TextureRecord{}}, 1); }

private slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

    void aFreshStartIsSilentAndTheSecondFindsWhatTheFirstLeft() {
        const int dpi = static_cast<int>(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
        window_->Start({QStringLiteral("pelmora")});
        QVERIFY(modal_->messages.empty());
        QCOMPARE(window_->AcrossList()->currentText(), QStringLiteral("64"));

        // A size no entry has, shown grid and draw mode, a font, a colour, the options.
        modal_->customGrids.push_back(100);
        Choose(window_->AcrossList(), QStringLiteral("custom"));
        QCOMPARE(modal_->customGridQuestions.back(), std::make_pair(QStringLiteral("Across:"), 64));
        window_->ShowGridBox()->click();
        window_->DrawBox()->click();
        QFont font(QStringLiteral("DejaVu Sans"), 12);
        font.setBold(true);
        font.setItalic(true);
        modal_->fonts.push_back(font);
        Button(*window_, QStringLiteral("F"))->click();
        modal_->colours.push_back(QColor(10, 20, 30));
        Button(*window_, QStringLiteral("Custom"))->click();
        window_->SetSortOrder(FileSortOrder::SizeDescending);
        window_->MenuActions().showWarnings->trigger();
        Restart();

        MainWindow& w = *window_;
        QVERIFY(modal_->messages.empty());
        QCOMPARE(w.AcrossList()->currentText(), QStringLiteral("custom"));
        QCOMPARE(w.Options().gridAcross, 100);
        QCOMPARE(w.DownList()->currentText(), QStringLiteral("64"));
        QVERIFY(w.ShowGridBox()->isChecked());
        QVERIFY(w.DrawBox()->isChecked());
        QVERIFY(w.Canvas()->DrawMode());
        QVERIFY(!w.TrackBox()->isChecked());
        const QFont restored = w.Options().numberFont;
        QCOMPARE(restored.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(restored.pixelSize(), static_cast<int>(std::lround(12.0 * dpi / 72)));
        QVERIFY(restored.bold());
        QVERIFY(restored.italic());
        QCOMPARE(w.Swatch(ColourTarget::Selection)->CurrentColour(), MakeColour(10, 20, 30));
        QCOMPARE(w.SortOrder(), FileSortOrder::SizeDescending);
        QVERIFY(!w.ShowWarnings());
        QVERIFY(!w.MenuActions().showWarnings->isChecked());

        // The grid is drawn in 100-pixel cells.
        OpenPlainWad();
        const QImage page = w.Canvas()->ComposedPage();
        const QRgb magenta = test::Rgb(0xFF00FF);
        QCOMPARE(page.pixel(100, 30), magenta);
        QCOMPARE(page.pixel(99, 30), magenta);
        QVERIFY(page.pixel(64, 30) != magenta);
    }

    void aBadSettingsFileIsToldAndOddValuesAreKeptUnchecked() {
        test::WriteFile(window_->SettingsPath().toStdString(), "NOTPELMORA");
        window_->Start({QStringLiteral("pelmora")});
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(modal_->messages[0].text, QString::fromLatin1(kSettingsWrongTypeMessage));

        Settings odd;
        odd.sortFilesBy = 7;
        odd.cpuPriority = 9;
        odd.track = true;
        modal_->messages.clear();
        Restart([&](const std::string& path) { test::WriteFile(path, SettingsFileBytes(odd)); });
        QVERIFY(modal_->messages.empty());
        QCOMPARE(window_->CpuPriority(), 9);
        QCOMPARE(window_->SortOrder(), FileSortOrder::Name);
        QVERIFY(window_->Canvas()->TrackMode());
        for (QMenu* menu : window_->OptionsMenu()->findChildren<QMenu*>()) emit menu->aboutToShow();
        QVERIFY(!window_->MenuActions().sortByName->isChecked());
        QVERIFY(!window_->MenuActions().sortBySizeAscending->isChecked());
        QVERIFY(!window_->MenuActions().sortBySizeDescending->isChecked());
        Restart();
        QCOMPARE(window_->Preferences().sortFilesBy, 7);
    }

    void coloursComeFromTheDialogTheSwatchesAndTheirPopup() {
        OpenPlainWad();
        MainWindow& w = *window_;
        w.ShowGridBox()->click();
        QCOMPARE(w.Canvas()->ComposedPage().pixel(64, 30), test::Rgb(0xFF00FF));

        // The dialog opens on the current colour; confirmed, the page is redrawn at once.
        modal_->colours.push_back(QColor(1, 2, 3));
        Button(w, QStringLiteral("C"), QStringLiteral("Color Settings For The Grid"))->click();
        QCOMPARE(modal_->colourStarts.back(), QColor(255, 0, 255));
        QCOMPARE(w.Swatch(ColourTarget::Grid)->CurrentColour(), MakeColour(1, 2, 3));
        QCOMPARE(w.Canvas()->ComposedPage().pixel(64, 30), qRgb(1, 2, 3));
        Button(w, QStringLiteral("C"), QStringLiteral("Color Settings For The Grid"))->click();
        QCOMPARE(w.Options().gridColour, MakeColour(1, 2, 3));  // cancelled: unchanged

        // A right click names the target of the pop-up.
        QTest::mouseClick(w.Swatch(ColourTarget::Rectangle), Qt::RightButton);
        QCOMPARE(w.NamedColourTarget(), ColourTarget::Rectangle);
        w.NamedColourMenu()->close();
        QCOMPARE(Item(w.NamedColourMenu(), QStringLiteral("Brown"))->data().toInt(), 65009);
        Item(w.NamedColourMenu(), QStringLiteral("Brown"))->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(w.Options().rectangleColour, Colour{0x004080});

        // The track colour waits for the mouse: the page is not composed again for it.
        const QImage before = w.Canvas()->ComposedPage();
        QTest::mouseClick(w.Swatch(ColourTarget::Track), Qt::RightButton);
        w.NamedColourMenu()->close();
        Item(w.NamedColourMenu(), QStringLiteral("Red"))->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(w.Canvas()->TrackColour(), Colour{0x0000FF});
        QCOMPARE(w.Canvas()->ComposedPage(), before);

        // A left click gives a random colour with no component at 255.
        w.SetDisplayColour(ColourTarget::Number, 0xFFFFFF);
        QTest::mouseClick(w.Swatch(ColourTarget::Number), Qt::LeftButton);
        const Colour random = w.Options().numberColour;
        QVERIFY(RedOf(random) < 255 && GreenOf(random) < 255 && BlueOf(random) < 255);
        QCOMPARE(w.Swatch(ColourTarget::Number)->CurrentColour(), random);
    }

    void theProgressFontIsChosenAndKept() {
        window_->Start({QStringLiteral("pelmora")});
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(15);
        modal_->fonts.push_back(font);
        window_->MenuActions().progressFont->trigger();
        QCOMPARE(window_->ProgressBar()->BarFont().pixelSize(), 15);
        Restart();
        QCOMPARE(window_->ProgressBar()->BarFont().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(window_->ProgressBar()->BarFont().pixelSize(), 15);
    }

    void aCustomGridBelowOneIsRefused() {
        CustomGridDialog dialog(QStringLiteral("Down:"), 64);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Custom Grid Settings..."));
        dialog.Field()->setText(QStringLiteral("0"));
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
        QCOMPARE(dialog.Value(), 64);
        dialog.Field()->setText(QStringLiteral("12"));
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Value(), 12);

        // Whatever comes back below 1, and a cancelled dialog, keep the size.
        modal_->customGrids = {0, std::nullopt};
        Choose(window_->DownList(), QStringLiteral("custom"));
        Choose(window_->DownList(), QStringLiteral("custom"));
        QCOMPARE(window_->Options().gridDown, 64);
        QCOMPARE(window_->DownList()->currentText(), QStringLiteral("custom"));
    }

    void noControlWaitsForCode() {
        for (QPushButton* b : window_->findChildren<QPushButton*>())
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        // Undo and Redo wait for something to undo.
        const QAction* undo = window_->Commands().Action("undo");
        const QAction* redo = window_->Commands().Action("redo");
        for (QAction* a : window_->findChildren<QAction*>())
            QVERIFY2(a->isEnabled() || a == undo || a == redo, qPrintable(a->text()));
        window_->MenuActions().about->trigger();
        QCOMPARE(modal_->aboutBoxes, 1);
    }

    void theStripPlaysTopRightAndStopsAtOnceWhenTheWindowCloses() {
        // Its frames and the hold are AnimatedPictureTest's.
        AnimatedPicture* strip = window_->Animation();
        QVERIFY(strip->IsPlaying());
        const QWidget* backdrop = window_->centralWidget();
        QVERIFY(backdrop->rect().contains(strip->geometry()));
        QVERIFY(strip->geometry().right() > backdrop->width() - 30);
        // Frame 6 is held for 3 seconds.
        QTRY_COMPARE_WITH_TIMEOUT(strip->Movie()->currentFrameNumber(), 5, 3000);
        QElapsedTimer timer;
        timer.start();
        window_->close();
        QVERIFY(!strip->IsPlaying());
        QVERIFY(timer.elapsed() < 100);
    }
};

PELMORA_UI_TEST_MAIN(DisplayOptionsTest)
#include "test_display_options.moc"
