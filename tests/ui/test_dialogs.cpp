// The dialogs and the animated strip on their own, with real widgets.
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/jpeg_quality_dialog.h"
#include "ui/dialogs/merge_options_dialog.h"
#include "ui/dialogs/new_page_dialog.h"
#include "ui/dialogs/record_dialog.h"
#include "ui_test_support.h"

class DialogsTest : public QObject {
    Q_OBJECT

    ScriptedModalUi modal_;
    std::array<Colour, 16> custom_{};

    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : modal_.messages) texts << m.text;
        return texts;
    }
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
        QVERIFY(dialog.NameLabel()->text().startsWith("Pelmora Version 1.0.6.6\n"));
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
        QVERIFY(!missing.Load(QStringLiteral(":/pelmora/none.gif")) && !missing.Play());
    }

    void mergeOptionsTakesOnlyAWholeNumberAndOnlyOnOk() {
        MergeOptionsDialog dialog(3, &modal_);
        QCOMPARE(dialog.windowTitle() + dialog.Field()->text(),
                 QStringLiteral("Merging Records Options...3"));
        dialog.show();
        for (const char* bad : {"", "99999999999"}) {  // empty, past 32 bits
            dialog.Field()->setText(QLatin1String(bad));
            Ok(dialog);
            QVERIFY(dialog.isVisible());
        }
        QCOMPARE(Messages(), QStringList(2, MergeOptionsDialog::kNotAnIntegerMessage));
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
        QCOMPARE(Messages(), QStringList{JpegQualityDialog::kOutOfRangeMessage});
        dialog.Field()->setText(QStringLiteral("0"));
        Ok(dialog);
        QVERIFY(!dialog.isVisible() && dialog.Quality() == 0);
        JpegQualityDialog other(70, &modal_);  // closed without OK: what it was given
        other.show();
        QTest::keyClick(&other, Qt::Key_Escape);
        QCOMPARE(other.Quality(), 70);
    }

    void newPageDialogShowsWhatEachKindNeeds() {
        NewPageDialog dialog(0x000000, custom_, modal_, QString());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Do you want to add a new page?"));
        // Which of the count, the page colour and Load Image show, and every text fits.
        auto shows = [&](bool count, bool colour, bool load) {
            QCOMPARE(
                QList<bool>({dialog.Count()->isVisible(), dialog.PageColourButton()->isVisible(),
                             dialog.LoadImageButton()->isVisible()}),
                QList<bool>({count, colour, load}));
            CheckTextsFit(dialog);
        };
        shows(true, true, false);
        dialog.KindButton(NewPageKind::FromImage)->click();
        shows(false, false, true);
        dialog.KeepAspect()->click();
        shows(false, true, true);
        dialog.KindButton(NewPageKind::FromLongImage)->click();
        CheckTextsFit(dialog);
        dialog.KindButton(NewPageKind::FromImage)->click();
        dialog.YesButton()->click();  // From Image wants an image before Yes
        QVERIFY(dialog.isVisible());
        QCOMPARE(Messages().back(), QString::fromLatin1(kChooseImageFirstMessage));
        modal_.fileAnswers.push_back({QStringLiteral("/tmp/picture.png")});
        dialog.LoadImageButton()->click();
        modal_.colours.push_back(QColor(255, 0, 0));
        dialog.Swatch()->clicked();
        dialog.YesButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const NewPageOptions chosen = dialog.Options();
        QVERIFY(chosen.kind == NewPageKind::FromImage && chosen.keepAspect);
        QCOMPARE(chosen.imagePath, std::string("/tmp/picture.png"));
        QCOMPARE(chosen.colour, MakeColour(255, 0, 0));
    }

    void newPageDialogRefusesCountsOutsideOneToTen() {
        NewPageDialog dialog(0x00FF00, custom_, modal_, QString());
        dialog.show();
        dialog.Count()->setText(QStringLiteral("11"));
        dialog.YesButton()->click();
        QVERIFY(dialog.isVisible());
        // Choosing another kind reads the count back too.
        dialog.KindButton(NewPageKind::FromLongImage)->click();
        QCOMPARE(Messages(), QStringList(2, NewPageDialog::kCountMessage));
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
        RecordDialog dialog(QStringLiteral("Edit Texture  Record 3"),
                            {.x = 5, .width = 256, .flipX = 0, .newPage = true}, 2, true, &modal_);
        dialog.show();
        QCOMPARE(QStringList({dialog.WidthField()->text(), dialog.FlipXList()->currentText(),
                              dialog.PageList()->currentText()}),
                 QStringList({"256", "0", "Add Page"}));
        QCOMPARE(dialog.PageList()->currentIndex(), 2);
        dialog.XField()->clear();
        QTest::keyClicks(dialog.XField(), QStringLiteral("-300"));
        QCOMPARE(dialog.XField()->text(), QStringLiteral("300"));
        dialog.HeightField()->clear();
        dialog.accept();
        QVERIFY(dialog.isVisible() && Messages().size() == 1);  // an empty box is not a number
        dialog.HeightField()->setText(QStringLiteral("7"));
        dialog.PageList()->setCurrentIndex(0);
        dialog.accept();
        const RecordFields f = dialog.Fields();
        QCOMPARE(QList<int>({f.x, f.height, f.page, f.newPage, f.flipX, f.flipY}),
                 QList<int>({300, 7, 0, 0, 0, -1}));
        // A record on a page past "Add Page" shows no page entry and keeps its page; a flip
        // value other than -1 and 0 shows, and is stored, as -1.
        RecordDialog far(QString(), FieldsOfRecord(MakeRecord(0, 0, 1, 1, 9, 5, 0)), 2, true,
                         &modal_);
        QCOMPARE(far.windowTitle() + far.FlipYList()->currentText(),
                 QStringLiteral("Texture Record Dialog0"));
        QCOMPARE(far.PageList()->currentIndex(), -1);
        far.accept();
        QCOMPARE(std::make_pair(far.Fields().page, far.Fields().flipX),
                 std::make_pair(9, int8_t(-1)));
    }
};

PELMORA_UI_TEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
