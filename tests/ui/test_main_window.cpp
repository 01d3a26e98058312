// The main window's start-up, file commands, dropped files, page interaction and update check.
#include "base/file_util.h"
#include "ui_test_support.h"
#include "update/local_http_server.h"
#include "update/update_check.h"

namespace {

const QString kBase = QStringLiteral("Pelmora v1.0.6.6 (by Brell)");

QString TitleOf(const char* file) {
    return kBase + QStringLiteral(" - [%1] wad version ").arg(QLatin1String(file));
}

}  // namespace

class MainWindowTest : public test::WindowTest {
    Q_OBJECT

    // What the window shows with nothing open, at start-up and after Close.
    void CheckShowsNothing() {
        MainWindow& w = *window_;
        QCOMPARE(Counters() << Title() << Text(),
                 QStringList({"page 0 of 0", "0 of 0", kBase, ""}));
        QCOMPARE(w.PageList()->count() + w.TextureList()->count(), 0);
        QVERIFY(w.Canvas()->ComposedPage().isNull() && w.Preview()->Piece().isNull());
    }
    QString ThreeRecordWad(const std::string& name, uint32_t version = 129) {
        return Q(test::WriteWad(dir_->File(name),
                                {TextureRecord{}, MakeRecord(0, 0, 100, 100, 0),
                                 MakeRecord(50, 50, 100, 100, 0), MakeRecord(8, 8, 16, 16, 1)},
                                2, version, "tail bytes"));
    }

private slots:
    void cleanup() {
        StopWindow();
        qunsetenv(kUpdateSiteVariable);
    }

    void startsWithNothingOpenAndTheTitleInTheBar() {
        CheckShowsNothing();
        MainWindow& w = *window_;
        QCOMPARE(w.ProgressBar()->WindowText(), QStringLiteral("DRAW_TITLE"));
        QVERIFY(w.StopButton()->isHidden() && !w.PieceAddNewButton()->isHidden());
        QCOMPARE(w.minimumSize(), w.maximumSize());  // fixed size
        // The menu bar, then the File and Help menus.
        QCOMPARE(MenuTexts(w.menuBar()) + MenuTexts(w.FileMenu()) + MenuTexts(w.HelpMenu()),
                 QStringList({"&File", "&Edit", "&Options", "&Help", "&Open", "Open &Recent",
                              "&New", "&Close", "-", "&Import", "-", "&Save", "S&ave As", "-",
                              "&Exit", "&Check for Update", "-", "&About"}));
        QVERIFY(w.MenuActions().sortByName->isChecked() &&
                w.MenuActions().showWarnings->isChecked());
        QCOMPARE(Items(w.AcrossList()), QStringList({"256", "192", "128", "64", "32", "16", "8",
                                                     "4", "2", "1", "custom"}));
        // Shallow display modes are named to the user.
        QVERIFY(DisplayModeMessage(24).isEmpty() && DisplayModeMessage(32).isEmpty());
        QVERIFY(DisplayModeMessage(8).endsWith(QStringLiteral("\"8 bit\" 256 Color")));
    }

    void aDrawnSelectionShowsWholeInTheRecordText() {
        emit window_->Canvas()->selectionChanged(QRect(100, 105, 150, 140));
        QPlainTextEdit* box = window_->RecordTextBox();
        QVERIFY(Text().endsWith(QStringLiteral("Height=140")));
        QApplication::processEvents();
        QTextCursor last(box->document());
        last.movePosition(QTextCursor::End);
        // Both ends of the text lie inside what the box shows, without scrolling.
        QVERIFY(box->viewport()->rect().contains(box->cursorRect(QTextCursor(box->document()))));
        QVERIFY(box->viewport()->rect().contains(box->cursorRect(last)));
    }

    void commandLineOpensTheFileAndShowsTextureOne() {
        window_->Start({QStringLiteral("pelmora"), ThreeRecordWad("level.wad", 130)});
        MainWindow& w = *window_;
        QCOMPARE(Title(), TitleOf("level.wad") + "130");
        QCOMPARE(Items(w.PageList()) << w.TextureList()->itemText(3) << Counters() << Text(),
                 QStringList({"Page 1", "Page 2", "Texture 4", "page 1 of 2", "1 of 4",
                              "Page=1, X=0, Y=0, Width=1, Height=1, FlipX=0, FlipY=0"}));
        QCOMPARE(w.Preview()->Piece().size(), QSize(1, 1));
        QVERIFY(!w.Canvas()->ComposedPage().isNull() && modal_->messages.empty());
    }

