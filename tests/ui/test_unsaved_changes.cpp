// Unsaved changes: the title's marker, and the question on every way of closing or
// replacing a project.
#include <filesystem>

#include "ui_test_support.h"

namespace {

const QString kUnchanged = "Pelmora v1.0.6.6 (by Brell) - [level.wad] wad version 129";
const QString kEdited = QString(kUnchanged).replace("wad]", "wad*]");

enum class Way { Open, New, Close, Drop, Exit, CloseBox, Escape, Enter };
enum class Reply { Save, Discard, Cancel, FailingSave };

int RecordsInFile(const std::string& path) {
    Project project;
    if (!OpenTextureFile(project, path).IsDone()) return -1;
    return project.RecordCount();
}

}  // namespace

class UnsavedChangesTest : public test::WindowTest {
    Q_OBJECT

    std::string level_;
    std::string other_;

    // Opens level.wad (2 records) and adds the grid's records to page 1.
    void OpenAndEdit() {
        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)}, 1);
        level_ = dir_->File("level.wad");
        other_ = test::WriteWad(dir_->File("other.wad"), {TextureRecord{}}, 1);
        QCOMPARE(Title(), kUnchanged);
        window_->AddRecordsFromGridCommand();
        QVERIFY(window_->IsModified());
        QCOMPARE(Title(), kEdited);
    }

    void Discard(Way way) {
        MainWindow& w = *window_;
        const std::function<void()> ways[] = {
            [&] { Answering(Q(other_), &MainWindow::OpenCommand); },
            [&] { Answering(File("new.plm"), &MainWindow::NewCommand); },
            [&] { w.CloseCommand(); },
            [&] { test::Drop(&w, {Q(other_)}); },
            [&] { w.MenuActions().exit->trigger(); },
            [&] { w.close(); },
            [&] { QTest::keyClick(&w, Qt::Key_Escape); },
            [&] {  // Enter on a focused button presses it: the page list has the focus here.
                w.PageList()->setFocus();
                QTest::keyClick(w.PageList(), Qt::Key_Return);
            }};
        ways[static_cast<int>(way)]();
    }

    // Whether the way went on: the window closed, or the project closed or was replaced.
    bool WentOn(Way way) {
        const Project& project = window_->CurrentProject();
        if (way == Way::Open || way == Way::Drop) return project.filePath == other_;
        if (way == Way::New) return project.filePath == dir_->File("new.plm");
        if (way == Way::Close) return !project.IsOpen();
        return !window_->isVisible();
    }

private slots:
    void everyWayOfDiscardingAsksFirst_data() {
        QTest::addColumn<Way>("way");
        QTest::addColumn<Reply>("reply");
        // In the order of the enums.
        const char* ways[] = {"open", "new",       "close",  "drop",
                              "exit", "close box", "escape", "enter"};
        const char* replies[] = {"save", "discard", "cancel", "failing save"};
        for (int w = 0; w < 8; ++w)
            for (int r = 0; r < 4; ++r)
                QTest::addRow("%s, %s", ways[w], replies[r]) << Way(w) << Reply(r);
    }

    void everyWayOfDiscardingAsksFirst() {
        QFETCH(Way, way);
        QFETCH(Reply, reply);
        OpenAndEdit();
        const int edited = window_->CurrentProject().RecordCount();
        QVERIFY(edited > 2);
        if (reply == Reply::FailingSave) {
            // A folder where the file was: the new file cannot take its place.
            std::filesystem::remove(level_);
            std::filesystem::create_directory(level_);
        }
        modal_->answers.push_back(reply == Reply::Discard  ? QMessageBox::Discard
                                  : reply == Reply::Cancel ? QMessageBox::Cancel
                                                           : QMessageBox::Save);
        Discard(way);
        QCOMPARE(modal_->questions, std::vector<QString>{"Save changes to level.wad?"});
        const bool goesOn = reply == Reply::Save || reply == Reply::Discard;
        QCOMPARE(WentOn(way), goesOn);
        if (reply == Reply::Save) QCOMPARE(RecordsInFile(level_), edited);
        if (reply == Reply::Discard) QCOMPARE(RecordsInFile(level_), 2);
        if (!goesOn) {
            // The window and the project stay as they were, changes and all.
            QVERIFY(window_->isVisible() && window_->CurrentProject().RecordCount() == edited);
            QCOMPARE(Title(), kEdited);
            QCOMPARE(modal_->messages.size(), size_t(reply == Reply::FailingSave ? 1 : 0));
        } else if (way == Way::Open || way == Way::Drop || way == Way::New) {
            QVERIFY(!window_->IsModified());
        }
    }

    void theFileKeysAreInTheMenusBesideTheClipboardKeys() {
        const MainWindow::Actions& a = window_->MenuActions();
        QStringList keys;
        for (QAction* action : {a.open, a.newProject, a.close, a.save, a.saveAs, a.exit})
            keys << action->shortcut().toString();
        for (QAction* action : window_->ClipboardActions()) keys << action->shortcut().toString();
        QCOMPARE(keys, QStringList({"Ctrl+O", "Ctrl+N", "Ctrl+W", "Ctrl+S", "Ctrl+Shift+S",
                                    "Ctrl+Q", "Ctrl+P", "Ctrl+T", "Alt+P", "Alt+T"}));
        // Ctrl+S reaches Save from anywhere in the window.
        OpenAndEdit();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_->PageList(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!window_->IsModified());
    }
};

PELMORA_UI_TEST_MAIN(UnsavedChangesTest)
#include "test_unsaved_changes.moc"
