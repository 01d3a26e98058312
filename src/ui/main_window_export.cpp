// The bulk exports: every page, every texture, the textures of one page, all pages as one
// image.
#include <QApplication>
#include <QDir>

#include "base/paths.h"
#include "edit/single_image.h"
#include "export/bulk_export.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"

namespace pelmora::ui {

namespace {

// Shows an export's progress in a ProgressWindow that disables the main window while the
// export runs on this thread; a later stage (the gallery after the images) reuses it.
class ExportProgressDisplay {
public:
    ExportProgressDisplay(QWidget* owner, int width) : owner_(owner), width_(width) {}

    ExportProgress Callback() {
        return [this](const std::string& text, int done, int total) {
            if (done == 0) {
                if (!window_.Exists()) {
                    window_.Create(owner_, QStringLiteral("Progress"), true);
                    window_.GoModal(QStringLiteral("Progress"), false);
                }
                window_.SetRange(0, total, 1);
                window_.SetText(QString::fromStdString(text));
                if (width_ > 0) window_.SetWindowSize(1, width_);
                window_.SetPos(0);
            } else {
                window_.SetPos(done);
            }
            window_.PeekAndPump();
        };
    }

private:
    ProgressWindow window_;
    QWidget* owner_;
    int width_;  // 0: the size it was created with
};

// The single image is one of these formats; RAW, which the one-page export offers, holds
// no room for a page count.
std::vector<FileFilter> SingleImageFilters() {
    std::vector<FileFilter> filters = ImageSaveFilters();
    filters.resize(kExportFormats.size());
    return filters;
}

// Runs op under the wait cursor.
template <typename Op>
Outcome Waiting(Op&& op) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome result = op();
    QApplication::restoreOverrideCursor();
    return result;
}

}  // namespace

ExportDialogAnswer MainWindow::AskExportOptions(bool htmlAllowed) {
    ExportOptions current = remembered_.exportSettings;
    current.jpegQuality = remembered_.jpegQuality;
    ExportDialogAnswer answer =
        modal_.AskExportOptions(current, htmlAllowed, session_.customColours);
    // Confirmed inside the dialog on its own OK, so kept whichever way the dialog closed.
    remembered_.exportSettings.gallery = answer.options.gallery;
    return answer;
}

void MainWindow::ExportPageTexturesCommand() {
    if (!Edit() || !project_.IsOpen()) return;
    const ExportDialogAnswer answer = AskExportOptions(false);
    remembered_.exportSettings.folder = answer.options.folder;
    if (!answer.confirmed) return;
    remembered_.exportSettings.format = answer.options.format;
    remembered_.jpegQuality = answer.options.jpegQuality;
    if (textureList_->count() == 0 || pageList_->currentIndex() < 0) return;
    ExportOptions options = remembered_.exportSettings;
    options.jpegQuality = remembered_.jpegQuality;
    const int page = pageList_->currentIndex();
    ShowResult(Waiting([&] { return ExportPageTextures(project_, page, options); }));
}

void MainWindow::ExportAllTexturesCommand() {
    if (!Edit() || !project_.IsOpen()) return;
    const ExportDialogAnswer answer = AskExportOptions(true);
    remembered_.exportSettings.folder = answer.options.folder;
    if (!answer.confirmed) return;
    remembered_.exportSettings.format = answer.options.format;
    remembered_.exportSettings.saveHtmlPage = answer.options.saveHtmlPage;
    remembered_.jpegQuality = answer.options.jpegQuality;
    ExportOptions options = remembered_.exportSettings;
    options.jpegQuality = remembered_.jpegQuality;
    ExportProgressDisplay progress(this, 200);
    ShowResult(Waiting([&] { return ExportAllTextures(project_, options, progress.Callback()); }));
}

void MainWindow::ExportAllPagesCommand() {
    if (!Edit() || !project_.IsOpen()) return;
    const ExportDialogAnswer answer = AskExportOptions(true);
    if (!answer.confirmed) return;
    remembered_.exportSettings.folder = answer.options.folder;
    remembered_.exportSettings.format = answer.options.format;
    remembered_.exportSettings.saveHtmlPage = answer.options.saveHtmlPage;
    remembered_.jpegQuality = answer.options.jpegQuality;
    ExportOptions options = remembered_.exportSettings;
    options.jpegQuality = remembered_.jpegQuality;
    ExportProgressDisplay progress(this, 0);
    ShowResult(Waiting([&] { return ExportAllPages(project_, options, progress.Callback()); }));
}

void MainWindow::ExportSingleImageCommand() {
    if (!Edit() || !project_.IsOpen() || project_.PageCount() == 0) return;
    FileDialogRequest request;
    request.folder = DialogFolder(remembered_.singleImageFolder);
    request.proposedName = QStringLiteral("Page1-%1").arg(project_.PageCount());
    request.filters = SingleImageFilters();
    request.defaultSuffix = QStringLiteral("bmp");
    const QString path = modal_.SaveFile(request);
    if (path.isEmpty()) return;
    remembered_.singleImageFolder = DirectoryOf(path.toStdString());
    NoteFolder(remembered_.singleImageFolder);
    if (AsksForJpegQuality(path.toStdString()))
        remembered_.jpegQuality = modal_.AskJpegQuality(remembered_.jpegQuality);
    ShowResult(Waiting(
        [&] { return ExportSingleImage(project_, path.toStdString(), remembered_.jpegQuality); }));
}

}  // namespace pelmora::ui
