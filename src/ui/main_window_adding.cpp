// Texture Pieces > Add New: the working state, the worker and what it reports.
#include <QApplication>
#include <QMenuBar>

#include "base/paths.h"
#include "edit/image_folders.h"
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
        // The worker is joined: the project is ours again, and the whole run, also a
        // stopped one, is one step.
        SetState(WindowState::Locked);
        if (job_->Result().placed > 0 || job_->Result().pagesAdded > 0) SetModified(true);
        EndStep();
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

void MainWindow::AddNewPiecesCommand() {
    if (!project_.IsOpen() || IsWorking()) return;
    SetState(WindowState::Locked);
    progress_->StopRunDown();

    FileDialogRequest request;
    request.title = QString::fromLatin1(kAddPiecesDialogTitle);
    request.folder = DialogFolder(remembered_.pieceFolder);
    request.filters = ImageOpenFilters();
    const QStringList chosen = modal_.OpenFiles(request);
    if (chosen.isEmpty()) {
        FinishAdding();
        return;
    }
    remembered_.pieceFolder = DirectoryOf(chosen.front().toStdString());
    NoteFolder(remembered_.pieceFolder);
    std::vector<std::string> files;
    files.reserve(chosen.size());
    for (const QString& file : chosen) files.push_back(file.toStdString());
    StartAdding(std::move(files), "Add Pieces");
}

void MainWindow::AddFolderCommand() {
    if (!project_.IsOpen() || IsWorking()) return;
    SetState(WindowState::Locked);
    progress_->StopRunDown();
    const QString folder =
        modal_.ChooseFolder(QString::fromStdString(DirectoryOf(remembered_.pieceFolder)));
    if (folder.isEmpty()) {
        FinishAdding();
        return;
    }
    remembered_.pieceFolder = folder.toStdString() + "/";
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ImageFileList list = ExpandImageFolders({folder.toStdString()});
    QApplication::restoreOverrideCursor();
    for (const std::string& why : list.unreadable) modal_.Message(QString::fromStdString(why));
    StartAdding(std::move(list.files), "Add Folder");
}

void MainWindow::StartAdding(std::vector<std::string> files, const std::string& stepName) {
    loadFailures_ = 0;
    showLoadFailures_ = true;
    filesInRun_ = static_cast<int>(files.size());
    // The time remaining is reckoned from the start of this run, not from start-up.
    progress_->SetStartTime(progress_->Ticks());
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // Opened while the project is still ours; closed once the worker has given it back.
    history_.BeginStep(project_, stepName);
    SetState(WindowState::Adding);
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
    SetState(WindowState::HandOver);
    SetModified(true);  // each placed piece stays, also when the run is stopped
    SyncFromProject();
    if (settings_.texturesBeingAdded) ShowSelectedTexture();
    SetState(WindowState::Adding);
}

void MainWindow::OnAddingProgress(int index, int count, int percent, const QString& fileName) {
    progress_->SetPos(percent);
    progress_->SetWindowText(QString::fromStdString(AddingTextureText(
        index, count, percent, progress_->FormatEtr().toStdString(), fileName.toStdString())));
}

void MainWindow::FinishAdding() {
    progress_->repaint();
    progress_->RunDown(20);
    SetState(WindowState::Idle);
    if (!settings_.texturesBeingAdded) RequestRefresh();
}

}  // namespace pelmora::ui
