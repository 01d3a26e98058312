// The editing commands as the window runs them: what it asks first, what it shows after. What
// each edit does to the project is the editing core's own tests' business.
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/file_util.h"
#include "edit/add_pieces.h"
#include "edit/deleting.h"
#include "records/records_file.h"
#include "ui/editor_texts.h"
#include "ui/page_canvas.h"
#include "ui/piece_preview.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;
using test::Items;

class EditingCommandsTest : public test::WindowTest {
    Q_OBJECT

    void Click(const char* button) {
        window_->findChild<QPushButton*>(QLatin1String(button))->click();
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

    void deletingARecordRenumbersTheListAndAsksFirst() {
        Open({TextureRecord{}, MakeRecord(10, 0, 8, 8, 0), MakeRecord(20, 0, 8, 8, 0),
              MakeRecord(30, 0, 8, 8, 0)},
             1);
        Select(2);
        modal_->answers.push_back(QMessageBox::Cancel);
        Click("recordDelete");
        QCOMPARE(modal_->questions,
                 std::vector<QString>({QString::fromLatin1(kRetextureWarningText)}));
        QCOMPARE(window_->TextureList()->count(), 4);

        modal_->answers.push_back(QMessageBox::Ok);
        window_->DeleteRecordCommand();
        QCOMPARE(Items(window_->TextureList()),
                 QStringList({"Texture 1", "Texture 2", "Texture 3"}));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
        QCOMPARE(window_->RecordTextBox()->toPlainText(),
                 QStringLiteral("Page=1, X=10, Y=0, Width=8, Height=8, FlipX=-1, FlipY=-1"));

        Select(0);
        modal_->answers.push_back(QMessageBox::Ok);
        window_->DeleteRecordCommand();
        QCOMPARE(modal_->messages.back().text,
                 QStringLiteral("Texture 1 should not be deleted..."));
        QCOMPARE(window_->TextureList()->count(), 3);

        // Without warnings nothing is asked.
        window_->MenuActions().showWarnings->trigger();
        QVERIFY(!window_->ShowWarnings());
        const size_t asked = modal_->questions.size();
        Select(2);
        window_->DeleteRecordCommand();
        QCOMPARE(modal_->questions.size(), asked);
        QCOMPARE(window_->TextureList()->count(), 2);
    }

    void deletingAPieceOrAPageAsksThenRefreshesTheLists() {
        Open({TextureRecord{}, MakeRecord(16, 16, 8, 8, 0), MakeRecord(0, 0, 8, 8, 2),
              MakeRecord(8, 0, 8, 8, 2), MakeRecord(0, 0, 8, 8, 3), MakeRecord(0, 0, 8, 8, 4)},
             5);
        Select(1);
        modal_->answers.push_back(QMessageBox::Ok);
        Click("pieceDelete");
        QCOMPARE(modal_->questions.size(), size_t(1));
        QCOMPARE(window_->TextureList()->count(), 5);

        window_->PageList()->setCurrentIndex(2);
        modal_->answers.push_back(QMessageBox::Ok);
        Click("pageDelete");
        QCOMPARE(modal_->questions.size(), size_t(2));
        QCOMPARE(Items(window_->PageList()), QStringList({"Page 1", "Page 2", "Page 3", "Page 4"}));
        QCOMPARE(window_->TextureList()->count(), 3);
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 4 of 4"));
        QCOMPARE(window_->TextureList()->currentIndex(), 2);
    }

    void recordsFromTheGridFollowTheGridLists() {
        Open({TextureRecord{}}, 2);
        window_->PageList()->setCurrentIndex(1);
        auto* across = window_->findChild<QComboBox*>(QStringLiteral("acrossList"));
        across->setCurrentIndex(across->findText(QStringLiteral("192")));
        emit across->activated(across->currentIndex());
        QCOMPARE(window_->Options().gridAcross, 192);
        auto* down = window_->findChild<QComboBox*>(QStringLiteral("downList"));
        down->setCurrentIndex(down->findText(QStringLiteral("128")));
        emit down->activated(down->currentIndex());
        window_->AddRecordsFromGridCommand();
        QCOMPARE(window_->ShownRecords().size(), size_t(5));
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(0, 0, 192, 128, 1));
        QCOMPARE(window_->TextureList()->currentIndex(), 4);
        QCOMPARE(window_->TextureCounter()->text(), QStringLiteral("5 of 5"));
    }

