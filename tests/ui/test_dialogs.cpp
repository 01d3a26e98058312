// The dialogs and the animated strip on their own, with real widgets.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMovie>
#include <QTimer>

#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/jpeg_quality_dialog.h"
#include "ui/dialogs/merge_options_dialog.h"
#include "ui/dialogs/new_page_dialog.h"
#include "ui/dialogs/record_dialog.h"
#include "ui/editor_texts.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

class DialogsTest : public QObject {
    Q_OBJECT

    ScriptedModalUi modal_;
    std::array<Colour, 16> custom_{};

    static void Ok(QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    }
    // Every text shows whole inside the dialog, overlapping no other.
    static void CheckTextsFit(QDialog& dialog) {
        QApplication::processEvents();  // the layout follows shown and hidden controls
        std::vector<QRect> taken;
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QAbstractButton*>(w) ||
                                     qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)))
                continue;
            const QString what = w->property("text").toString();
            const QRect r(w->mapTo(&dialog, QPoint()), w->size());
            QVERIFY2(dialog.rect().contains(r), qPrintable(what));
            // A line edit scrolls its text; the others must show all of it.
            QVERIFY2(w->width() >= w->sizeHint().width() || w->hasHeightForWidth() ||
                         qobject_cast<QLineEdit*>(w),
                     qPrintable(what));
            QVERIFY2(w->height() >= (w->hasHeightForWidth() ? w->heightForWidth(w->width())
                                                            : w->sizeHint().height()),
                     qPrintable(what));
            for (const QRect& other : taken) QVERIFY2(!r.intersects(other), qPrintable(what));
            taken.push_back(r);
        }
    }

