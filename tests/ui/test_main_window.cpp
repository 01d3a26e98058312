// The main window's start-up, file commands, dropped files and page interaction, driven
// through the scripted modal seam.
#include <QAction>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include "base/file_util.h"
#include "base/paths.h"
#include "ui/editor_texts.h"
#include "ui/page_canvas.h"
#include "ui/piece_preview.h"
#include "ui/text_progress_bar.h"
#include "ui_test_support.h"
#include "wad/wad_open.h"

using namespace pelmora;
using namespace pelmora::ui;
using test::Items;

namespace {

const QString kBase = QStringLiteral("Pelmora v1.0.6.6 (by Brell)");

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void Drop(MainWindow& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    // A drop reaches only the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

}  // namespace

class MainWindowTest : public test::WindowTest {
    Q_OBJECT

    // What the window shows with nothing open, at start-up and after Close.
    void CheckShowsNothing() {
        MainWindow& w = *window_;
        QCOMPARE(test::ShownTitle(w), kBase);
        QCOMPARE(w.PageCounter()->text(), QStringLiteral("page 0 of 0"));
        QCOMPARE(w.TextureCounter()->text(), QStringLiteral("0 of 0"));
        QCOMPARE(w.PageList()->count(), 0);
        QCOMPARE(w.TextureList()->count(), 0);
        QVERIFY(w.RecordTextBox()->toPlainText().isEmpty());
        QVERIFY(w.Canvas()->ComposedPage().isNull());
        QVERIFY(w.Preview()->Piece().isNull());
    }

    std::string ThreeRecordWad(const std::string& name, uint32_t version = 129) {
        return test::WriteWad(dir_->File(name),
                              {TextureRecord{}, MakeRecord(0, 0, 100, 100, 0),
                               MakeRecord(50, 50, 100, 100, 0), MakeRecord(8, 8, 16, 16, 1)},
                              2, version, "tail bytes");
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

    // The colour chooser's custom colours start random, never with a component of 255.
    void customColoursNeverHoldAFullComponent() {
        for (const Colour c : window_->Session().customColours)
            QVERIFY(RedOf(c) != 255 && GreenOf(c) != 255 && BlueOf(c) != 255);
    }

    void aDrawnSelectionShowsWholeInTheRecordText() {
        emit window_->Canvas()->selectionChanged(QRect(100, 105, 150, 140));
        QPlainTextEdit* box = window_->RecordTextBox();
        QVERIFY(box->toPlainText().endsWith(QStringLiteral("Height=140")));
        QApplication::processEvents();
        QTextCursor first(box->document());
        QTextCursor last(box->document());
        last.movePosition(QTextCursor::End);
        // Both ends of the text lie inside what the box shows, without scrolling.
        QVERIFY(box->viewport()->rect().contains(box->cursorRect(first)));
        QVERIFY2(box->viewport()->rect().contains(box->cursorRect(last)),
                 qPrintable(QStringLiteral("%1 in %2x%3")
                                .arg(box->cursorRect(last).bottom())
                                .arg(box->viewport()->width())
                                .arg(box->viewport()->height())));
    }

    void startsWithNothingOpenAndTheTitleInTheBar() {
        CheckShowsNothing();
        MainWindow& w = *window_;
        QCOMPARE(w.ProgressBar()->GetPos(), 50);
        QCOMPARE(w.ProgressBar()->WindowText(), QStringLiteral("DRAW_TITLE"));
        QVERIFY(w.StopButton()->isHidden());
        QVERIFY(!w.PieceAddNewButton()->isHidden());
        QCOMPARE(w.minimumSize(), w.maximumSize());  // fixed size

        QStringList menus;
        for (QAction* a : w.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&Options", "&Help"}));
        QCOMPARE(MenuTexts(w.FileMenu()),
                 QStringList({"&Open", "Open &Recent", "&New", "&Close", "-", "&Import", "-",
                              "&Save", "S&ave As", "-", "&Exit"}));
        QCOMPARE(MenuTexts(w.HelpMenu()), QStringList({"&Check for Update", "-", "&About"}));
        QVERIFY(w.MenuActions().sortByName->isChecked());
        QVERIFY(w.MenuActions().texturesBeingAdded->isChecked());
        QVERIFY(w.MenuActions().showWarnings->isChecked());

        auto* across = w.findChild<QComboBox*>(QStringLiteral("acrossList"));
        QCOMPARE(Items(across), QStringList({"256", "192", "128", "64", "32", "16", "8", "4", "2",
                                             "1", "custom"}));
        QCOMPARE(across->currentText(), QStringLiteral("64"));
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("applyNumbers"))->toolTip(),
                 QStringLiteral("Apply Number Grid To Current Page"));
        // The page is shown at 1:1 above the page buttons.
        QCOMPARE(w.Canvas()->size(), QSize(256, 256));
    }

