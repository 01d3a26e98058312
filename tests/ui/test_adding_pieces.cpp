// Texture Pieces > Add New: the worker, the working state, Stop and the close guard.
#include "ui/add_pieces_job.h"
#include "ui_test_support.h"

class AddingPiecesTest : public test::WindowTest {
    Q_OBJECT

    QStringList MakeImages(int count, int size, const QString& prefix = QStringLiteral("img")) {
        QStringList files;
        for (int i = 1; i <= count; ++i) {
            const std::string path =
                dir_->File(QStringLiteral("%1%2.png").arg(prefix).arg(i).toStdString());
            test::WritePng(path, size, size, MakeColour(uint8_t(i * 20), 100, 200));
            files << test::Q(path);
        }
        return files;
    }

    void NewProject() { Answering(File("pieces.plm"), &MainWindow::NewCommand); }
    // Adds these files and waits for the worker to end.
    void Add(const QStringList& files) {
        modal_->fileAnswers.push_back(files);
        window_->AddNewPiecesCommand();
        QTRY_VERIFY(!window_->IsWorking());
    }

    void CheckLocked(bool locked) {
        MainWindow& w = *window_;
        QCOMPARE(w.IsWorking(), locked);
        for (QMenu* menu : {w.FileMenu(), w.EditMenu()})
            QCOMPARE(menu->menuAction()->isEnabled(), !locked);
        QVERIFY(w.OptionsMenu()->menuAction()->isEnabled() &&
                w.HelpMenu()->menuAction()->isEnabled());
        QCOMPARE(w.StopButton()->isHidden(), !locked);
        QCOMPARE(w.PieceAddNewButton()->isHidden(), locked);
        for (QWidget* list : {w.PageList(), w.TextureList()}) QCOMPARE(list->isEnabled(), !locked);
        // The file and clipboard keys would reach past the disabled menu.
        std::vector<QAction*> keyed = w.ClipboardActions();
        keyed.insert(keyed.end(),
                     {w.MenuActions().newPageColour, w.MenuActions().save, w.MenuActions().open});
        for (QAction* a : keyed) QCOMPARE(a->isEnabled(), !locked);
        if (locked) {
            for (QWidget* control : w.ConflictingControls()) QVERIFY(!control->isEnabled());
            QVERIFY(!w.Commands().Action("undo")->isEnabled());
        }
    }

private slots:
    void piecesAreAddedOnAWorkerWhileTheWindowIsLocked() {
        NewProject();
        const QStringList files = MakeImages(3, 128);
        modal_->fileAnswers.push_back({files[2], files[0], files[1]});
        QStringList texts;
        connect(window_->Job(), &AddPiecesJob::progressed, this,
                [&] { texts << window_->ProgressBar()->WindowText(); });
        window_->AddNewPiecesCommand();
        // The command returns at once; the worker waits at its first hand-over until this
        // thread runs its event loop again.
        CheckLocked(true);
        const auto& question = modal_->fileQuestions.back();
        QCOMPARE(question.kind, ScriptedModalUi::FileDialogKind::OpenMany);
        QCOMPARE(question.request.title, QString::fromLatin1(kAddPiecesDialogTitle));
        // Closing is refused, by the close box and by Escape alike.
        QVERIFY(!window_->close());
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(window_->isVisible());
        QCOMPARE(Messages(), QStringList(2, QString::fromLatin1(kBusyMessage)));
        QTRY_VERIFY(!window_->IsWorking());
        CheckLocked(false);
        MainWindow& w = *window_;
        QCOMPARE(Counters().back(), QStringLiteral("4 of 4"));
        // The bar shows the worker's titles; their wording is the adding core's test's.
        QVERIFY(texts.size() == 3 && texts[2].startsWith("Adding Texture 3 of 3"));
        // The bar runs down to nothing afterwards, and the window may close again.
        QTRY_VERIFY(w.ProgressBar()->GetPos() == 0 && w.ProgressBar()->WindowText().isEmpty() &&
                    !w.ProgressBar()->IsRunningDown());
        QCOMPARE(w.RememberedPieceFolder(), DirectoryOf(files[0].toStdString()));
        // The whole run is one unsaved step.
        QVERIFY(w.IsModified());
        QCOMPARE(w.Commands().Action("undo")->text(), QStringLiteral("&Undo Add Pieces"));
        w.Commands().Action("undo")->trigger();
        QCOMPARE(w.TextureList()->count(), 1);
        modal_->answers.push_back(QMessageBox::Discard);
        QVERIFY(w.close());
    }

    void stopEndsTheWorkAtItsNextCheck() {
        NewProject();
        modal_->fileAnswers.push_back(MakeImages(40, 64));
        window_->AddNewPiecesCommand();
        window_->StopButton()->click();
        QTRY_VERIFY(!window_->IsWorking());
        CheckLocked(false);
        // At most the piece under way when Stop came is added.
        QVERIFY(window_->Job()->Result().stopped && window_->CurrentProject().RecordCount() <= 2);
        // What a stopped run added is an unsaved change.
        QCOMPARE(window_->IsModified(), window_->CurrentProject().RecordCount() > 1);
        QCOMPARE(window_->TextureList()->count(), window_->CurrentProject().RecordCount());
    }

