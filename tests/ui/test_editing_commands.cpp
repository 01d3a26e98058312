// The editing commands the window runs through the editing core: the retexture warning,
// the three deletions and records from the grid.
#include <QPlainTextEdit>
#include <QPushButton>

#include "edit/deleting.h"
#include "test_support.h"
#include "ui/main_window.h"
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
};

PELMORA_UI_TEST_MAIN(EditingCommandsTest)
#include "test_editing_commands.moc"