    void droppedFilesOpenOnlyTheFirstAndOnlyWadFiles() {
        const QString upper = ThreeRecordWad("LEVEL.WAD");
        const QString text = File("level.txt");
        test::WriteFile(text.toStdString(), "text");
        test::Drop(window_.get(), {text});
        QCOMPARE(Messages(), QStringList{QString::fromLatin1(kWrongExtensionMessage)});
        QCOMPARE(Title(), kBase);
        test::Drop(window_.get(), {upper, text});
        auto check = [&](int told) {
            QCOMPARE(Title(), TitleOf("LEVEL.WAD") + "129");
            QCOMPARE(Messages().size(), told);
        };
        check(1);
        test::Drop(window_.get(), {text, ThreeRecordWad("other.plm")});
        check(2);
        QCOMPARE(window_->Session().rememberedWadFolder, DirectoryOf(upper.toStdString()));
    }

    void aFileThatIsNotAWadLeavesNoProjectOpen() {
        window_->OpenFile(ThreeRecordWad("good.wad"));
        test::WriteFile(dir_->File("bad.wad"), std::string("\x05\0\0\0", 4));
        Answering(File("bad.wad"), &MainWindow::OpenCommand);
        QCOMPARE(Told(), QString::fromLatin1(kNotAWadMessage));
        QCOMPARE(Title(), kBase);
        // What was shown stays shown; commands that need a project do nothing.
        QVERIFY(!window_->CurrentProject().IsOpen() && window_->TextureList()->count() == 4);
        window_->SaveCommand();
        QCOMPARE(Messages().size(), 1);
        // The open dialog offered the WAD filter.
        QCOMPARE(QtNameFilters(modal_->fileQuestions.back().request.filters),
                 QStringList{QStringLiteral("Stonecrypt Wad File (*.wad) (*.wad *.plm)")});
        // A missing file is reported by the system's words, naming it.
        window_->OpenFile(File("missing.wad"));
        QVERIFY(Told().contains(File("missing.wad")));
    }

    void newSaveCloseOpenAgainAndApplyNumbers() {
        const QString path = File("fresh.plm");
        Answering(path, &MainWindow::NewCommand);
        MainWindow& w = *window_;
        QCOMPARE(modal_->fileQuestions.back().kind, ScriptedModalUi::FileDialogKind::Save);
        const QString fresh = TitleOf("fresh.plm") + "PELM";
        QCOMPARE(QStringList({modal_->fileQuestions.back().request.defaultSuffix, Title(),
                              Counters().back()}),
                 QStringList({"plm", fresh, "1 of 1"}));
        QVERIFY(!FileExists(path.toStdString()));  // nothing is written before Save
        w.SaveCommand();
        QVERIFY(FileExists(path.toStdString()));
        w.CloseCommand();
        CheckShowsNothing();
        w.OpenFile(path);
        w.NewCommand();  // cancelled: nothing changes
        QCOMPARE(Title(), fresh);
        QVERIFY(modal_->messages.empty());
        // Apply Numbers changes the page and marks the project.
        const Image before = *window_->CurrentProject().pages.GetBitmap(0);
        Button("applyNumbers")->click();
        QVERIFY(!(*window_->CurrentProject().pages.GetBitmap(0) == before) && w.IsModified());
    }

    void saveAsKeepsTheKindAndProposesItsExtension() {
        const QString path = ThreeRecordWad("level.wad");
        window_->OpenFile(path);
        Answering(File("copy.wad"), &MainWindow::SaveAsCommand);
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(QStringList({QtNameFilters(request.filters).front(), request.proposedName}),
                 QStringList({"Stonecrypt Wad File (*.wad) (*.wad)", path}));
        // A save that cannot be written says so and keeps the project where it was.
        for (int told : {0, 1}) {
            QCOMPARE(Messages().size(), told);
            QCOMPARE(Title(), TitleOf("copy.wad") + "129");
            Answering(File("no/such/folder/x.wad"), &MainWindow::SaveAsCommand);
        }
    }

    void importNeedsAProjectThenAppendsPagesAndRecords() {
        window_->ImportCommand();
        QCOMPARE(Told(), QString::fromLatin1(kImportNeedsProjectMessage));
        QVERIFY(modal_->fileQuestions.empty());
        window_->OpenFile(ThreeRecordWad("first.wad"));
        Answering(ThreeRecordWad("second.wad"), &MainWindow::ImportCommand);
        MainWindow& w = *window_;
        QCOMPARE(w.TextureList()->currentIndex(), 6);
        // The last imported record was on the second file's page 2, now page 4.
        QCOMPARE(Counters() << Title(),
                 QStringList({"page 4 of 4", "7 of 7", TitleOf("first.wad*") + "129"}));
    }