    void withoutAProjectOrFilesNothingIsAdded() {
        window_->AddNewPiecesCommand();
        QVERIFY(!window_->IsWorking() && modal_->fileQuestions.empty());
        // A cancelled chooser unlocks at once.
        NewProject();
        window_->AddNewPiecesCommand();
        CheckLocked(false);
        QVERIFY(window_->ProgressBar()->IsRunningDown());
        QCOMPARE(window_->CurrentProject().RecordCount(), 1);
    }

    void manyFailuresCanBeLetGoAndAreListedAtTheEnd() {
        NewProject();
        QStringList files = MakeImages(1, 16);
        for (const char* name : {"bad1.png", "bad2.png", "bad3.png"}) {
            test::WriteFile(dir_->File(name), "not an image");
            files << File(name);
        }
        modal_->answers.push_back(QMessageBox::No);  // the second box: stop showing them
        Add(files);
        QCOMPARE(modal_->questions.size(), size_t(1));
        QVERIFY(modal_->questions[0].startsWith("Failed To Load Image...\n") &&
                modal_->questions[0].contains("bad2.png"));
        QCOMPARE(Messages().size(), 2);
        QVERIFY(Messages()[0].contains("bad1.png"));
        QCOMPARE(Told(), QStringLiteral("3 of 4 images were not added:\n%1\n%2\n%3")
                             .arg(files[1], files[2], files[3]));
        QCOMPARE(window_->CurrentProject().RecordCount(), 2);
    }

    void addFolderAddsEveryImageInsideIt() {
        NewProject();
        QVERIFY(QDir().mkpath(File("icons")));
        test::WritePng(dir_->File("icons/a.png"), 8, 8, MakeColour(1, 2, 3));
        test::WritePng(dir_->File("icons/b.PNG"), 8, 8, MakeColour(1, 2, 3));
        modal_->folders.push_back(File("icons"));
        Trigger({"&Edit", "&Texture Pieces", "Add &Folder..."});
        QTRY_VERIFY(!window_->IsWorking());
        QVERIFY(window_->TextureList()->count() == 3 && modal_->messages.empty());
    }

    void theListsFollowEachPieceAndTheViewOptionActsAtOnce() {
        NewProject();
        window_->MenuActions().texturesBeingAdded->trigger();
        QVERIFY(!window_->ShowTexturesBeingAdded());
        const QString before = Text();
        QStringList seen;
        connect(window_->Job(), &AddPiecesJob::piecePlaced, this, [&] {
            seen << QStringLiteral("%1 %2 %3: %4")
                        .arg(window_->PageList()->count())
                        .arg(window_->TextureList()->count())
                        .arg(window_->TextureList()->currentIndex())
                        .arg(Text());
            // Switched on during the run: the next piece is shown.
            if (seen.size() == 1) window_->MenuActions().texturesBeingAdded->trigger();
        });
        Add(MakeImages(2, 200));
        QCOMPARE(seen, QStringList({"1 2 1: " + before,
                                    "2 3 2: Page=2, X=0, Y=0, Width=200, Height=200, FlipX=-1, "
                                    "FlipY=-1"}));
        // Not shown while added, the last one is shown at the end: the largest file goes first
        // (by name it would go last), so the small one.
        window_->MenuActions().texturesBeingAdded->trigger();
        window_->MenuActions().sortBySizeDescending->trigger();
        QVERIFY(!window_->MenuActions().sortByName->isChecked());
        Add(MakeImages(1, 16, QStringLiteral("a")) + MakeImages(1, 200, QStringLiteral("b")));
        QTRY_COMPARE(Text(),
                     QStringLiteral("Page=1, X=200, Y=0, Width=16, Height=16, FlipX=-1, FlipY=-1"));
        QCOMPARE(window_->Preview()->Piece().size(), QSize(16, 16));
    }

    void theWindowKeepsDrawingWhileTheWorkerRuns() {
        NewProject();
        window_->SetShowTexturesBeingAdded(false);
        modal_->fileAnswers.push_back(MakeImages(60, 48));
        window_->AddNewPiecesCommand();
        QComboBox* across = window_->AcrossList();
        int redraws = 0;
        while (window_->IsWorking()) {
            // What stays usable while working: the grid, the view options, the page shown.
            across->setCurrentIndex(redraws % 4);
            emit across->activated(across->currentIndex());
            window_->ShowSelectedTexture();
            QApplication::processEvents();
            ++redraws;
        }
        QVERIFY(redraws > 0);
        QTRY_COMPARE(Counters().back(), QStringLiteral("61 of 61"));
    }

    void destroyingTheWindowStopsTheWorker() {
        NewProject();
        modal_->fileAnswers.push_back(MakeImages(20, 64));
        window_->AddNewPiecesCommand();
        window_.reset();  // must neither hang nor touch a project that is gone
    }
};

PELMORA_UI_TEST_MAIN(AddingPiecesTest)
#include "test_adding_pieces.moc"