private slots:
    void init() { modal_ = ScriptedModalUi(); }

    void aboutShowsItsTexts() {
        AboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Pelmora"));
        QVERIFY(dialog.NameLabel()->text().startsWith(QStringLiteral("Pelmora Version 1.0.6.6\n")));
        QCOMPARE(dialog.ContactField()->text(), QString::fromLatin1(AboutDialog::kContactAddress));
        QVERIFY(dialog.ContactField()->isReadOnly());
    }

    void theStripEndsAtOnceInsideItsHoldAndAMissingOneDoesNotPlay() {
        auto* picture = new AnimatedPicture;
        QVERIFY(picture->Load());
        picture->show();
        QVERIFY(picture->Play());
        QTRY_COMPARE_WITH_TIMEOUT(picture->Movie()->currentFrameNumber(), 5, 5000);
        picture->hide();
        QCOMPARE(picture->Movie()->state(), QMovie::Paused);
        picture->show();
        QVERIFY(picture->IsPlaying());
        QElapsedTimer clock;
        clock.start();
        delete picture;  // inside the 3-second hold of frame 6
        QVERIFY2(clock.elapsed() < 1000, "destroying the strip waited for its frame");

        AnimatedPicture missing;
        QVERIFY(!missing.Load(QStringLiteral(":/pelmora/none.gif")));
        QVERIFY(!missing.Play());
    }

    void mergeOptionsTakesOnlyAWholeNumberAndOnlyOnOk() {
        MergeOptionsDialog dialog(3, &modal_);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Merging Records Options..."));
        QCOMPARE(dialog.Field()->text(), QStringLiteral("3"));
        dialog.show();
        for (const char* bad : {"", "99999999999"}) {  // empty, past 32 bits
            dialog.Field()->setText(QLatin1String(bad));
            Ok(dialog);
            QVERIFY(dialog.isVisible());
        }
        QCOMPARE(modal_.messages.size(), size_t(2));
        QCOMPARE(modal_.messages[0].text,
                 QString::fromLatin1(MergeOptionsDialog::kNotAnIntegerMessage));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.ShiftValue(), 3);

        // Run modally, as the window asks it.
        QTimer::singleShot(0, [] {
            auto* asked = qobject_cast<MergeOptionsDialog*>(QApplication::activeModalWidget());
            QVERIFY(asked);
            asked->Field()->setText(QStringLiteral("12"));
            Ok(*asked);
        });
        QCOMPARE(MergeOptionsDialog::Ask(5, &modal_, nullptr), 12);
    }

    void jpegQualityRefusesValuesPast100() {
        JpegQualityDialog dialog(100, &modal_);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("JPEG Compression Options..."));
        dialog.Field()->setText(QStringLiteral("101"));
        Ok(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal_.messages.back().text,
                 QString::fromLatin1(JpegQualityDialog::kOutOfRangeMessage));
        dialog.Field()->setText(QStringLiteral("0"));
        Ok(dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Quality(), 0);
        JpegQualityDialog other(70, &modal_);  // closed without OK: what it was given
        other.show();
        QTest::keyClick(&other, Qt::Key_Escape);
        QCOMPARE(other.Quality(), 70);
    }

    void newPageDialogShowsWhatEachKindNeeds() {
        NewPageDialog dialog(0x000000, custom_, modal_, QString());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Do you want to add a new page?"));
        QVERIFY(dialog.Count()->isVisible() && dialog.PageColourButton()->isVisible());
        QVERIFY(!dialog.LoadImageButton()->isVisible());
        CheckTextsFit(dialog);
        dialog.KindButton(NewPageKind::FromImage)->click();
        QVERIFY(!dialog.Count()->isVisible() && !dialog.PageColourButton()->isVisible());
        QVERIFY(dialog.LoadImageButton()->isVisible());
        CheckTextsFit(dialog);
        dialog.KeepAspect()->click();
        QVERIFY(dialog.PageColourButton()->isVisible());
        CheckTextsFit(dialog);
        dialog.KindButton(NewPageKind::FromLongImage)->click();
        CheckTextsFit(dialog);
        dialog.KindButton(NewPageKind::FromImage)->click();
        dialog.YesButton()->click();  // From Image wants an image before Yes
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal_.messages.back().text, QString::fromLatin1(kChooseImageFirstMessage));
        modal_.fileAnswers.push_back({QStringLiteral("/tmp/picture.png")});
        dialog.LoadImageButton()->click();
        modal_.colours.push_back(QColor(255, 0, 0));
        dialog.Swatch()->clicked();
        dialog.YesButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Options().kind, NewPageKind::FromImage);
        QCOMPARE(dialog.Options().imagePath, std::string("/tmp/picture.png"));
        QVERIFY(dialog.Options().keepAspect);
        QCOMPARE(dialog.Options().colour, MakeColour(255, 0, 0));
    }

    void newPageDialogRefusesCountsOutsideOneToTen() {
        NewPageDialog dialog(0x00FF00, custom_, modal_, QString());
        dialog.show();
        dialog.Count()->setText(QStringLiteral("11"));
        dialog.YesButton()->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(modal_.messages.back().text, QString::fromLatin1(NewPageDialog::kCountMessage));
        // Choosing another kind reads the count back too.
        dialog.KindButton(NewPageKind::FromLongImage)->click();
        QCOMPARE(modal_.messages.size(), size_t(2));
        dialog.KindButton(NewPageKind::Blank)->click();
        dialog.Count()->setText(QStringLiteral("10"));
        dialog.YesButton()->click();
        QCOMPARE(dialog.Options().count, 10);
        QCOMPARE(dialog.Options().colour, MakeColour(0, 255, 0));
        dialog.show();
        dialog.NoButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void recordDialogShowsTheRecordAndAddPage() {
        RecordFields fields;
        fields.x = 5;
        fields.width = 256;
        fields.flipX = 0;
        fields.newPage = true;
        RecordDialog dialog(QStringLiteral("Edit Texture  Record 3"), fields, 2, true, &modal_);
        dialog.show();
        QCOMPARE(dialog.WidthField()->text(), QStringLiteral("256"));
        QCOMPARE(dialog.FlipXList()->currentText(), QStringLiteral("0"));
        QCOMPARE(test::Items(dialog.PageList()).back(), QStringLiteral("Add Page"));
        QCOMPARE(dialog.PageList()->currentIndex(), 2);
        dialog.XField()->clear();
        QTest::keyClicks(dialog.XField(), QStringLiteral("-300"));
        QCOMPARE(dialog.XField()->text(), QStringLiteral("300"));
        dialog.HeightField()->clear();
        dialog.accept();
        QVERIFY(dialog.isVisible());  // an empty box is not a number
        QCOMPARE(modal_.messages.size(), size_t(1));
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
        RecordDialog far(QString(), fields, 2, true, &modal_);
        QCOMPARE(far.windowTitle(), QStringLiteral("Texture Record Dialog"));
        QCOMPARE(far.PageList()->currentIndex(), -1);
        QCOMPARE(far.FlipYList()->currentText(), QStringLiteral("0"));
        far.accept();
        QCOMPARE(far.Fields().page, 9);
        QCOMPARE(far.Fields().flipX, int8_t(-1));
    }
};

PELMORA_UI_TEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
