// The dialogs on their own, with real widgets.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ui/colour_swatch.h"
#include "ui/dialog_units.h"
#include "ui/dialogs/jpeg_quality_dialog.h"
#include "ui/dialogs/merge_options_dialog.h"
#include "ui/dialogs/new_page_dialog.h"
#include "ui/dialogs/record_dialog.h"
#include "ui/dialogs/sort_options_dialog.h"
#include "ui/editor_texts.h"
#include "ui/modal_ui.h"
#include "ui/scripted_modal_ui.h"
#include "ui_test_support.h"

using namespace pelmora::ui;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void mergeOptionsTakesOnlyAWholeNumberAndOnlyOnOk() {
        ScriptedModalUi modal;
        MergeOptionsDialog dialog(3, &modal);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Merging Records Options..."));
        QCOMPARE(dialog.Field()->text(), QStringLiteral("3"));
        dialog.show();
        QPushButton* ok = dialog.findChild<QPushButton*>(QStringLiteral("ok"));
        dialog.Field()->clear();
        ok->click();  // empty
        QVERIFY(dialog.isVisible());
        dialog.Field()->setText(QStringLiteral("99999999999"));  // past 32 bits
        ok->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal.messages.size(), size_t(2));
        QCOMPARE(modal.messages[0].text,
                 QString::fromLatin1(MergeOptionsDialog::kNotAnIntegerMessage));
        QCOMPARE(dialog.ShiftValue(), 3);
        dialog.Field()->clear();
        QTest::keyClicks(dialog.Field(), QStringLiteral("-x7"));  // digits only
        QCOMPARE(dialog.Field()->text(), QStringLiteral("7"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.ShiftValue(), 3);
        dialog.show();
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ShiftValue(), 7);
        QCOMPARE(modal.messages.size(), size_t(2));
    }

    void mergeOptionsAskRunsModally() {
        ScriptedModalUi modal;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<MergeOptionsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->Field()->setText(QStringLiteral("12"));
            dialog->findChild<QPushButton*>(QStringLiteral("ok"))->click();
        });
        QCOMPARE(MergeOptionsDialog::Ask(5, &modal, nullptr), 12);
    }

    void sortOptionsOpensOnTheRememberedChoice() {
        SortOptionsDialog dialog(1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Sorting Options..."));
        QVERIFY(dialog.DescendingButton()->isChecked());
        QCOMPARE(dialog.AscendingButton()->text(), QStringLiteral("Sort by Page Ascending "));
        dialog.AscendingButton()->click();
        QCOMPARE(dialog.Choice(), 0);
        QVERIFY(!dialog.DescendingButton()->isChecked());
    }

    void jpegQualitySliderAndBoxFollowEachOther() {
        ScriptedModalUi modal;
        JpegQualityDialog dialog(100, &modal);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("JPEG Compression Options..."));
        QCOMPARE(dialog.Slider()->value(), 100);
        dialog.Slider()->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(dialog.Field()->text(), QStringLiteral("90"));
        dialog.Field()->setText(QStringLiteral("35"));
        QCOMPARE(dialog.Slider()->value(), 35);
        dialog.Field()->setText(QStringLiteral("101"));
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal.messages.back().text,
                 QString::fromLatin1(JpegQualityDialog::kOutOfRangeMessage));
        dialog.Field()->setText(QStringLiteral("0"));
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Quality(), 0);
        // Closed without OK it keeps what it was given.
        JpegQualityDialog other(70, &modal);
        other.show();
        QTest::keyClick(&other, Qt::Key_Escape);
        QCOMPARE(other.Quality(), 70);
    }

    void newPageDialogShowsWhatEachKindNeeds() {
        ScriptedModalUi modal;
        std::array<pelmora::Colour, 16> custom{};
        NewPageDialog dialog(0x000000, custom, modal, QString());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Do you want to add a new page?"));
        QVERIFY(dialog.Count()->isVisible());
        QVERIFY(dialog.PageColourButton()->isVisible());
        QVERIFY(!dialog.LoadImageButton()->isVisible());
        dialog.KindButton(pelmora::NewPageKind::FromImage)->click();
        QVERIFY(!dialog.Count()->isVisible());
        QVERIFY(dialog.LoadImageButton()->isVisible());
        QVERIFY(!dialog.PageColourButton()->isVisible());
        dialog.KeepAspect()->click();
        QVERIFY(dialog.PageColourButton()->isVisible());
        // From Image wants an image before Yes.
        dialog.YesButton()->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal.messages.back().text, QString::fromLatin1(kChooseImageFirstMessage));
        modal.fileAnswers.push_back({QStringLiteral("/tmp/picture.png")});
        dialog.LoadImageButton()->click();
        modal.colours.push_back(QColor(255, 0, 0));
        dialog.Swatch()->clicked();
        dialog.YesButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Options().kind, pelmora::NewPageKind::FromImage);
        QCOMPARE(dialog.Options().imagePath, std::string("/tmp/picture.png"));
        QVERIFY(dialog.Options().keepAspect);
        QCOMPARE(dialog.Options().colour, pelmora::MakeColour(255, 0, 0));
    }

    void newPageDialogFitsItsTextsInEveryLayout() {
        ScriptedModalUi modal;
        std::array<pelmora::Colour, 16> custom{};
        NewPageDialog dialog(0, custom, modal, QString());
        dialog.show();
        auto fits = [&](const char* layout) {
            QApplication::processEvents();  // the layout follows shown and hidden controls
            std::vector<QWidget*> shown;
            for (QWidget* w : dialog.findChildren<QWidget*>()) {
                if (!w->isVisible() || !(qobject_cast<QAbstractButton*>(w) ||
                                         qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)))
                    continue;
                shown.push_back(w);
                const QString what = QStringLiteral("%1: %2").arg(QLatin1String(layout),
                                                                  w->property("text").toString());
                const QRect inDialog(w->mapTo(&dialog, QPoint()), w->size());
                QVERIFY2(dialog.rect().contains(inDialog), qPrintable(what));
                const int height =
                    w->hasHeightForWidth() ? w->heightForWidth(w->width()) : w->sizeHint().height();
                // A line edit scrolls its text; the others must show all of it.
                QVERIFY2(w->width() >= w->sizeHint().width() || w->hasHeightForWidth() ||
                             qobject_cast<QLineEdit*>(w),
                         qPrintable(what));
                QVERIFY2(w->height() >= height, qPrintable(what));
            }
            for (QWidget* a : shown)
                for (QWidget* b : shown)
                    QVERIFY2(
                        a == b || !QRect(a->mapTo(&dialog, QPoint()), a->size())
                                       .intersects(QRect(b->mapTo(&dialog, QPoint()), b->size())),
                        qPrintable(a->property("text").toString() + " / " +
                                   b->property("text").toString()));
        };
        fits("blank");
        dialog.KindButton(pelmora::NewPageKind::FromImage)->click();
        fits("image");
        dialog.KeepAspect()->click();
        fits("aspect");
        dialog.KindButton(pelmora::NewPageKind::FromLongImage)->click();
        fits("long");
    }

    void newPageDialogRefusesCountsOutsideOneToTen() {
        ScriptedModalUi modal;
        std::array<pelmora::Colour, 16> custom{};
        NewPageDialog dialog(0x00FF00, custom, modal, QString());
        dialog.show();
        dialog.Count()->setText(QStringLiteral("11"));
        dialog.YesButton()->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal.messages.back().text, QString::fromLatin1(NewPageDialog::kCountMessage));
        // Choosing another kind reads the count back too.
        dialog.KindButton(pelmora::NewPageKind::FromLongImage)->click();
        QCOMPARE(modal.messages.size(), size_t(2));
        dialog.KindButton(pelmora::NewPageKind::Blank)->click();
        dialog.Count()->setText(QStringLiteral("10"));
        dialog.YesButton()->click();
        QCOMPARE(dialog.Options().count, 10);
        QCOMPARE(dialog.Options().colour, pelmora::MakeColour(0, 255, 0));
        NewPageDialog declined(0, custom, modal, QString());
        declined.show();
        declined.NoButton()->click();
        QCOMPARE(declined.result(), int(QDialog::Rejected));
    }

    void recordDialogShowsTheRecordAndAddPage() {
        ScriptedModalUi modal;
        pelmora::RecordFields fields;
        fields.x = 5;
        fields.width = 256;
        fields.flipX = 0;
        fields.newPage = true;
        RecordDialog dialog(QStringLiteral("Edit Texture  Record 3"), fields, 2, true, &modal);
        dialog.show();
        QCOMPARE(dialog.WidthField()->text(), QStringLiteral("256"));
        QCOMPARE(dialog.FlipXList()->currentText(), QStringLiteral("0"));
        QCOMPARE(dialog.PageList()->count(), 3);
        QCOMPARE(dialog.PageList()->currentText(), QStringLiteral("Add Page"));
        dialog.XField()->clear();
        QTest::keyClicks(dialog.XField(), QStringLiteral("-300"));
        QCOMPARE(dialog.XField()->text(), QStringLiteral("300"));
        dialog.HeightField()->clear();
        dialog.accept();
        QVERIFY(dialog.isVisible());  // an empty box is not a number
        QCOMPARE(modal.messages.size(), size_t(1));
        dialog.HeightField()->setText(QStringLiteral("7"));
        dialog.PageList()->setCurrentIndex(0);
        dialog.accept();
        QCOMPARE(dialog.Fields().x, 300);
        QCOMPARE(dialog.Fields().height, 7);
        QCOMPARE(dialog.Fields().page, 0);
        QVERIFY(!dialog.Fields().newPage);
        QCOMPARE(dialog.Fields().flipX, int8_t(0));
        QCOMPARE(dialog.Fields().flipY, int8_t(-1));
        // A record on a page past "Add Page" shows no page entry and keeps its page; a flip
        // value other than -1 and 0 shows, and is stored, as -1.
        fields = pelmora::FieldsOfRecord(pelmora::MakeRecord(0, 0, 1, 1, 9, 5, 0));
        RecordDialog far(QString(), fields, 2, true, &modal);
        QCOMPARE(far.windowTitle(), QStringLiteral("Texture Record Dialog"));
        QCOMPARE(far.PageList()->currentIndex(), -1);
        QCOMPARE(far.FlipYList()->currentText(), QStringLiteral("0"));
        far.accept();
        QCOMPARE(far.Fields().page, 9);
        QCOMPARE(far.Fields().flipX, int8_t(-1));
    }

    void dialogUnitsFollowTheFont() {
        const DialogUnits du(6, 13);
        QCOMPARE(du.X(442), 663);
        QCOMPARE(du.Y(250), 406);
        QCOMPARE(du.Rect(10, 20, 4, 8), QRect(15, 33, 6, 13));
        // Whatever the font, 256 pixels fit between the label row and the page buttons.
        const DialogUnits fromFont = DialogUnits::FromFont(DialogFont());
        QVERIFY(fromFont.Y(180) - fromFont.Y(20) >= 256);
    }
};

PELMORA_UI_TEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
