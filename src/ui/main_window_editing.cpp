// The editing commands whose work is done by the editing core: deleting and records from
// the grid.
#include <QApplication>

#include "base/paths.h"
#include "edit/deleting.h"
#include "edit/page_creation.h"
#include "edit/record_editing.h"
#include "ui/dialogs/record_dialog.h"
#include "ui/display_options.h"
#include "ui/editor_texts.h"
#include "ui/main_window.h"

namespace pelmora::ui {

void MainWindow::SetShowWarnings(bool on) {
    settings_.showWarnings = on;
    RefreshCheckMarks();
}

bool MainWindow::ConfirmRetexture() {
    if (!settings_.showWarnings) return true;
    return modal_.Ask(QString::fromLatin1(kRetextureWarningText),
                      QString::fromLatin1(kRetextureWarningCaption), MessageIcon::Warning,
                      QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void MainWindow::AfterEdit(const Outcome& result) {
    NoteChange(result);
    ShowResult(result);
    if (!result.changed) return;
    SyncFromProject();
    ShowSelectedTexture();
}

void MainWindow::AfterSelectingFirst(const Outcome& result) {
    NoteChange(result);
    if (!result.changed) {
        ShowResult(result);
        return;
    }
    // Such a command fails after changing the records only in selecting the first one,
    // which showing it reports.
    SyncFromProject();
    ShowSelectedTexture();
}

void MainWindow::DeletePageCommand() {
    if (!Edit() || pageList_->count() == 0 || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = DeletePage(project_, pageList_->currentIndex());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::DeletePieceCommand() {
    if (!Edit() || textureList_->count() == 0 || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = DeletePiece(project_, textureList_->currentIndex());
    QApplication::restoreOverrideCursor();
    // The editor ends a refused piece deletion (texture 1, a record without its page)
    // silently, as it always has: the list shows why nothing happened.
    AfterEdit(result.kind == Outcome::Kind::Refused ? Outcome::Done(false) : result);
}

void MainWindow::DeleteRecordCommand() {
    if (!Edit() || !project_.IsOpen() || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = DeleteRecord(project_, textureList_->currentIndex());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::AddNewPagesCommand(bool pageRequired) {
    if (!Edit() || !project_.IsOpen()) return;
    std::optional<NewPageOptions> options;
    for (;;) {
        options = modal_.AskNewPages(project_.newPageColour, session_.customColours,
                                     DialogFolder(remembered_.pageFolder));
        if (options || !pageRequired) break;
        modal_.Message(QString::fromLatin1(kMustClickYesMessage));
    }
    if (!options) return;
    if (!options->imagePath.empty()) {
        remembered_.pageFolder = DirectoryOf(options->imagePath);
        NoteFolder(remembered_.pageFolder);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = AddNewPages(project_, *options);
    QApplication::restoreOverrideCursor();
    NoteChange(result);
    ShowResult(result);
    if (!result.changed) return;
    // New pages leave the record selection alone: only the page list follows.
    SyncList(pageList_, project_.PageCount(), QStringLiteral("Page %1"));
    pageList_->setCurrentIndex(project_.selectedPage);
    RedrawCurrentPage();
}

void MainWindow::ChooseNewPageColourCommand() {
    if (const std::optional<QColor> colour =
            modal_.ChooseColour(ToQColor(project_.newPageColour), session_.customColours))
        project_.newPageColour = FromQColor(*colour);
}

void MainWindow::AddRecordCommand() {
    if (!Edit() || !project_.IsOpen()) return;
    const std::optional<RecordFields> fields = modal_.AskRecord(
        AddRecordTitle(project_.RecordCount()), NewRecordFields(), pageList_->count());
    if (!fields) return;
    const Outcome result = AddTextureRecord(project_, *fields);
    if (result.changed && RecordNeedsNewPage(project_, project_.RecordCount() - 1))
        AddNewPagesCommand(true);
    AfterEdit(result);
}

void MainWindow::EditRecordCommand() {
    if (!Edit() || textureList_->count() == 0) return;
    const int index = textureList_->currentIndex();
    const Outcome editable = CheckRecordEditable(project_, index);
    if (!editable.IsDone()) {
        ShowResult(editable);
        return;
    }
    const std::optional<RecordFields> fields = modal_.AskRecord(
        EditRecordTitle(index), FieldsOfRecord(project_.records[index]), pageList_->count());
    if (!fields) return;
    const Outcome result = EditTextureRecord(project_, index, *fields);
    if (result.changed && RecordNeedsNewPage(project_, index)) AddNewPagesCommand(true);
    AfterEdit(result);
}

void MainWindow::AddRecordsFromGridCommand() {
    if (!Edit() || !project_.IsOpen() || pageList_->count() == 0) return;
    AfterEdit(AddRecordsFromGrid(project_, std::max(pageList_->currentIndex(), 0),
                                 options_.gridAcross, options_.gridDown));
}

}  // namespace pelmora::ui