    void recordsGoOutToAFileAndComeBack() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 1)}, 2);
        const QString file = QString::fromStdString(dir_->File("saved.rec"));
        modal_->fileAnswers.push_back({file});
        Click("recordsExport");
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.proposedName, QStringLiteral("level.rec"));
        QCOMPARE(request.filters[0].description, QStringLiteral("Pelmora Texture Records(*.rec)"));
        QCOMPARE(request.filters[1].description, QStringLiteral("JSON (*.json)"));
        QVERIFY(test::ReadFile(file.toStdString()).rfind(kRecordsFileFirstLine, 0) == 0);

        // Append (No) is offered the page count as its shift.
        modal_->fileAnswers.push_back({file});
        modal_->answers.push_back(QMessageBox::No);
        Click("recordsImport");
        QCOMPARE(modal_->shiftPresets, std::vector<int>({2}));
        QCOMPARE(modal_->questions.back(), QString::fromLatin1(kImportRecordsQuestion));
        QCOMPARE(window_->TextureList()->count(), 5);
        QCOMPARE(window_->ShownRecords()[4], MakeRecord(5, 6, 7, 8, 3));
        QCOMPARE(window_->TextureList()->currentIndex(), 0);

        // Overwrite (Yes); then Cancel imports nothing.
        for (auto answer : {QMessageBox::Yes, QMessageBox::Cancel}) {
            modal_->fileAnswers.push_back({file});
            modal_->answers.push_back(answer);
            window_->ImportRecordsCommand();
            QCOMPARE(window_->TextureList()->count(), 3);
        }
        // A file of another kind is refused before the question.
        test::WriteFile(dir_->File("other.rec"), "hello\r\n");
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("other.rec"))});
        const size_t asked = modal_->questions.size();
        window_->ImportRecordsCommand();
        QCOMPARE(modal_->questions.size(), asked);
        QCOMPARE(modal_->messages.back().text, QString::fromLatin1(kNotARecordsFileMessage));
    }

    void sortingUsesAndRemembersTheDialogsChoice() {
        Open({MakeRecord(0, 0, 1, 1, 0), MakeRecord(0, 0, 8, 8, 2), MakeRecord(0, 0, 8, 8, 1),
              MakeRecord(0, 0, 8, 8, 0)},
             3);
        auto pages = [&] {
            QList<int> list;
            for (const TextureRecord& r : window_->ShownRecords()) list << r.Page;
            return list;
        };
        modal_->answers.push_back(QMessageBox::Ok);
        modal_->sortOrders.push_back(0);
        Click("sort");
        QCOMPARE(pages(), QList<int>({0, 0, 1, 2}));
        modal_->answers.push_back(QMessageBox::Ok);
        modal_->sortOrders.push_back(1);
        window_->SortCommand();
        QCOMPARE(pages(), QList<int>({0, 2, 1, 0}));
        // Cancelled at the warning: the sort dialog is not even asked.
        modal_->answers.push_back(QMessageBox::Cancel);
        modal_->sortOrders.push_back(0);
        window_->SortCommand();
        QCOMPARE(modal_->sortOrders.size(), size_t(1));
        QCOMPARE(pages(), QList<int>({0, 2, 1, 0}));
    }

    void duplicatesAreReportedThenRemovedOnRequest() {
        const TextureRecord a = MakeRecord(4, 4, 8, 8, 0);
        const TextureRecord b = MakeRecord(40, 4, 8, 8, 0);
        Open({a, a, MakeRecord(20, 20, 8, 8, 0), b, b}, 1);
        // The report's usual place is shared by every Pelmora process on the machine (and each
        // one removes it when it ends); the test keeps its own.
        window_->Session().duplicateList.path = dir_->File("duplicates.txt");
        modal_->answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok};
        window_->findChild<QPushButton*>(QStringLiteral("check"))->click();
        // The report's text is DuplicateCheckTest's; the window opens it and asks.
        const std::string report = window_->Session().duplicateList.path;
        QCOMPARE(modal_->shellOpened, std::vector<QString>({QString::fromStdString(report)}));
        QCOMPARE(modal_->questions.size(), size_t(3));
        QCOMPARE(window_->TextureList()->count(), 3);

        // Nothing found: the report is still written and opened, and nothing more is asked.
        modal_->shellOpens = false;
        modal_->answers = {QMessageBox::Yes};
        window_->CheckDuplicatesCommand();
        QCOMPARE(modal_->questions.size(), size_t(4));
        QCOMPARE(modal_->messages.back().text,
                 QStringLiteral("Unable to Open file ") + QString::fromStdString(report));
    }

    void aMissingPageIsToldOnceAndNotAfterSorting() {
        const TextureRecord missing = MakeRecord(0, 0, 8, 8, 4);
        const TextureRecord a = MakeRecord(0, 0, 8, 8, 0);
        Open({missing, a, a}, 1);
        window_->Session().duplicateList.path = dir_->File("duplicates.txt");
        const QString file = QString::fromStdString(dir_->File("missing.rec"));
        modal_->fileAnswers.push_back({file});
        window_->ExportRecordsCommand();
        auto toldOnce = [&] {
            QCOMPARE(modal_->messages.size(), size_t(1));
            QCOMPARE(modal_->messages[0].caption, QStringLiteral("Error!"));
            QCOMPARE(modal_->messages[0].text,
                     QStringLiteral("You need to add 4 more pages before texture 1 is selectable"));
            modal_->messages.clear();
        };
        modal_->messages.clear();
        modal_->fileAnswers.push_back({file});
        modal_->answers.push_back(QMessageBox::Yes);
        window_->ImportRecordsCommand();
        toldOnce();
        modal_->answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok};
        window_->CheckDuplicatesCommand();
        QCOMPARE(window_->TextureList()->count(), 2);
        toldOnce();

        // The sort moves the selected entry onto a record whose page is missing: no message.
        Open({a, missing, a}, 1);
        Select(2);
        modal_->messages.clear();
        modal_->answers.push_back(QMessageBox::Ok);
        modal_->sortOrders.push_back(0);
        window_->SortCommand();
        QCOMPARE(window_->ShownRecords()[2], missing);
        QVERIFY(modal_->messages.empty());
    }

    void aPageOrPieceComesInFromAnImageFile() {
        Open({TextureRecord{}, MakeRecord(16, 16, 64, 32, 1)}, 2);
        const std::string red = dir_->File("red.png");
        test::WritePng(red, 512, 128, MakeColour(255, 0, 0));
        window_->PageList()->setCurrentIndex(0);
        modal_->fileAnswers.push_back({QString::fromStdString(red)});
        Click("pageImport");
        QCOMPARE(modal_->fileQuestions.back().request.filters.size(), size_t(7));
        QCOMPARE(window_->Canvas()->ComposedPage().pixel(200, 200), qRgb(255, 0, 0));

        const std::string green = dir_->File("green.png");
        test::WritePng(green, 10, 10, MakeColour(0, 255, 0));
        Select(1);
        modal_->fileAnswers.push_back({QString::fromStdString(green)});
        Click("pieceImport");
        QCOMPARE(window_->Preview()->Piece().pixel(63, 31), qRgb(0, 255, 0));

        test::WriteFile(dir_->File("broken.png"), "not an image");
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("broken.png"))});
        window_->ImportPieceCommand();
        // The box says which file and why below its usual first line.
        QCOMPARE(
            modal_->messages.back().text,
            QString::fromStdString(FailedToLoadImageText(
                dir_->File("broken.png") + " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file")));
    }

    void aPageOrPieceGoesOutAsAnImageFile() {
        Open({TextureRecord{}, MakeRecord(0, 0, 10, 3, 1)}, 2);
        window_->PageList()->setCurrentIndex(1);
        const std::string raw = dir_->File("page.raw");
        modal_->fileAnswers.push_back({QString::fromStdString(raw)});
        Click("pageExport");
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.proposedName, QStringLiteral("Page2"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("bmp"));
        QCOMPARE(request.filters.back().description, QStringLiteral("RAW (*.raw)"));
        // The page shown is the one written (its bytes are the single-image core's test's).
        QCOMPARE(test::ReadFile(raw).substr(0, 3), std::string("\0\0\x02", 3));
        QVERIFY(modal_->jpegPresets.empty());

        Select(1);
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("piece.JPG"))});
        modal_->jpegQualities.push_back(40);
        Click("pieceExport");
        QCOMPARE(modal_->fileQuestions.back().request.proposedName, QStringLiteral("Texture2"));
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100}));
        QCOMPARE(window_->JpegQuality(), 40);
        QVERIFY(FileExists(dir_->File("piece.JPG")));
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("piece.jfif"))});
        window_->ExportPieceCommand();
        QCOMPARE(modal_->jpegPresets.size(), size_t(1));
        QVERIFY(FileExists(dir_->File("piece.jfif")));

        // A file that cannot be written is said so, not passed over in silence.
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("no/such/dir/p.png"))});
        window_->ExportPieceCommand();
        QCOMPARE(modal_->messages.size(), size_t(1));
    }

    void newPagesComeFromTheDialog() {
        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)}, 1);
        Select(1);
        modal_->colours.push_back(QColor(10, 20, 30));
        window_->MenuActions().newPageColour->trigger();
        QCOMPARE(window_->CurrentProject().newPageColour, MakeColour(10, 20, 30));

        NewPageOptions blank;
        blank.colour = MakeColour(1, 2, 3);
        blank.count = 3;
        modal_->newPages.push_back(blank);
        Click("pageAddNew");
        QCOMPARE(window_->PageList()->count(), 4);
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 4 of 4"));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);  // the record stays selected

        // Declined while no page is required: nothing happens, nothing is said.
        window_->AddNewPagesCommand();
        QCOMPARE(window_->PageList()->count(), 4);
        QVERIFY(modal_->messages.empty());
    }

    void aNewRecordOnAPageStillToMakeInsistsOnTheNewPage() {
        Open({TextureRecord{}}, 1);
        RecordFields fields;
        fields.x = 250;
        fields.width = 10;
        fields.height = 20;
        fields.newPage = true;  // "Add Page"
        modal_->recordAnswers.push_back(fields);
        modal_->newPages = {std::nullopt, NewPageOptions{}};  // declined once, then accepted
        Click("recordAddNew");
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Add Texture  Record 2"));
        QVERIFY(modal_->recordQuestions.back().newPage);
        QCOMPARE(modal_->newPageDialogs, 2);
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(modal_->messages[0].text, QString::fromLatin1(kMustClickYesMessage));
        QCOMPARE(window_->PageList()->count(), 2);
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(250, 0, 6, 20, 1));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 2 of 2"));
    }

    void editingKeepsTheRecordInItsPlace() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 0)}, 1);
        Select(0);
        Click("recordEdit");
        QCOMPARE(modal_->messages.back().text, QStringLiteral("Texture 1 should not be edited..."));
        QVERIFY(modal_->recordQuestions.empty());

        Select(1);
        RecordFields fields = FieldsOfRecord(MakeRecord(1, 2, 3, 4, 0));
        fields.y = 200;
        fields.height = 100;
        modal_->recordAnswers.push_back(fields);
        window_->EditRecordCommand();
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Edit Texture  Record 2"));
        QCOMPARE(modal_->recordQuestions.back().width, 3);
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(1, 200, 3, 56, 0));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
        // Cancelled: nothing changes.
        window_->EditRecordCommand();
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(1, 200, 3, 56, 0));
    }
};

PELMORA_UI_TEST_MAIN(EditingCommandsTest)
#include "test_editing_commands.moc"
