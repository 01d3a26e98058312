// Edit > Undo and Redo as the window offers them, and the command table that binds them. What
// a step keeps is the history's own tests' business.
#include <QPushButton>

#include "ui/commands.h"
#include "ui/piece_preview.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

class UndoTest : public test::WindowTest {
    Q_OBJECT

    QAction* Undo() const { return window_->Commands().Action("undo"); }
    QAction* Redo() const { return window_->Commands().Action("redo"); }
    QPushButton* Button(const char* name) const {
        return window_->findChild<QPushButton*>(QLatin1String(name));
    }
    void OpenThree() {
        Open({TextureRecord{}, MakeRecord(16, 16, 8, 8, 0), MakeRecord(0, 0, 8, 8, 0)}, 1);
        Select(1);
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

    void theItemsNameTheStepAndTheMarkerFollowsTheSavedState() {
        OpenThree();
        QCOMPARE(window_->EditMenu()->actions().at(0), Undo());
        QCOMPARE(window_->EditMenu()->actions().at(1), Redo());
        QCOMPARE(Undo()->shortcuts(),
                 QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Z"))}));
        QCOMPARE(Redo()->shortcuts(),
                 QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo"));
        QVERIFY(!Undo()->isEnabled());
        QVERIFY(!Redo()->isEnabled());

        const QImage piece = window_->Preview()->Piece();
        modal_->answers.push_back(QMessageBox::Ok);
        Button("pieceDelete")->click();
        QVERIFY(window_->IsModified());
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo Delete Piece"));
        QVERIFY(Undo()->isEnabled());
        QCOMPARE(window_->TextureList()->count(), 2);

        // Back to what the file holds: unchanged again, the lists and the piece as they were.
        Undo()->trigger();
        QVERIFY(!window_->IsModified());
        QCOMPARE(window_->TextureList()->count(), 3);
        Select(1);
        QCOMPARE(window_->Preview()->Piece(), piece);
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo"));
        QCOMPARE(Redo()->text(), QStringLiteral("&Redo Delete Piece"));
        QVERIFY(Redo()->isEnabled());
        Redo()->trigger();
        QVERIFY(window_->IsModified());

        // Undo after Save leaves the project changed against its file.
        QVERIFY(window_->SaveCommand());
        QVERIFY(!window_->IsModified());
        Undo()->trigger();
        QVERIFY(window_->IsModified());

        // A project opened afresh has nothing to undo.
        window_->OpenFile(QString::fromStdString(dir_->File("level.wad")));
        QVERIFY(!Undo()->isEnabled());
        QVERIFY(!Redo()->isEnabled());
    }

    void aStepThatChangedNothingIsNoStep() {
        OpenThree();
        modal_->answers.push_back(QMessageBox::Cancel);  // the retexture warning
        Button("pieceDelete")->click();
        QVERIFY(!Undo()->isEnabled());
        QVERIFY(!window_->IsModified());
    }

    void aTableEntryBindsItsMenuItemAndButtonToOneCommand() {
        OpenThree();
        QAction* item = window_->Commands().Action("deleteRecord");
        QPushButton* button = Button("recordDelete");
        modal_->answers.push_back(QMessageBox::Ok);
        item->trigger();
        QCOMPARE(window_->TextureList()->count(), 2);
        QCOMPARE(Undo()->text(), QStringLiteral("&Undo Delete Record"));

        // Locked as while pieces are added: item, button and Undo go together.
        window_->SetWorkingState(true);
        QVERIFY(!item->isEnabled());
        QVERIFY(!button->isEnabled());
        QVERIFY(!Undo()->isEnabled());
        window_->SetWorkingState(false);
        QVERIFY(item->isEnabled());
        QVERIFY(button->isEnabled());
        QVERIFY(Undo()->isEnabled());
    }
};

PELMORA_UI_TEST_MAIN(UndoTest)
#include "test_undo.moc"