    void displayMessageNamesShallowModes() {
        QVERIFY(DisplayModeMessage(24).isEmpty());
        QVERIFY(DisplayModeMessage(32).isEmpty());
        QVERIFY(DisplayModeMessage(16).endsWith(QStringLiteral("\"16 bit\" High Color")));
        QVERIFY(DisplayModeMessage(8).endsWith(QStringLiteral("\"8 bit\" 256 Color")));
        QVERIFY(DisplayModeMessage(15).endsWith(QStringLiteral("\"15 bit\" ")));
        QVERIFY(DisplayModeMessage(4).startsWith(
            QStringLiteral("You Need To Change Your Display Mode To 24 bit Color For Best "
                           "Results...\nLet Me Know Of Any Problems You Incounter")));
    }

    void commandLineOpensTheFileAndShowsTextureOne() {
        const std::string path = ThreeRecordWad("level.wad", 130);
        window_->Start({QStringLiteral("pelmora"), Q(path)});
        MainWindow& w = *window_;
        QCOMPARE(test::ShownTitle(w), kBase + QStringLiteral(" - [level.wad] wad version 130"));
        QCOMPARE(Items(w.PageList()), QStringList({"Page 1", "Page 2"}));
        QCOMPARE(w.TextureList()->count(), 4);
        QCOMPARE(w.TextureList()->itemText(3), QStringLiteral("Texture 4"));
        QCOMPARE(w.PageCounter()->text(), QStringLiteral("page 1 of 2"));
        QCOMPARE(w.TextureCounter()->text(), QStringLiteral("1 of 4"));
        QCOMPARE(w.RecordTextBox()->toPlainText(),
                 QStringLiteral("Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0"));
        QCOMPARE(w.Preview()->Piece().size(), QSize(1, 1));
        QVERIFY(!w.Canvas()->ComposedPage().isNull());
        // The first pixel of the file is the top-left pixel of page 1.
        QCOMPARE(w.Canvas()->ComposedPage().pixel(5, 3), qRgb(5, 3, 1));
        QVERIFY(modal_->messages.empty());
    }

    void droppedFilesOpenOnlyTheFirstAndOnlyWadFiles() {
        const std::string upper = ThreeRecordWad("LEVEL.WAD");
        const std::string other = ThreeRecordWad("other.plm");
        test::WriteFile(dir_->File("level.txt"), "text");
        Drop(*window_, {Q(dir_->File("level.txt"))});
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(modal_->messages[0].text, QString::fromLatin1(kWrongExtensionMessage));
        QCOMPARE(test::ShownTitle(*window_), kBase);

        Drop(*window_, {Q(upper), Q(dir_->File("level.txt"))});
        QCOMPARE(test::ShownTitle(*window_),
                 kBase + QStringLiteral(" - [LEVEL.WAD] wad version 129"));
        QCOMPARE(modal_->messages.size(), size_t(1));

        Drop(*window_, {Q(dir_->File("level.txt")), Q(other)});
        QCOMPARE(modal_->messages.size(), size_t(2));
        QCOMPARE(test::ShownTitle(*window_),
                 kBase + QStringLiteral(" - [LEVEL.WAD] wad version 129"));
        QCOMPARE(window_->Session().rememberedWadFolder, DirectoryOf(upper));
    }

