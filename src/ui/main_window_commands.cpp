// The command table, the window's state and the undo history.
#include <QKeySequence>
#include <QMenuBar>
#include <tuple>

#include "ui/add_pieces_job.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/page_canvas.h"
#include "ui/piece_preview.h"

namespace pelmora::ui {

namespace {

QList<QKeySequence> Keys(std::initializer_list<QKeyCombination> keys) {
    QList<QKeySequence> list;
    for (const QKeyCombination key : keys) list << QKeySequence(key);
    return list;
}

}  // namespace

std::optional<ProjectEdit> MainWindow::Edit() {
    // Between hand-overs the worker owns the project; at a hand-over it waits for us.
    if (state_ == WindowState::Adding) return std::nullopt;
    return ProjectEdit(project_);
}

void MainWindow::RegisterCommands() {
    commands_ = new CommandTable(this);
    commands_->SetStepRunner([this](const std::string& name, const std::function<void()>& action) {
        RunStep(name, action);
    });
    const auto idle = [this] { return state_ == WindowState::Idle; };
    struct Entry {
        const char* id;
        const char* text;
        QList<QKeySequence> keys;
        void (MainWindow::*execute)();
        const char* undoName;
    };
    const Entry entries[] = {
        {"open", "&Open", Keys({Qt::CTRL | Qt::Key_O}), &MainWindow::OpenCommand, ""},
        {"new", "&New", Keys({Qt::CTRL | Qt::Key_N}), &MainWindow::NewCommand, ""},
        {"close", "&Close", Keys({Qt::CTRL | Qt::Key_W}), &MainWindow::CloseCommand, ""},
        {"import", "&Import", {}, &MainWindow::ImportCommand, "Import"},
        {"copyPage", "Copy &Page", Keys({Qt::CTRL | Qt::Key_P}), &MainWindow::CopyPageCommand, ""},
        {"copyTexture", "Copy &Texture", Keys({Qt::CTRL | Qt::Key_T}),
         &MainWindow::CopyTextureCommand, ""},
        {"pastePage", "Paste &Page", Keys({Qt::ALT | Qt::Key_P}), &MainWindow::PastePageCommand,
         "Paste Page"},
        {"pasteTexture", "Paste &Texture", Keys({Qt::ALT | Qt::Key_T}),
         &MainWindow::PasteTextureCommand, "Paste Texture"},
        {"deletePage", "&Delete", {}, &MainWindow::DeletePageCommand, "Delete Page"},
        {"exportPage", "&Export", {}, &MainWindow::ExportPageCommand, ""},
        {"exportPageTextures", "&Export Textures", {}, &MainWindow::ExportPageTexturesCommand, ""},
        {"exportAllPages", "&Export All", {}, &MainWindow::ExportAllPagesCommand, ""},
        {"exportSingleImage",
         "&Export All (single image)",
         {},
         &MainWindow::ExportSingleImageCommand,
         ""},
        {"importPage", "&Import", {}, &MainWindow::ImportPageCommand, "Import Page"},
        // Adding pieces opens its step when the run starts and closes it when the worker is done.
        {"addPieces", "&Add New", {}, &MainWindow::AddNewPiecesCommand, ""},
        {"addFolder", "Add &Folder...", {}, &MainWindow::AddFolderCommand, ""},
        {"deletePiece", "&Delete", {}, &MainWindow::DeletePieceCommand, "Delete Piece"},
        {"exportPiece", "&Export", {}, &MainWindow::ExportPieceCommand, ""},
        {"exportAllTextures", "&Export All", {}, &MainWindow::ExportAllTexturesCommand, ""},
        {"importPiece", "&Import", {}, &MainWindow::ImportPieceCommand, "Import Piece"},
        {"addRecord", "&Add New", {}, &MainWindow::AddRecordCommand, "Add Record"},
        {"addRecordsFromGrid",
         "&Add New (from grid)",
         {},
         &MainWindow::AddRecordsFromGridCommand,
         "Add Records from Grid"},
        {"deleteRecord", "&Delete", {}, &MainWindow::DeleteRecordCommand, "Delete Record"},
        {"editRecord", "&Edit", {}, &MainWindow::EditRecordCommand, "Edit Record"},
        {"exportRecords", "&Export", {}, &MainWindow::ExportRecordsCommand, ""},
        {"importRecords", "&Import", {}, &MainWindow::ImportRecordsCommand, "Import Records"},
        {"sort", "Sort", {}, &MainWindow::SortCommand, "Sort"},
        {"checkDuplicates", "Check", {}, &MainWindow::CheckDuplicatesCommand, "Remove Duplicates"},
        {"applyNumbers", "Apply Numbers", {}, &MainWindow::ApplyNumbersCommand, "Apply Numbers"},
        // The worker fills the pages it makes in the new page colour: it must not change under it.
        {"newPageColour", "&New Page Color", {}, &MainWindow::ChooseNewPageColourCommand, ""},
    };
    for (const Entry& e : entries) {
        Command command;
        command.id = e.id;
        command.text = QString::fromLatin1(e.text);
        command.shortcuts = e.keys;
        command.onEnabled = idle;
        command.onExecute = [this, f = e.execute] { (this->*f)(); };
        command.undoName = e.undoName;
        commands_->Register(std::move(command));
    }
    // Those whose functions take arguments or answer something.
    auto& table = *commands_;
    table.Register(
        {"save", "&Save", Keys({Qt::CTRL | Qt::Key_S}), idle, [this] { SaveCommand(); }, {}});
    table.Register({"saveAs",
                    "S&ave As",
                    Keys({Qt::CTRL | Qt::SHIFT | Qt::Key_S}),
                    idle,
                    [this] { SaveAsCommand(); },
                    {}});
    table.Register({"addPage", "&Add New", {}, idle, [this] { AddNewPagesCommand(); }, "Add Page"});
    table.Register({"undo",
                    "&Undo",
                    Keys({Qt::CTRL | Qt::Key_Z}),
                    [this] { return state_ == WindowState::Idle && history_.CanUndo(); },
                    [this] { UndoCommand(); },
                    {}});
    table.Register({"redo",
                    "&Redo",
                    Keys({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y}),
                    [this] { return state_ == WindowState::Idle && history_.CanRedo(); },
                    [this] { RedoCommand(); },
                    {}});
    // The display options change no page or record; they stay while pieces are added.
    for (const auto& [id, text, target] :
         {std::tuple{"gridColour", "&Grid Color", ColourTarget::Grid},
          std::tuple{"trackColour", "&Track Color", ColourTarget::Track},
          std::tuple{"numberColour", "&Number Color", ColourTarget::Number},
          std::tuple{"selectionColour", "&Selection Color", ColourTarget::Selection},
          std::tuple{"rectangleColour", "&Rectangle Color", ColourTarget::Rectangle}})
        table.Register({id,
                        QString::fromLatin1(text),
                        {},
                        {},
                        [this, target = target] { ChooseColourCommand(target); },
                        {}});
    table.Register({"numberFont", "&Number Font", {}, {}, [this] { NumberFontCommand(); }, {}});
    table.Register(
        {"progressFont", "&Progress Font", {}, {}, [this] { ProgressFontCommand(); }, {}});
    table.Register(
        {"checkForUpdate", "&Check for Update", {}, {}, [this] { CheckForUpdateCommand(); }, {}});
    table.Register({"about", "&About", {}, {}, [this] { AboutCommand(); }, {}});
    // Exit stays while pieces are added: the close guard answers it. Stop is there for them.
    table.Register({"exit", "&Exit", Keys({Qt::CTRL | Qt::Key_Q}), {}, [this] { close(); }, {}});
    table.Register({"stop", "Stop", {}, {}, [this] { StopCommand(); }, {}});
}

void MainWindow::RunStep(const std::string& name, const std::function<void()>& action) {
    const std::optional<ProjectEdit> edit = Edit();
    // A command called from inside another one's step belongs to that step.
    if (!edit || !edit->project().IsOpen() || history_.InStep()) {
        action();
        UpdateCommands();
        return;
    }
    history_.BeginStep(edit->project(), name);
    action();
    EndStep();
}

void MainWindow::EndStep() {
    if (!history_.InStep()) return;
    const EditHistory::StepEnd end = history_.EndStep(project_);
    if (end == EditHistory::StepEnd::TooLarge)
        modal_.Message(QString::fromLatin1(kCannotUndoMessage), {}, MessageIcon::Warning);
    if (end != EditHistory::StepEnd::NothingChanged) SetModified(!history_.AtSavedState());
    UpdateCommands();
}

void MainWindow::UndoCommand() {
    const std::optional<ProjectEdit> edit = Edit();
    if (!edit || state_ != WindowState::Idle || !history_.Undo(edit->project())) return;
    AfterHistoryMove();
}

void MainWindow::RedoCommand() {
    const std::optional<ProjectEdit> edit = Edit();
    if (!edit || state_ != WindowState::Idle || !history_.Redo(edit->project())) return;
    AfterHistoryMove();
}

void MainWindow::AfterHistoryMove() {
    SetModified(!history_.AtSavedState());
    SyncFromProject();
    if (textureList_->currentIndex() >= 0) {
        ShowSelectedTexture();
    } else {
        preview_->Clear();
        if (pageList_->count() == 0)
            canvas_->ClearPage();
        else
            RedrawCurrentPage();
    }
    UpdateCommands();
}

void MainWindow::ForgetHistory() {
    history_.Clear();
    UpdateCommands();
}

void MainWindow::UpdateCommands() {
    const auto named = [](const char* verb, const std::string& name) {
        return name.empty()
                   ? QString::fromLatin1(verb)
                   : QString::fromLatin1(verb) + QLatin1Char(' ') + QString::fromStdString(name);
    };
    commands_->Action("undo")->setText(named("&Undo", history_.UndoName()));
    commands_->Action("redo")->setText(named("&Redo", history_.RedoName()));
    commands_->UpdateCommands();
}

void MainWindow::SetState(WindowState state) {
    const bool wasLocked = state_ != WindowState::Idle;
    state_ = state;
    const bool locked = state_ != WindowState::Idle;
    // The hand-overs come with every piece; only the start and the end of a run change what
    // the user may do.
    if (wasLocked == locked) return;
    fileMenu_->menuAction()->setEnabled(!locked);
    editMenu_->menuAction()->setEnabled(!locked);
    UpdateCommands();
    RebuildRecentMenu();  // follows Open
    stopButton_->setVisible(locked);
    pieceAddNew_->setVisible(!locked);
    menuBar()->update();
}

void MainWindow::SetWorkingState(bool on) {
    SetState(on ? WindowState::Locked : WindowState::Idle);
}

}  // namespace pelmora::ui
