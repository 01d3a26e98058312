// The record list as a whole: the records file, sorting and the duplicate check.
#include <QApplication>

#include "base/paths.h"
#include "records/duplicate_check.h"
#include "records/record_sort.h"
#include "records/records_file.h"
#include "ui/editor_texts.h"
#include "ui/main_window.h"

namespace pelmora::ui {

namespace {

FileDialogRequest RecordsFileRequest(const Project& project, const QString& folder,
                                     const QString& title) {
    FileDialogRequest request;
    request.title = title;
    request.folder = folder;
    // A ".json" name gets the JSON form; the core goes by the name.
    request.filters = {{QStringLiteral("Pelmora Texture Records(*.rec)"), QStringLiteral("*.rec")},
                       {QStringLiteral("JSON (*.json)"), QStringLiteral("*.json")}};
    request.defaultSuffix = QStringLiteral("rec");
    const std::string name = FileNameOf(WithExtension(project.filePath, "rec"));
    if (!project.filePath.empty()) request.proposedName = QString::fromStdString(name);
    return request;
}

}  // namespace

void MainWindow::ExportRecordsCommand() {
    if (!Edit() || textureList_->count() == 0) return;
    const QString path = modal_.SaveFile(RecordsFileRequest(
        project_, DialogFolder(remembered_.recordsFolder), QStringLiteral("Export Records")));
    if (path.isEmpty()) return;
    remembered_.recordsFolder = DirectoryOf(path.toStdString());
    NoteFolder(remembered_.recordsFolder);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = ExportRecords(project_, path.toStdString());
    QApplication::restoreOverrideCursor();
    ShowResult(result);
}

void MainWindow::ImportRecordsCommand() {
    if (!Edit() || pageList_->count() == 0) return;
    const QString path = modal_.OpenFile(RecordsFileRequest(
        project_, DialogFolder(remembered_.recordsFolder), QStringLiteral("Import Records")));
    if (path.isEmpty()) return;
    remembered_.recordsFolder = DirectoryOf(path.toStdString());
    NoteFolder(remembered_.recordsFolder);
    const Outcome check = CheckRecordsFile(path.toStdString());
    if (!check.IsDone()) {
        ShowResult(check);
        return;
    }
    const QMessageBox::StandardButton answer = modal_.Ask(
        QString::fromLatin1(kImportRecordsQuestion), QString::fromLatin1(kImportRecordsCaption),
        MessageIcon::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    RecordsImportMode mode;
    int shift = 0;
    if (answer == QMessageBox::Yes) {
        mode = RecordsImportMode::Overwrite;
    } else if (answer == QMessageBox::No) {
        mode = RecordsImportMode::Append;
        shift = modal_.AskMergeShift(pageList_->count());
    } else {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = ImportRecords(project_, path.toStdString(), mode, shift);
    QApplication::restoreOverrideCursor();
    AfterSelectingFirst(result);
}

void MainWindow::SortCommand() {
    if (!Edit() || !project_.IsOpen() || !ConfirmRetexture()) return;
    const std::optional<int> choice = modal_.AskSortOrder(remembered_.sortChoice);
    if (!choice) return;
    remembered_.sortChoice = *choice;
    if (project_.RecordCount() < 2) return;
    // The list entries are numbered by position and stay as they are; what the selected
    // entry now stands for is shown again, so the display does not describe a record that
    // has moved away. A sort ends without a message, even when that record's page is missing.
    const Outcome result = SortRecordsByPage(
        project_, remembered_.sortChoice == 1 ? SortOrder::Descending : SortOrder::Ascending);
    NoteChange(result);
    ShowResult(result);
    if (!result.changed) return;
    SyncFromProject();
    ShowTexture(false);
}

void MainWindow::CheckDuplicatesCommand() {
    if (!Edit() || !project_.IsOpen()) return;
    if (modal_.Ask(QString::fromLatin1(kCheckDuplicatesQuestion),
                   QString::fromLatin1(kCheckDuplicatesCaption), MessageIcon::Question,
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DuplicateCheck found = FindDuplicates(project_.records);
    const Outcome written = WriteDuplicateListFile(session_.duplicateList, found);
    QApplication::restoreOverrideCursor();
    if (!written.IsDone()) {
        ShowResult(written);
        return;
    }
    const QString report = QString::fromStdString(session_.duplicateList.path);
    if (!modal_.OpenWithShell(report))
        modal_.Message(QString::fromLatin1(kUnableToOpenFileMessage) + report);
    if (found.removal.empty()) return;
    if (modal_.Ask(QString::fromLatin1(kRemoveDuplicatesQuestion),
                   QString::fromLatin1(kRemoveDuplicatesCaption), MessageIcon::Question,
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!ConfirmRetexture()) return;
    AfterSelectingFirst(RemoveDuplicates(project_, found));
}

}  // namespace pelmora::ui