    void aFileThatIsNotAWadLeavesNoProjectOpen() {
        window_->OpenFile(Q(ThreeRecordWad("good.wad")));
        test::WriteFile(dir_->File("bad.wad"), std::string("\x05\0\0\0", 4));
        modal_->fileAnswers.push_back({Q(dir_->File("bad.wad"))});
        window_->OpenCommand();
        QCOMPARE(modal_->messages.back().text, QString::fromLatin1(kNotAWadMessage));
        QCOMPARE(test::ShownTitle(*window_), kBase);
        QVERIFY(!window_->CurrentProject().IsOpen());
        // What was shown stays shown; commands that need a project do nothing.
        QCOMPARE(window_->TextureList()->count(), 4);
        window_->SaveCommand();
        QCOMPARE(modal_->messages.size(), size_t(1));
        // The open dialog offered the remembered folder and the WAD filter.
        const auto& question = modal_->fileQuestions.back();
        QCOMPARE(question.request.filters.size(), size_t(1));
        QCOMPARE(question.request.filters[0].description,
                 QStringLiteral("Stonecrypt Wad File (*.wad)"));
        QCOMPARE(question.request.filters[0].patterns, QStringLiteral("*.wad;*.plm"));
        QCOMPARE(QtNameFilters(question.request.filters).front(),
                 QStringLiteral("Stonecrypt Wad File (*.wad) (*.wad *.plm)"));
        // A missing file is reported by the system's words, naming it.
        window_->OpenFile(Q(dir_->File("missing.wad")));
        QVERIFY(modal_->messages.back().text.contains(Q(dir_->File("missing.wad"))));
    }

    void newSaveCloseAndOpenAgain() {
        const std::string path = dir_->File("fresh.plm");
        modal_->fileAnswers.push_back({Q(path)});
        window_->NewCommand();
        MainWindow& w = *window_;
        QCOMPARE(modal_->fileQuestions.back().kind, ScriptedModalUi::FileDialogKind::Save);
        QCOMPARE(modal_->fileQuestions.back().request.defaultSuffix, QStringLiteral("plm"));
        QCOMPARE(test::ShownTitle(w), kBase + QStringLiteral(" - [fresh.plm] wad version PELM"));
        QCOMPARE(Items(w.PageList()), QStringList({"Page 1"}));
        QCOMPARE(Items(w.TextureList()), QStringList({"Texture 1"}));
        QCOMPARE(w.PageCounter()->text(), QStringLiteral("page 1 of 1"));
        QCOMPARE(w.TextureCounter()->text(), QStringLiteral("1 of 1"));
        QVERIFY(!FileExists(path));  // nothing is written before Save

        w.SaveCommand();
        QVERIFY(FileExists(path));

        w.CloseCommand();
        CheckShowsNothing();

        w.OpenFile(Q(path));
        QCOMPARE(test::ShownTitle(w), kBase + QStringLiteral(" - [fresh.plm] wad version PELM"));
        QVERIFY(modal_->messages.empty());

        // Cancelling New changes nothing.
        w.NewCommand();
        QCOMPARE(test::ShownTitle(w), kBase + QStringLiteral(" - [fresh.plm] wad version PELM"));
    }

    void saveAsKeepsTheKindAndProposesItsExtension() {
        const std::string path = ThreeRecordWad("level.wad");
        window_->OpenFile(Q(path));
        const std::string copy = dir_->File("copy.wad");
        modal_->fileAnswers.push_back({Q(copy)});
        window_->SaveAsCommand();
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.filters[0].description, QStringLiteral("Stonecrypt Wad File (*.wad)"));
        QCOMPARE(request.filters[0].patterns, QStringLiteral("*.wad"));
        QCOMPARE(request.proposedName, Q(path));
        QCOMPARE(test::ShownTitle(*window_),
                 kBase + QStringLiteral(" - [copy.wad] wad version 129"));

        // A save that cannot be written says so and leaves the file as it was.
        const std::string before = test::ReadFile(copy);
        modal_->fileAnswers.push_back({Q(dir_->File("no/such/folder/x.wad"))});
        window_->SaveAsCommand();
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(test::ShownTitle(*window_),
                 kBase + QStringLiteral(" - [copy.wad] wad version 129"));
        QCOMPARE(test::ReadFile(copy), before);
    }

    void importNeedsAProjectThenAppendsPagesAndRecords() {
        window_->ImportCommand();
        QCOMPARE(modal_->messages.back().text, QString::fromLatin1(kImportNeedsProjectMessage));
        QVERIFY(modal_->fileQuestions.empty());

        window_->OpenFile(Q(ThreeRecordWad("first.wad")));
        modal_->fileAnswers.push_back({Q(ThreeRecordWad("second.wad"))});
        window_->ImportCommand();
        MainWindow& w = *window_;
        QCOMPARE(w.PageList()->count(), 4);
        QCOMPARE(w.TextureList()->count(), 7);
        QCOMPARE(w.TextureList()->currentIndex(), 6);
        QCOMPARE(w.TextureCounter()->text(), QStringLiteral("7 of 7"));
        // The last imported record was on the second file's page 2, now page 4.
        QCOMPARE(w.PageCounter()->text(), QStringLiteral("page 4 of 4"));
        // The imported pages and records are not in first.wad yet.
        QCOMPARE(test::ShownTitle(w), kBase + QStringLiteral(" - [first.wad*] wad version 129"));
    }

