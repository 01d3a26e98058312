// The editing commands the window runs through the editing core: the retexture warning,
// the three deletions and records from the grid.
#include <QPlainTextEdit>
#include <QPushButton>

#include "edit/add_pieces.h"
#include "edit/deleting.h"
#include "records/records_file.h"
#include "store/file_util.h"
#include "test_support.h"
#include "ui/main_window.h"
#include "ui/page_canvas.h"
#include "ui/piece_preview.h"
#include "ui/scripted_modal_ui.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

namespace {

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

}  // namespace

class EditingCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<ScriptedModalUi> modal_;
    std::unique_ptr<MainWindow> window_;

    void Open(const std::vector<TextureRecord>& records, int pages) {
        test::WriteWad(dir_->File("edit.wad"), records, pages);
        window_->OpenFile(QString::fromStdString(dir_->File("edit.wad")));
    }
    void Select(int texture) {
        window_->TextureList()->setCurrentIndex(texture);
        window_->ShowSelectedTexture();
    }

private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        modal_ = std::make_unique<ScriptedModalUi>();
        window_ = std::make_unique<MainWindow>(*modal_);
        window_->show();
    }
    void cleanup() {
        window_.reset();
        modal_.reset();
        dir_.reset();
    }

    void deletingARecordRenumbersTheListAndAsksFirst() {
        std::vector<TextureRecord> records = {TextureRecord{}};
        for (int i = 1; i < 8; ++i) records.push_back(MakeRecord(i * 10, 0, 8, 8, 0));
        Open(records, 1);
        Select(4);
        modal_->answers.push_back(QMessageBox::Cancel);
        window_->findChild<QPushButton*>(QStringLiteral("recordDelete"))->click();
        QCOMPARE(modal_->questions.size(), size_t(1));
        QCOMPARE(modal_->questions[0], QString::fromLatin1(kRetextureWarningText));
        QCOMPARE(window_->TextureList()->count(), 8);

        modal_->answers.push_back(QMessageBox::Ok);
        window_->DeleteRecordCommand();
        QCOMPARE(Items(window_->TextureList()),
                 QStringList({"Texture 1", "Texture 2", "Texture 3", "Texture 4", "Texture 5",
                              "Texture 6", "Texture 7"}));
        QCOMPARE(window_->TextureList()->currentIndex(), 3);
        QCOMPARE(window_->RecordTextBox()->toPlainText(),
                 QStringLiteral("Page=1, X=30, Y=0, Width=8, Height=8, FlipX=-1, FlipY=-1"));

        // Texture 1 is reserved.
        Select(0);
        modal_->answers.push_back(QMessageBox::Ok);
        window_->DeleteRecordCommand();
        QCOMPARE(modal_->messages.back().text,
                 QStringLiteral("Texture 1 should not be deleted..."));
        QCOMPARE(window_->TextureList()->count(), 7);
    }

    void withoutWarningsNothingIsAsked() {
        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 0), MakeRecord(8, 0, 8, 8, 0)}, 1);
        window_->MenuActions().showWarnings->trigger();
        QVERIFY(!window_->ShowWarnings());
        Select(2);
        window_->DeleteRecordCommand();
        QVERIFY(modal_->questions.empty());
        QCOMPARE(window_->TextureList()->count(), 2);
    }

    void deletingAPiecePaintsItsAreaOnceAsked() {
        Open({TextureRecord{}, MakeRecord(16, 16, 8, 8, 0)}, 1);
        Select(1);
        modal_->answers.push_back(QMessageBox::Ok);
        window_->findChild<QPushButton*>(QStringLiteral("pieceDelete"))->click();
        QCOMPARE(modal_->questions.size(), size_t(1));
        QCOMPARE(window_->TextureList()->count(), 1);
        const Image page = *window_->CurrentProject().pages.GetBitmap(0);
        QCOMPARE(page.PixelAt(16, 16), window_->CurrentProject().newPageColour);
        QCOMPARE(page.PixelAt(22, 22), window_->CurrentProject().newPageColour);
        QCOMPARE(page.PixelAt(30, 30), MakeColour(30, 30, 1));  // outside the piece
    }

    void deletingAPageMovesLaterRecordsDown() {
        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 1), MakeRecord(0, 0, 8, 8, 2),
              MakeRecord(8, 0, 8, 8, 2), MakeRecord(0, 0, 8, 8, 3), MakeRecord(0, 0, 8, 8, 4)},
             5);
        window_->PageList()->setCurrentIndex(2);
        modal_->answers.push_back(QMessageBox::Ok);
        window_->findChild<QPushButton*>(QStringLiteral("pageDelete"))->click();
        QCOMPARE(Items(window_->PageList()), QStringList({"Page 1", "Page 2", "Page 3", "Page 4"}));
        QCOMPARE(window_->TextureList()->count(), 4);
        QCOMPARE(window_->ShownRecords()[2].Page, uint16_t(2));
        QCOMPARE(window_->ShownRecords()[3].Page, uint16_t(3));
        // The highest page any record uses is shown, with its first record.
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 4 of 4"));
        QCOMPARE(window_->TextureList()->currentIndex(), 3);
    }

    void recordsFromTheGridCoverThePageRowByRow() {
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
        const auto& records = window_->ShownRecords();
        QCOMPARE(records.size(), size_t(5));
        QCOMPARE(records[1], MakeRecord(0, 0, 192, 128, 1));
        QCOMPARE(records[2], MakeRecord(192, 0, 64, 128, 1));
        QCOMPARE(records[4], MakeRecord(192, 128, 64, 128, 1));
        QCOMPARE(window_->TextureList()->currentIndex(), 4);
        QCOMPARE(window_->TextureCounter()->text(), QStringLiteral("5 of 5"));
    }

    void recordsGoOutToAFileAndComeBack() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 1)}, 2);
        const QString file = QString::fromStdString(dir_->File("saved.rec"));
        modal_->fileAnswers.push_back({file});
        window_->findChild<QPushButton*>(QStringLiteral("recordsExport"))->click();
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.proposedName, QStringLiteral("edit.rec"));
        QCOMPARE(request.filters[0].description, QStringLiteral("Pelmora Texture Records(*.rec)"));
        QVERIFY(test::ReadFile(file.toStdString()).rfind(kRecordsFileFirstLine, 0) == 0);

        // Append with the preset shift (the page count): the file's first block is skipped.
        modal_->fileAnswers.push_back({file});
        modal_->answers.push_back(QMessageBox::No);
        window_->findChild<QPushButton*>(QStringLiteral("recordsImport"))->click();
        QCOMPARE(modal_->shiftPresets, std::vector<int>({2}));
        QCOMPARE(modal_->questions.back(), QString::fromLatin1(kImportRecordsQuestion));
        QCOMPARE(window_->TextureList()->count(), 5);
        QCOMPARE(window_->ShownRecords()[3], MakeRecord(1, 2, 3, 4, 2));
        QCOMPARE(window_->ShownRecords()[4], MakeRecord(5, 6, 7, 8, 3));
        QCOMPARE(window_->TextureList()->currentIndex(), 0);

        // Overwrite gives back exactly what was written.
        modal_->fileAnswers.push_back({file});
        modal_->answers.push_back(QMessageBox::Yes);
        window_->ImportRecordsCommand();
        QCOMPARE(window_->TextureList()->count(), 3);
        QCOMPARE(window_->ShownRecords()[2], MakeRecord(5, 6, 7, 8, 1));

        // Cancel imports nothing; a file of another kind is refused before the question.
        modal_->fileAnswers.push_back({file});
        window_->ImportRecordsCommand();
        QCOMPARE(window_->TextureList()->count(), 3);
        test::WriteFile(dir_->File("other.rec"), "hello\r\n");
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("other.rec"))});
        const size_t asked = modal_->questions.size();
        window_->ImportRecordsCommand();
        QCOMPARE(modal_->questions.size(), asked);
        QCOMPARE(modal_->messages.back().text, QString::fromLatin1(kNotARecordsFileMessage));
    }

    void sortingKeepsTheFirstRecordFirst() {
        Open({MakeRecord(0, 0, 1, 1, 0), MakeRecord(0, 0, 8, 8, 2), MakeRecord(0, 0, 8, 8, 1),
              MakeRecord(0, 0, 8, 8, 0)},
             3);
        modal_->answers.push_back(QMessageBox::Ok);
        modal_->sortOrders.push_back(0);
        window_->findChild<QPushButton*>(QStringLiteral("sort"))->click();
        QList<int> pages;
        for (const TextureRecord& r : window_->ShownRecords()) pages << r.Page;
        QCOMPARE(pages, QList<int>({0, 0, 1, 2}));

        // The choice is remembered only on OK; a cancelled dialog sorts nothing.
        modal_->answers.push_back(QMessageBox::Ok);
        modal_->sortOrders.push_back(1);
        window_->SortCommand();
        pages.clear();
        for (const TextureRecord& r : window_->ShownRecords()) pages << r.Page;
        QCOMPARE(pages, QList<int>({0, 2, 1, 0}));
        modal_->answers.push_back(QMessageBox::Cancel);
        window_->SortCommand();
        QVERIFY(modal_->sortOrders.empty());
    }

    void duplicatesAreReportedThenRemovedOnRequest() {
        const TextureRecord a = MakeRecord(4, 4, 8, 8, 0);
        const TextureRecord b = MakeRecord(40, 4, 8, 8, 0);
        Open({a, a, MakeRecord(20, 20, 8, 8, 0), b, b}, 1);
        // The report's usual place is shared by every Pelmora process on the machine (and each
        // one removes it when it ends); the test keeps its own.
        window_->CurrentProject().duplicateListPath = dir_->File("duplicates.txt");
        modal_->answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok};
        window_->findChild<QPushButton*>(QStringLiteral("check"))->click();
        const std::string report = window_->CurrentProject().duplicateListPath;
        QCOMPARE(modal_->shellOpened, std::vector<QString>({QString::fromStdString(report)}));
        QCOMPARE(QString::fromStdString(test::ReadFile(report)),
                 QStringLiteral("Found 2 duplicates\r\n\r\ntexture 1 and texture 2 match\r\n"
                                "texture 4 and texture 5 match\r\n"));
        QCOMPARE(modal_->questions.size(), size_t(3));
        QCOMPARE(window_->TextureList()->count(), 3);
        QCOMPARE(window_->ShownRecords()[2], b);

        // Nothing found: the report is still written and opened, and nothing more is asked.
        modal_->shellOpens = false;
        modal_->answers = {QMessageBox::Yes};
        window_->CheckDuplicatesCommand();
        QCOMPARE(modal_->questions.size(), size_t(4));
        QCOMPARE(modal_->messages.back().text,
                 QStringLiteral("Unable to Open file ") + QString::fromStdString(report));
        QCOMPARE(QString::fromStdString(test::ReadFile(report)),
                 QStringLiteral("Found 0 duplicates\r\n\r\n"));
    }

    void aPageOrPieceComesInFromAnImageFile() {
        Open({TextureRecord{}, MakeRecord(16, 16, 64, 32, 1)}, 2);
        const std::string red = dir_->File("red.png");
        test::WritePng(red, 512, 128, MakeColour(255, 0, 0));
        window_->PageList()->setCurrentIndex(0);
        modal_->fileAnswers.push_back({QString::fromStdString(red)});
        window_->findChild<QPushButton*>(QStringLiteral("pageImport"))->click();
        QCOMPARE(modal_->fileQuestions.back().request.filters.size(), size_t(7));
        const Image page1 = *window_->CurrentProject().pages.GetBitmap(0);
        QCOMPARE(page1.PixelAt(0, 0), MakeColour(255, 0, 0));
        QCOMPARE(page1.PixelAt(255, 255), MakeColour(255, 0, 0));
        QCOMPARE(window_->Canvas()->ComposedPage().pixel(200, 200), qRgb(255, 0, 0));
        QCOMPARE(window_->TextureList()->count(), 2);

        const std::string green = dir_->File("green.png");
        test::WritePng(green, 10, 10, MakeColour(0, 255, 0));
        Select(1);
        modal_->fileAnswers.push_back({QString::fromStdString(green)});
        window_->findChild<QPushButton*>(QStringLiteral("pieceImport"))->click();
        const Image page2 = *window_->CurrentProject().pages.GetBitmap(1);
        QCOMPARE(page2.PixelAt(16, 16), MakeColour(0, 255, 0));
        QCOMPARE(page2.PixelAt(79, 47), MakeColour(0, 255, 0));
        QCOMPARE(page2.PixelAt(80, 47), MakeColour(80, 47, 2));
        QCOMPARE(window_->Preview()->Piece().pixel(63, 31), qRgb(0, 255, 0));

        test::WriteFile(dir_->File("broken.png"), "not an image");
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("broken.png"))});
        window_->ImportPieceCommand();
        QCOMPARE(modal_->messages.back().text, QString::fromLatin1(kFailedToLoadImageMessage));
    }

    void aPageOrPieceGoesOutAsAnImageFile() {
        Open({TextureRecord{}, MakeRecord(0, 0, 10, 3, 1)}, 2);
        window_->PageList()->setCurrentIndex(1);
        const std::string raw = dir_->File("page.raw");
        modal_->fileAnswers.push_back({QString::fromStdString(raw)});
        window_->findChild<QPushButton*>(QStringLiteral("pageExport"))->click();
        const auto& request = modal_->fileQuestions.back().request;
        QCOMPARE(request.proposedName, QStringLiteral("Page2"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("bmp"));
        QCOMPARE(request.filters.back().description, QStringLiteral("RAW (*.raw)"));
        const std::string bytes = test::ReadFile(raw);
        QCOMPARE(bytes.size(), size_t(196608));
        QCOMPARE(bytes.substr(0, 6), std::string("\0\0\x02\x01\0\x02", 6));
        QVERIFY(modal_->jpegPresets.empty());

        Select(1);
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("piece.JPG"))});
        modal_->jpegQualities.push_back(40);
        window_->findChild<QPushButton*>(QStringLiteral("pieceExport"))->click();
        QCOMPARE(modal_->fileQuestions.back().request.proposedName, QStringLiteral("Texture2"));
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100}));
        QCOMPARE(window_->JpegQuality(), 40);
        QVERIFY(FileExists(dir_->File("piece.JPG")));
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("piece.jfif"))});
        window_->ExportPieceCommand();
        QCOMPARE(modal_->jpegPresets.size(), size_t(1));
        QVERIFY(FileExists(dir_->File("piece.jfif")));
        modal_->fileAnswers.push_back({QString::fromStdString(dir_->File("piece.raw"))});
        window_->ExportPieceCommand();
        QCOMPARE(test::ReadFile(dir_->File("piece.raw")).size(), size_t(90));

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
        blank.kind = NewPageKind::Blank;
        blank.colour = MakeColour(1, 2, 3);
        blank.count = 3;
        modal_->newPages.push_back(blank);
        window_->findChild<QPushButton*>(QStringLiteral("pageAddNew"))->click();
        QCOMPARE(window_->PageList()->count(), 4);
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 4 of 4"));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);  // the record stays selected
        QCOMPARE(window_->CurrentProject().pages.GetBitmap(3)->PixelAt(9, 9), MakeColour(1, 2, 3));
        QCOMPARE(window_->CurrentProject().newPageColour, MakeColour(1, 2, 3));

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
        fields.pageIndex = 1;  // "Add Page"
        modal_->recordAnswers.push_back(fields);
        NewPageOptions blank;
        modal_->newPages = {std::nullopt, blank};  // declined once, then accepted
        window_->findChild<QPushButton*>(QStringLiteral("recordAddNew"))->click();
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Add Texture  Record 2"));
        QCOMPARE(modal_->recordQuestions.back().pageIndex, 1);
        QCOMPARE(modal_->newPageDialogs, 2);
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(modal_->messages[0].text, QString::fromLatin1(kMustClickYesMessage));
        QCOMPARE(window_->PageList()->count(), 2);
        QCOMPARE(window_->TextureList()->count(), 2);
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(250, 0, 6, 20, 1));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
        QCOMPARE(window_->PageCounter()->text(), QStringLiteral("page 2 of 2"));
    }

    void editingKeepsTheRecordInItsPlace() {
        Open({TextureRecord{}, MakeRecord(1, 2, 3, 4, 0), MakeRecord(5, 6, 7, 8, 0)}, 1);
        Select(0);
        window_->findChild<QPushButton*>(QStringLiteral("recordEdit"))->click();
        QCOMPARE(modal_->messages.back().text, QStringLiteral("Texture 1 should not be edited..."));
        QVERIFY(modal_->recordQuestions.empty());

        Select(1);
        RecordFields fields = FieldsOfRecord(MakeRecord(1, 2, 3, 4, 0));
        fields.y = 200;
        fields.height = 100;
        fields.flipYIndex = 1;
        modal_->recordAnswers.push_back(fields);
        window_->EditRecordCommand();
        QCOMPARE(modal_->recordTitles.back(), QStringLiteral("Edit Texture  Record 2"));
        QCOMPARE(modal_->recordQuestions.back().width, 3);
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(1, 200, 3, 56, 0, -1, 0));
        QCOMPARE(window_->TextureList()->currentIndex(), 1);
        QCOMPARE(window_->TextureList()->count(), 3);
        // Cancelled: nothing changes.
        window_->EditRecordCommand();
        QCOMPARE(window_->ShownRecords()[1], MakeRecord(1, 200, 3, 56, 0, -1, 0));
    }
};

PELMORA_UI_TEST_MAIN(EditingCommandsTest)
#include "test_editing_commands.moc"