    void clickingAnOverlapSelectsTheLowerRecord() {
        window_->OpenFile(ThreeRecordWad("level.wad"));
        MainWindow& w = *window_;
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {75, 75});
        QCOMPARE(Text(),
                 QStringLiteral("Page=1, X=0, Y=0, Width=100, Height=100, FlipX=-1, FlipY=-1"));
        QCOMPARE(w.Preview()->Piece().size(), QSize(100, 100));
        // Right and bottom edges lie outside; a click on nothing keeps the selection.
        const std::pair<QPoint, int> clicks[] = {{{75, 75}, 1},  {{120, 120}, 2}, {{0, 0}, 0},
                                                 {{100, 10}, 0}, {{10, 100}, 0},  {{99, 99}, 1}};
        for (const auto& [at, selected] : clicks) {
            Mouse(w.Canvas(), QEvent::MouseButtonPress, at);
            QCOMPARE(w.TextureList()->currentIndex(), selected);
        }
        QCOMPARE(Counters().back(), QStringLiteral("2 of 4"));
        // Choosing page 2 shows its record; clicking it shows that page's texture.
        w.PageList()->setCurrentIndex(1);
        w.RedrawCurrentPage();
        QCOMPARE(Counters().front(), QStringLiteral("page 2 of 2"));
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {10, 10});
        QCOMPARE(w.TextureList()->currentIndex(), 3);
    }

    void drawingOnThePageMakesANewRecord() {
        window_->OpenFile(ThreeRecordWad("level.wad"));
        MainWindow& w = *window_;
        w.DrawBox()->setChecked(true);
        Mouse(w.Canvas(), QEvent::MouseButtonPress, {200, 180});
        Mouse(w.Canvas(), QEvent::MouseMove, {120, 100});
        QCOMPARE(Text(), QStringLiteral("Selection: Left=120, Top=100, Right=200, Bottom=180, "
                                        "Width=80, Height=80"));
        Mouse(w.Canvas(), QEvent::MouseButtonRelease, {120, 100});
        QCOMPARE(w.TextureList()->count(), 5);
        QTRY_COMPARE(Text(), QStringLiteral(
                                 "Page=1, X=120, Y=100, Width=80, Height=80, FlipX=-1, FlipY=-1"));
        QCOMPARE(w.TextureList()->currentIndex(), 4);
    }

    void listKeysDoNotJumpToEntriesAndEscapeCloses() {
        window_->OpenFile(ThreeRecordWad("level.wad"));
        for (QComboBox* list : {window_->PageList(), window_->TextureList()}) {
            list->setCurrentIndex(1);
            QTest::keyClick(list, Qt::Key_P);
            QTest::keyClick(list, Qt::Key_T);
            QCOMPARE(list->currentIndex(), 1);
        }
        // Escape closes the window when nothing is under way, unchanged without a question.
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible() && modal_->messages.empty() && modal_->questions.empty());
    }

    // Help > Check for Update: what it asks and shows; the check's own cases are the update
    // module's tests'.
    void updateCheckDecliningOrAFailingBrowserEndsWithItsMessage() {
        test::LocalHttpServer server(test::LocalHttpServer::Body("99.0\r\n"));
        const QString site = Q(server.Base());
        qputenv(kUpdateSiteVariable, site.toUtf8());
        const QStringList item{"&Help", "&Check for Update"};
        modal_->answers.push_back(QMessageBox::No);
        Trigger(item);
        QCOMPARE(modal_->questions, std::vector<QString>{QStringLiteral(
                                        "Would you like update Pelmora v" PELMORA_VERSION
                                        " to v99.0,\nClick yes to visit download "
                                        "site...")});
        QCOMPARE(Messages(), QStringList{QStringLiteral("Update Not Complete")});
        QVERIFY(modal_->shellOpened.empty() && !QApplication::overrideCursor());
        modal_->answers.push_back(QMessageBox::Yes);
        modal_->shellOpens = false;
        Trigger(item);
        QCOMPARE(modal_->shellOpened, std::vector<QString>{site + "pelmora.htm#new_version"});
        QCOMPARE(Messages().mid(1), QStringList({"Unable to open browser... try to visit " + site +
                                                     "pelmora.htm on your own",
                                                 "File Download Failure"}));
    }
};

PELMORA_UI_TEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