    void clickingAnOverlapSelectsTheLowerRecord() {
        window_->OpenFile(Q(ThreeRecordWad("level.wad")));
        MainWindow& w = *window_;
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {75, 75});
        QCOMPARE(w.TextureList()->currentIndex(), 1);
        QCOMPARE(w.RecordTextBox()->toPlainText(),
                 QStringLiteral("Page=1, X=0, Y=0, Width=100, Height=100, FlipX=-1, FlipY=-1"));
        QCOMPARE(w.Preview()->Piece().size(), QSize(100, 100));
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {120, 120});
        QCOMPARE(w.TextureList()->currentIndex(), 2);
        QCOMPARE(w.TextureCounter()->text(), QStringLiteral("3 of 4"));
        // Right and bottom edges lie outside; a click on nothing keeps the selection.
        const std::pair<QPoint, int> clicks[] = {
            {{0, 0}, 0}, {{100, 10}, 0}, {{10, 100}, 0}, {{99, 99}, 1}};
        for (const auto& [at, selected] : clicks) {
            Mouse(w.Canvas(), QEvent::MouseButtonPress, at);
            QCOMPARE(w.TextureList()->currentIndex(), selected);
        }

        // Choosing page 2 shows its record; clicking it shows that page's texture.
        w.PageList()->setCurrentIndex(1);
        w.RedrawCurrentPage();
        QCOMPARE(w.PageCounter()->text(), QStringLiteral("page 2 of 2"));
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {10, 10});
        QCOMPARE(w.TextureList()->currentIndex(), 3);
    }

    void drawingOnThePageMakesANewRecord() {
        window_->OpenFile(Q(ThreeRecordWad("level.wad")));
        MainWindow& w = *window_;
        for (QCheckBox* box : w.findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("Draw")) box->setChecked(true);
        QVERIFY(w.Canvas()->DrawMode());
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {200, 180});
        Mouse(w.Canvas(), QEvent::MouseMove, {120, 100});
        QCOMPARE(w.RecordTextBox()->toPlainText(),
                 QStringLiteral("Selection: Left=120, Top=100, Right=200, Bottom=180, Width=80, "
                                "Height=80"));
        Mouse(w.Canvas(), QEvent::MouseButtonRelease, {120, 100});
        QCOMPARE(w.TextureList()->count(), 5);
        QTRY_COMPARE(
            w.RecordTextBox()->toPlainText(),
            QStringLiteral("Page=1, X=120, Y=100, Width=80, Height=80, FlipX=-1, FlipY=-1"));
        QCOMPARE(w.TextureList()->currentIndex(), 4);
    }

    void applyingNumbersPaintsThemIntoThePage() {
        modal_->fileAnswers.push_back({Q(dir_->File("n.plm"))});
        window_->NewCommand();
        const Colour cyan = window_->Options().numberColour;
        auto cyanPixels = [&] {
            int n = 0;
            const Image page = *window_->CurrentProject().pages.GetBitmap(0);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) n += page.PixelAt(x, y) == cyan;
            return n;
        };
        QCOMPARE(cyanPixels(), 0);
        window_->findChild<QPushButton*>(QStringLiteral("applyNumbers"))->click();
        QVERIFY(cyanPixels() > 16 * 5);
    }

    void listKeysDoNotJumpToEntriesAndEscapeCloses() {
        window_->OpenFile(Q(ThreeRecordWad("level.wad")));
        QComboBox* pages = window_->PageList();
        pages->setCurrentIndex(1);
        QTest::keyClick(pages, Qt::Key_P);
        QCOMPARE(pages->currentIndex(), 1);
        QComboBox* textures = window_->TextureList();
        textures->setCurrentIndex(2);
        QTest::keyClick(textures, Qt::Key_T);
        QCOMPARE(textures->currentIndex(), 2);

        // Escape closes the window when nothing is under way.
        QVERIFY(window_->isVisible());
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
        QVERIFY(modal_->messages.empty());
    }
};

PELMORA_UI_TEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
