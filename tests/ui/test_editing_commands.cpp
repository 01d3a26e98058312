// The editing and clipboard commands as the window runs them: what it asks first, what it shows
// after; Undo and Redo; the CPU priority items. What each edit does is the core's business.
#include <unistd.h>

#include "records/records_file.h"
#include "ui_test_support.h"

class EditingCommandsTest : public test::WindowTest {
    Q_OBJECT

    // The button is clicked with these answers queued: the question's, then the file chooser's.
    void Click(const char* button, std::optional<QMessageBox::StandardButton> answer = {},
               const QString& file = {}) {
        if (answer) modal_->answers.push_back(*answer);
        if (!file.isEmpty()) modal_->fileAnswers.push_back({file});
        Button(button)->click();
    }
    int Count() const { return window_->TextureList()->count(); }
    QAction* Undo() const { return window_->Commands().Action("undo"); }
    QAction* Redo() const { return window_->Commands().Action("redo"); }
    void OpenThree() {
        Open({TextureRecord{}, MakeRecord(16, 16, 8, 8, 0), MakeRecord(0, 0, 8, 8, 0)}, 1);
        Select(1);
    }

    enum { kCopyPage, kCopyTexture, kPastePage, kPasteTexture };
    void Run(int command) { window_->ClipboardActions().at(command)->trigger(); }
    Image Page(int index) { return *window_->CurrentProject().pages.GetBitmap(index); }
    static QClipboard* Clipboard() { return QGuiApplication::clipboard(); }
    std::vector<bool> PriorityChecks() {
        std::vector<bool> checks;
        for (QAction* action : window_->CpuPriorityActions()) checks.push_back(action->isChecked());
        return checks;
    }

private slots:
    void deletingAsksFirstThenRefreshesTheLists() {
        Open({TextureRecord{}, MakeRecord(10, 0, 8, 8, 0), MakeRecord(16, 16, 8, 8, 0),
              MakeRecord(0, 0, 8, 8, 2), MakeRecord(0, 0, 8, 8, 3), MakeRecord(0, 0, 8, 8, 4)},
             5);
        Select(1);
        Click("recordDelete", QMessageBox::Cancel);
        QCOMPARE(modal_->questions,
                 std::vector<QString>({QString::fromLatin1(kRetextureWarningText)}));
        QCOMPARE(Count(), 6);
        Click("recordDelete", QMessageBox::Ok);
        QCOMPARE(Items(window_->TextureList()),
                 QStringList({"Texture 1", "Texture 2", "Texture 3", "Texture 4", "Texture 5"}));
        Select(0);
        Click("recordDelete", QMessageBox::Ok);  // refused, and said so
        QCOMPARE(Messages().size(), 1);
        Select(1);
        Click("pieceDelete", QMessageBox::Ok);
        QCOMPARE(Count(), 4);
        window_->PageList()->setCurrentIndex(2);
        Click("pageDelete", QMessageBox::Ok);
        QCOMPARE(Items(window_->PageList()), QStringList({"Page 1", "Page 2", "Page 3", "Page 4"}));
        QCOMPARE(Counters(), QStringList({"page 4 of 4", "3 of 3"}));
        // Without warnings nothing is asked.
        window_->MenuActions().showWarnings->trigger();
        Click("recordDelete");
        QCOMPARE(modal_->questions.size(), size_t(5));
        QCOMPARE(Count(), 2);
    }

