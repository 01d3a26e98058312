// The editing commands whose work is done by the editing core: deleting and records from
// the grid.
#include <QApplication>

#include "edit/deleting.h"
#include "edit/record_editing.h"
#include "ui/main_window.h"

namespace pelmora::ui {

void MainWindow::SetShowWarnings(bool on) {
    showWarnings_ = on;
    actions_.showWarnings->setChecked(on);
}

bool MainWindow::ConfirmRetexture() {
    if (!showWarnings_) return true;
    return modal_.Ask(QString::fromLatin1(kRetextureWarningText),
                      QString::fromLatin1(kRetextureWarningCaption), MessageIcon::Warning,
                      QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void MainWindow::AfterEdit(const OpResult& result) {
    ShowResult(result);
    if (!result.changed) return;
    SyncFromProject();
    ShowSelectedTexture();
}

void MainWindow::DeletePageCommand() {
    if (!CanTouchProject() || pageList_->count() == 0 || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const OpResult result = DeletePage(project_, pageList_->currentIndex());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::DeletePieceCommand() {
    if (!CanTouchProject() || textureList_->count() == 0 || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const OpResult result = DeletePiece(project_, textureList_->currentIndex());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::DeleteRecordCommand() {
    if (!CanTouchProject() || !project_.IsOpen() || !ConfirmRetexture()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const OpResult result = DeleteRecord(project_, textureList_->currentIndex());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::AddRecordsFromGridCommand() {
    if (!CanTouchProject() || !project_.IsOpen() || pageList_->count() == 0) return;
    AfterEdit(AddRecordsFromGrid(project_, std::max(pageList_->currentIndex(), 0),
                                 options_.gridAcross, options_.gridDown));
}

}  // namespace pelmora::ui
