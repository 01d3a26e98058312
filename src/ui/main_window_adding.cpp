// Texture Pieces > Add New: the working state, the worker and what it reports.
#include <QApplication>
#include <QMenuBar>

#include "edit/image_folders.h"
#include "base/paths.h"
#include "ui/add_pieces_job.h"
#include "ui/main_window.h"
#include "ui/text_progress_bar.h"

namespace pelmora::ui {

void MainWindow::ConnectJob() {
    // The job emits on this thread; these handlers run while the worker goes on, except
    // piecePlaced and fileFailed, for which it waits.
    connect(job_.get(), &AddPiecesJob::titleChanged, progress_, &TextProgressBar::SetWindowText);
    connect(job_.get(), &AddPiecesJob::stepped, progress_, [this] { progress_->StepIt(); });
    connect(job_.get(), &AddPiecesJob::progressed, this, &MainWindow::OnAddingProgress);
    connect(job_.get(), &AddPiecesJob::piecePlaced, this, &MainWindow::OnPiecePlaced);
    connect(job_.get(), &AddPiecesJob::fileFailed, this,
            [this](const QString& message, const QString&) { OnFileFailed(message); });
    connect(job_.get(), &AddPiecesJob::finished, this, [this] {
        QApplication::restoreOverrideCursor();
        workerActive_ = false;
        if (job_->Result().placed > 0 || job_->Result().pagesAdded > 0) SetModified(true);
        SyncFromProject();
        FinishAdding();
        const std::vector<std::string>& skipped = job_->Result().failedFiles;
        if (skipped.size() > 1)
            modal_.Message(QString::fromStdString(SkippedFilesSummary(skipped, filesInRun_)));
    });
}

void MainWindow::SetSortOrder(FileSortOrder order) {
    settings_.sortFilesBy = static_cast<int>(order);
    RefreshCheckMarks();
}

FileSortOrder MainWindow::SortOrder() const {
    const int by = settings_.sortFilesBy;
    return by >= 1 && by <= 3 ? static_cast<FileSortOrder>(by) : FileSortOrder::Name;
}

void MainWindow::SetShowTexturesBeingAdded(bool on) {
    settings_.texturesBeingAdded = on;
    RefreshCheckMarks();
}

void MainWindow::SetWorkingState(bool on) {
    working_.store(on);
    fileMenu_->menuAction()->setEnabled(!on);
    editMenu_->menuAction()->setEnabled(!on);
    for (QWidget* control : conflicting_) {
        const bool available =
            std::find(unavailable_.begin(), unavailable_.end(), control) == unavailable_.end();
        control->setEnabled(!on && available);
    }
    // The worker fills the pages it makes in the new page colour: it must not change under it.
    actions_.newPageColour->setEnabled(!on);
    // Their keys would otherwise reach them past the disabled File menu; Exit stays, and the
    // close guard answers it.
    for (QAction* action : {actions_.open, actions_.newProject, actions_.close, actions_.import,
                            actions_.save, actions_.saveAs})
        action->setEnabled(!on);
    RebuildRecentMenu();  // follows Open
    // The clipboard keys reach their commands even with the Edit menu disabled.
    for (QAction* action : clipboardActions_) action->setEnabled(!on);
    stopButton_->setVisible(on);
    pieceAddNew_->setVisible(!on);
    menuBar()->update();
}

void MainWindow::AddNewPiecesCommand() {
    if (!project_.IsOpen() || workerActive_ || IsWorking()) return;
    SetWorkingState(true);
    busy_.store(true);
    progress_->StopRunDown();

    FileDialogRequest request;
    request.title = QString::fromLatin1(kAddPiecesDialogTitle);
    request.folder = DialogFolder(pieceFolder_);
    request.filters = ImageOpenFilters();
    const QStringList chosen = modal_.OpenFiles(request);
    if (chosen.isEmpty()) {
        FinishAdding();
        return;
    }
    pieceFolder_ = DirectoryOf(chosen.front().toStdString());
    NoteFolder(pieceFolder_);
    std::vector<std::string> files;
    files.reserve(chosen.size());
    for (const QString& file : chosen) files.push_back(file.toStdString());
    StartAdding(std::move(files));
}

void MainWindow::AddFolderCommand() {
    if (!project_.IsOpen() || workerActive_ || IsWorking()) return;
    SetWorkingState(true);
    busy_.store(true);
    progress_->StopRunDown();
    const QString folder = modal_.ChooseFolder(QString::fromStdString(DirectoryOf(pieceFolder_)));
    if (folder.isEmpty()) {
        FinishAdding();
        return;
    }
    pieceFolder_ = folder.toStdString() + "/";
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ImageFileList list = ExpandImageFolders({folder.toStdString()});
    QApplication::restoreOverrideCursor();
    for (const std::string& why : list.unreadable) modal_.Message(QString::fromStdString(why));
    StartAdding(std::move(list.files));
}

void MainWindow::StartAdding(std::vector<std::string> files) {
    loadFailures_ = 0;
    showLoadFailures_ = true;
    filesInRun_ = static_cast<int>(files.size());
    // The time remaining is reckoned from the start of this run, not from start-up.
    progress_->SetStartTime(progress_->Ticks());
    QApplication::setOverrideCursor(Qt::BusyCursor);
    workerActive_ = true;
    // Every piece is handed over, whatever the view option says now: the lists follow each
    // new page and texture, and the option may be switched while the worker runs.
    job_->Start(std::move(files), SortOrder(), true);
}

void MainWindow::StopCommand() {
    job_->Stop();
}

void MainWindow::OnFileFailed(const QString& message) {
    // The worker waits for this box. With many bad files in one run, the user may let the
    // rest go by and read them all in the summary at the end.
    ++loadFailures_;
    if (!showLoadFailures_) return;
    if (loadFailures_ == 1) {
        modal_.Message(message);
        return;
    }
    const QMessageBox::StandardButton answer =
        modal_.Ask(message + QStringLiteral("\n\nShow the next images that cannot be loaded?"
                                            "\nChoose NO to list them at the end instead..."),
                   QString(), MessageIcon::Warning, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::No) showLoadFailures_ = false;
}

void MainWindow::OnPiecePlaced(int) {
    // The worker waits until this returns: the project is ours meanwhile.
    inHandOver_ = true;
    SetModified(true);  // each placed piece stays, also when the run is stopped
    SyncFromProject();
    if (settings_.texturesBeingAdded) ShowSelectedTexture();
    inHandOver_ = false;
}

void MainWindow::OnAddingProgress(int index, int count, int percent, const QString& fileName) {
    progress_->SetPos(percent);
    progress_->SetWindowText(QString::fromStdString(AddingTextureText(
        index, count, percent, progress_->FormatEtr().toStdString(), fileName.toStdString())));
}

void MainWindow::FinishAdding() {
    progress_->repaint();
    progress_->RunDown(20);
    busy_.store(false);
    SetWorkingState(false);
    if (!settings_.texturesBeingAdded) RequestRefresh();
}

}  // namespace pelmora::ui