    void recordsFromTheGridFollowTheGridLists() {
        Open({TextureRecord{}}, 2);
        window_->PageList()->setCurrentIndex(1);
        test::Choose(window_->AcrossList(), QStringLiteral("192"));
        test::Choose(window_->DownList(), QStringLiteral("128"));
        window_->AddRecordsFromGridCommand();
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(0, 0, 192, 128, 1));
        QCOMPARE(Counters().back(), QStringLiteral("5 of 5"));
    }

    void recordsGoOutToAFileAndComeBack() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 1)}, 2);
        const QString file = File("saved.rec");
        Click("recordsExport", {}, file);
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(QStringList({request.proposedName, request.filters[0].description,
                              request.filters[1].description}),
                 QStringList({"level.rec", "Pelmora Texture Records(*.rec)", "JSON (*.json)"}));
        // Append (No) is offered the page count as its shift.
        Click("recordsImport", QMessageBox::No, file);
        QCOMPARE(modal_->shiftPresets, std::vector<int>({2}));
        QCOMPARE(modal_->questions.back(), QString::fromLatin1(kImportRecordsQuestion));
        QCOMPARE(window_->ShownRecords().at(4), MakeRecord(5, 6, 7, 8, 3));
        QCOMPARE(window_->TextureList()->currentIndex(), 0);
        // Overwrite (Yes); then Cancel imports nothing.
        for (auto answer : {QMessageBox::Yes, QMessageBox::Cancel}) {
            Click("recordsImport", answer, file);
            QCOMPARE(Count(), 3);
        }
        // A file of another kind is refused before the question.
        test::WriteFile(dir_->File("other.rec"), "hello\r\n");
        Click("recordsImport", {}, File("other.rec"));
        QCOMPARE(modal_->questions.size(), size_t(3));
        QCOMPARE(Told(), QString::fromLatin1(kNotARecordsFileMessage));
    }

    void duplicatesAreReportedThenRemovedOnRequest() {
        const TextureRecord a = MakeRecord(4, 4, 8, 8, 0);
        const TextureRecord b = MakeRecord(40, 4, 8, 8, 0);
        Open({a, a, MakeRecord(20, 20, 8, 8, 0), b, b}, 1);
        // The report's usual place is shared by every Pelmora process on the machine (and each one
        // removes it when it ends); the test keeps its own.
        const std::string report = dir_->File("duplicates.txt");
        window_->Session().duplicateList.path = report;
        modal_->answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok};
        Click("check");
        // The report's text is DuplicateCheckTest's; the window opens it and asks.
        QCOMPARE(modal_->shellOpened, std::vector<QString>({test::Q(report)}));
        QCOMPARE(modal_->questions.size(), size_t(3));
        QCOMPARE(Count(), 3);
        // Nothing found: the report is still written and opened, and nothing more is asked.
        modal_->shellOpens = false;
        Click("check", QMessageBox::Yes);
        QCOMPARE(modal_->questions.size(), size_t(4));
        QCOMPARE(Told(), QStringLiteral("Unable to Open file ") + test::Q(report));
    }

    void aMissingPageIsToldOnceAndNotAfterSorting() {
        const TextureRecord missing = MakeRecord(0, 0, 8, 8, 4);
        const TextureRecord a = MakeRecord(0, 0, 8, 8, 0);
        Open({missing, a, a}, 1);
        window_->Session().duplicateList.path = dir_->File("duplicates.txt");
        auto toldOnce = [&] {
            QCOMPARE(Messages(), QStringList{"You need to add 4 more pages before texture 1 is "
                                             "selectable"});
            QCOMPARE(modal_->messages[0].caption, QStringLiteral("Error!"));
            modal_->messages.clear();
        };
        Click("recordsExport", {}, File("missing.rec"));
        modal_->messages.clear();
        Click("recordsImport", QMessageBox::Yes, File("missing.rec"));
        toldOnce();
        modal_->answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok};
        Click("check");
        toldOnce();
        // Sorting asks first; declined, its dialog is not even shown. The sort then moves the
        // selected entry onto a record whose page is missing: no message.
        Open({a, missing, a}, 1);
        Select(2);
        modal_->messages.clear();
        modal_->sortOrders = {0, 0};
        Click("sort", QMessageBox::Cancel);
        QCOMPARE(modal_->sortOrders.size(), size_t(2));
        Click("sort", QMessageBox::Ok);
        QCOMPARE(window_->ShownRecords()[2], missing);
        QVERIFY(modal_->messages.empty());
    }

    void pagesAndPiecesComeInFromImageFilesAndGoOut() {
        Open({TextureRecord{}, MakeRecord(16, 16, 64, 32, 1)}, 2);
        test::WritePng(dir_->File("red.png"), 512, 128, MakeColour(255, 0, 0));
        window_->PageList()->setCurrentIndex(0);
        Click("pageImport", {}, File("red.png"));
        QCOMPARE(window_->Canvas()->ComposedPage().pixel(200, 200), qRgb(255, 0, 0));
        Select(1);
        Click("pieceImport", {}, File("red.png"));
        QCOMPARE(window_->Preview()->Piece().pixel(63, 31), qRgb(255, 0, 0));
        // The box says which file and why below its usual first line.
        test::WriteFile(dir_->File("broken.png"), "not an image");
        Click("pieceImport", {}, File("broken.png"));
        QCOMPARE(Told(),
                 test::Q(FailedToLoadImageText(dir_->File("broken.png") +
                                               " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file")));
        window_->PageList()->setCurrentIndex(1);
        Click("pageExport", {}, File("page.raw"));
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.proposedName + request.defaultSuffix, QStringLiteral("Page2bmp"));
        // The page shown is the one written (its bytes are the single-image core's test's).
        QCOMPARE(test::ReadFile(dir_->File("page.raw")).substr(0, 3), std::string("\0\0\x02", 3));
        Select(1);
        modal_->jpegQualities.push_back(40);
        Click("pieceExport", {}, File("piece.JPG"));
        QCOMPARE(modal_->fileQuestions.back().request.proposedName, QStringLiteral("Texture2"));
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100}));
        QCOMPARE(window_->JpegQuality(), 40);
        // A file that cannot be written is said so, not passed over in silence.
        modal_->messages.clear();
        Click("pieceExport", {}, File("no/such/dir/p.png"));
        QCOMPARE(modal_->messages.size(), size_t(1));
    }

    void newPagesComeFromTheDialogAndARecordCanInsistOnOne() {
        Open({TextureRecord{}}, 1);
        modal_->newPages.push_back(NewPageOptions{.count = 3, .imagePath = {}});
        Click("pageAddNew");
        QCOMPARE(Counters().front(), QStringLiteral("page 4 of 4"));
        Click("pageAddNew");  // declined while no page is required: nothing is said
        QCOMPARE(window_->PageList()->count(), 4);
        QVERIFY(modal_->messages.empty());
        modal_->recordAnswers.push_back(  // "Add Page"
            RecordFields{.x = 250, .width = 10, .height = 20, .newPage = true});
        modal_->newPages = {std::nullopt, NewPageOptions{}};  // declined once, then accepted
        Click("recordAddNew");
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Add Texture  Record 2"));
        QVERIFY(modal_->recordQuestions.back().newPage);
        QCOMPARE(modal_->newPageDialogs, 4);
        QCOMPARE(Told(), QString::fromLatin1(kMustClickYesMessage));
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(250, 0, 6, 20, 4));
        QCOMPARE(Counters(), QStringList({"page 5 of 5", "2 of 2"}));
    }

    void editingKeepsTheRecordInItsPlace() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 0)}, 1);
        Click("recordEdit");
        QCOMPARE(Told(), QStringLiteral("Texture 1 should not be edited..."));
        QVERIFY(modal_->recordQuestions.empty());
        Select(1);
        modal_->recordAnswers.push_back(RecordFields{.x = 1, .y = 200, .width = 3, .height = 100});
        Click("recordEdit");
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Edit Texture  Record 2"));
        QCOMPARE(modal_->recordQuestions.back().width, 3);
        Click("recordEdit");  // cancelled: nothing changes
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(1, 200, 3, 56, 0));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
    }

    void theItemsNameTheStepAndTheMarkerFollowsTheSavedStateAndTheButtonsGoAlong() {
        OpenThree();
        QCOMPARE(Item({"&Edit", "&Undo"}), Undo());
        QVERIFY(!Undo()->isEnabled() && !Redo()->isEnabled());
        Click("pieceDelete", QMessageBox::Cancel);  // a step that changed nothing is no step
        QVERIFY(!Undo()->isEnabled() && !window_->IsModified());
        Click("pieceDelete", QMessageBox::Ok);
        QVERIFY(window_->IsModified() && Count() == 2);
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo Delete Piece"));
        // Back to what the file holds: unchanged again, the list as it was.
        Undo()->trigger();
        QVERIFY(!window_->IsModified() && Count() == 3);
        QCOMPARE(Undo()->text() + Redo()->text(), QStringLiteral("&Undo&Redo Delete Piece"));
        Redo()->trigger();
        QVERIFY(window_->IsModified());
        // Undo after Save leaves the project changed against its file.
        QVERIFY(window_->SaveCommand() && !window_->IsModified());
        Undo()->trigger();
        QVERIFY(window_->IsModified());
        // A project opened afresh has nothing to undo.
        window_->OpenFile(File("level.wad"));
        QVERIFY(!Undo()->isEnabled() && !Redo()->isEnabled());
        // A table entry binds its menu item and its button to one command.
        Select(1);
        QAction* item = window_->Commands().Action("deleteRecord");
        modal_->answers.push_back(QMessageBox::Ok);
        item->trigger();
        QCOMPARE(Count(), 1);  // of the two saved
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo Delete Record"));
        // Locked as while pieces are added: item and button go together.
        window_->SetWorkingState(true);
        QVERIFY(!item->isEnabled() && !Button("recordDelete")->isEnabled());
    }

    void aPageAndAPieceGoOutAndComeBack() {
        Open({TextureRecord{}, MakeRecord(100, 40, 32, 16, 1, -1, -1)}, 2);
        window_->PageList()->setCurrentIndex(0);
        Run(kCopyPage);
        QCOMPARE(FromQImage(Clipboard()->image()), Page(0));  // through ToQImage and back
        window_->PageList()->setCurrentIndex(1);
        Run(kPastePage);
        QCOMPARE(Page(1), Page(0));
        Select(1);
        Run(kCopyTexture);  // the record is flipped; its piece goes out as the page holds it
        QCOMPARE(FromQImage(Clipboard()->image()), Page(1).Copy(100, 40, 32, 16));
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        Clipboard()->setImage(red);
        Run(kPasteTexture);  // what is shown follows
        QCOMPARE(window_->Preview()->Piece().pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(window_->IsModified() && modal_->messages.empty());
    }

    void anEmptyClipboardIsToldAndATransparentOneShowsThePageColour() {
        Clipboard()->clear();
        Run(kCopyPage);
        Run(kPastePage);
        QVERIFY(Clipboard()->image().isNull() && modal_->messages.empty());
        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)}, 1);
        const Image before = Page(0);
        Run(kPastePage);
        Run(kPasteTexture);
        QCOMPARE(Messages(), QStringList(2, QStringLiteral("No Image On Clipboard")));
        QCOMPARE(Page(0), before);
        // Transparency shows the new page colour chosen in the menu.
        modal_->colours.push_back(QColor(1, 2, 3));
        window_->MenuActions().newPageColour->trigger();
        QImage clear(16, 16, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        Clipboard()->setImage(clear);
        Run(kPastePage);
        QCOMPARE(Page(0), Image(256, 256, MakeColour(1, 2, 3)));
    }

    // Last: an unprivileged run cannot come back from Low.
    void theCheckMarkShowsThePriorityInEffect() {
        window_->CpuPriorityActions().at(2)->trigger();  // "&Low"
        QCOMPARE(window_->CpuPriority(), 1);
        QCOMPARE(PriorityChecks(), std::vector<bool>({false, false, true}));
        window_->CpuPriorityActions().at(1)->trigger();  // "&Normal"
        const bool root = geteuid() == 0;
        QCOMPARE(modal_->messages.size(), size_t(root ? 0 : 1));
        QCOMPARE(window_->CpuPriority(), root ? 2 : 1);
        QCOMPARE(PriorityChecks(), std::vector<bool>({false, root, !root}));
        // A value from a settings file that no item stands for checks none.
        window_->SetCpuPriority(7, false);
        QCOMPARE(window_->CpuPriority(), 7);
        QCOMPARE(PriorityChecks(), std::vector<bool>({false, false, false}));
    }
};

PELMORA_UI_TEST_MAIN(EditingCommandsTest)
#include "test_editing_commands.moc"
