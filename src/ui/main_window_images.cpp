// One page or one piece to and from an image file.
#include <QApplication>

#include "base/paths.h"
#include "edit/single_image.h"
#include "ui/main_window.h"

namespace pelmora::ui {

std::vector<FileFilter> ImageSaveFilters() {
    return {{QStringLiteral("BMP (*.bmp)"), QStringLiteral("*.bmp")},
            {QStringLiteral("PCX (*.pcx)"), QStringLiteral("*.pcx")},
            {QStringLiteral("PNG (*.png)"), QStringLiteral("*.png")},
            {QStringLiteral("TGA (*.tga)"), QStringLiteral("*.tga")},
            {QStringLiteral("TIFF (*.tif, *.tiff)"), QStringLiteral("*.tif;*.tiff")},
            {QStringLiteral("JPEG (*.jpg, *.jpe, *.jpeg, *.jfif)"),
             QStringLiteral("*.jpg;*.jpe;*.jpeg;*.jfif")},
            {QStringLiteral("RAW (*.raw)"), QStringLiteral("*.raw")}};
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
    if (AsksForJpegQuality(path.toStdString())) jpegQuality_ = modal_.AskJpegQuality(jpegQuality_);
    return path;
}

void MainWindow::ImportPageCommand() {
    if (!CanTouchProject() || pageList_->count() == 0) return;
    const QString path = AskImageToImport(pageFolder_, QStringLiteral("Import Page"), {});
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
    if (!CanTouchProject() || textureList_->count() == 0) return;
    const QString path =
        AskImageToImport(pieceFolder_, QStringLiteral("Import Texture"), QStringLiteral("bmp"));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result =
        ImportPiece(project_, std::max(textureList_->currentIndex(), 0), path.toStdString());
    QApplication::restoreOverrideCursor();
    AfterEdit(result);
}

void MainWindow::ExportPageCommand() {
    if (!CanTouchProject() || pageList_->count() == 0) return;
    const int page = std::max(pageList_->currentIndex(), 0);
    const QString path =
        AskImageToExport(pageFolder_, QStringLiteral("Export Page"), PageExportName(page));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = ExportPage(project_, page, path.toStdString(), jpegQuality_);
    QApplication::restoreOverrideCursor();
    // A save that failed is said so: the user must not take the file for written.
    ShowResult(result);
}

void MainWindow::ExportPieceCommand() {
    if (!CanTouchProject() || textureList_->count() == 0) return;
    const int texture = std::max(textureList_->currentIndex(), 0);
    const QString path = AskImageToExport(pieceFolder_, QStringLiteral("Export Texture"),
                                          TextureExportName(texture));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = ExportPiece(project_, texture, path.toStdString(), jpegQuality_);
    QApplication::restoreOverrideCursor();
    ShowResult(result);
}

}  // namespace pelmora::ui
