// One page or one piece to and from an image file.
#include <QApplication>

#include "base/paths.h"
#include "edit/single_image.h"
#include "ui/main_window.h"

namespace pelmora::ui {

std::vector<FileFilter> ImageSaveFilters() {
    std::vector<FileFilter> filters;
    for (const ImageFormatInfo& format : ImageFormats()) filters.push_back(ImageFilter(format));
    return filters;
}

QString MainWindow::AskImageToImport(std::string& folder, const QString& title,
                                     const QString& defaultSuffix) {
    FileDialogRequest request;
    request.title = title;
    request.folder = DialogFolder(folder);
    request.filters = ImageOpenFilters();
    request.defaultSuffix = defaultSuffix;
    const QString path = modal_.OpenFile(request);
    if (path.isEmpty()) return path;
    folder = DirectoryOf(path.toStdString());
    NoteFolder(folder);
    return path;
}

QString MainWindow::AskImageToExport(std::string& folder, const QString& title,
                                     const std::string& proposedName) {
    FileDialogRequest request;
    request.title = title;
    request.folder = DialogFolder(folder);
    request.filters = ImageSaveFilters();
    request.defaultSuffix = QStringLiteral("bmp");
    request.proposedName = QString::fromStdString(proposedName);
    const QString path = modal_.SaveFile(request);
    if (path.isEmpty()) return path;
    folder = DirectoryOf(path.toStdString());
    NoteFolder(folder);
    if (AsksForJpegQuality(path.toStdString()))
        remembered_.jpegQuality = modal_.AskJpegQuality(remembered_.jpegQuality);
    return path;
}

void MainWindow::ImportPageCommand() {
    if (!Edit() || pageList_->count() == 0) return;
    const QString path =
        AskImageToImport(remembered_.pageFolder, QStringLiteral("Import Page"), {});
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result =
        ImportPage(project_, std::max(pageList_->currentIndex(), 0), path.toStdString());
    QApplication::restoreOverrideCursor();
    NoteChange(result);
    ShowResult(result);
    if (result.changed) RedrawCurrentPage();
}

void MainWindow::ImportPieceCommand() {
    if (!Edit() || textureList_->count() == 0) return;
    const QString path = AskImageToImport(remembered_.pieceFolder, QStringLiteral("Import Texture"),
                                          QStringLiteral("bmp"));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result =
        ImportPiece(project_, std::max(textureList_->currentIndex(), 0), path.toStdString());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::ExportPageCommand() {
    if (!Edit() || pageList_->count() == 0) return;
    const int page = std::max(pageList_->currentIndex(), 0);
    const QString path = AskImageToExport(remembered_.pageFolder, QStringLiteral("Export Page"),
                                          PageExportName(page));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = ExportPage(project_, page, path.toStdString(), remembered_.jpegQuality);
    QApplication::restoreOverrideCursor();
    // A save that failed is said so: the user must not take the file for written.
    ShowResult(result);
}

void MainWindow::ExportPieceCommand() {
    if (!Edit() || textureList_->count() == 0) return;
    const int texture = std::max(textureList_->currentIndex(), 0);
    const QString path = AskImageToExport(remembered_.pieceFolder, QStringLiteral("Export Texture"),
                                          TextureExportName(texture));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result =
        ExportPiece(project_, texture, path.toStdString(), remembered_.jpegQuality);
    QApplication::restoreOverrideCursor();
    ShowResult(result);
}

}  // namespace pelmora::ui
