// Pages and pieces through the desktop clipboard, and the CPU priority.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

#include "base/cpu_priority.h"
#include "base/image_flatten.h"
#include "edit/pasting.h"
#include "ui/main_window.h"
#include "ui/page_composer.h"

namespace pelmora::ui {

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void PutOnClipboard(const Image& image) {
    QGuiApplication::clipboard()->setImage(ToQImage(image));
    QApplication::beep();
}

}  // namespace

std::optional<Image> MainWindow::ClipboardImage() {
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        modal_.Message(QString::fromLatin1(kNoImageOnClipboardMessage));
        return std::nullopt;
    }
    // Whatever depth the desktop offers, the page takes 24 bits; transparent parts show the
    // colour a new page has, as they do in pieces added from files.
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull()) {  // no memory for the copy
        modal_.Message(QString::fromLatin1(kPasteTooLargeMessage));
        return std::nullopt;
    }
    return FlattenRgba(rgba.width(), rgba.height(), rgba.constBits(),
                       static_cast<size_t>(rgba.bytesPerLine()), project_.newPageColour);
}

void MainWindow::CopyPageCommand() {
    if (IsWorking() || !Edit() || pageList_->count() == 0) return;
    const WaitCursor wait;
    if (const std::optional<Image> page =
            project_.pages.GetBitmap(std::max(pageList_->currentIndex(), 0)))
        PutOnClipboard(*page);
}

void MainWindow::CopyTextureCommand() {
    if (IsWorking() || !Edit() || textureList_->count() == 0) return;
    const WaitCursor wait;
    if (const std::optional<Image> piece =
            TexturePiece(project_, std::max(textureList_->currentIndex(), 0)))
        PutOnClipboard(*piece);
}

void MainWindow::PastePageCommand() {
    if (IsWorking() || !Edit() || pageList_->count() == 0) return;
    const std::optional<Image> image = ClipboardImage();
    if (!image) return;
    Outcome result;
    {
        const WaitCursor wait;
        result = PastePage(project_, std::max(pageList_->currentIndex(), 0), *image);
    }
    NoteChange(result);
    ShowResult(result);
    if (!result.changed) return;
    RedrawCurrentPage();
    QApplication::beep();
}

void MainWindow::PasteTextureCommand() {
    if (IsWorking() || !Edit() || textureList_->count() == 0) return;
    const std::optional<Image> image = ClipboardImage();
    if (!image) return;
    Outcome result;
    {
        const WaitCursor wait;
        result = PasteTexture(project_, std::max(textureList_->currentIndex(), 0), *image);
    }
    NoteChange(result);
    ShowResult(result);
    // Also when nothing was pasted: a record whose page is missing is told so by showing it.
    ShowSelectedTexture();
    if (result.changed) QApplication::beep();
}

void MainWindow::SetCpuPriority(int value, bool tell) {
    // Normal from the settings file leaves the priority the program was started with, so
    // that starting it under "nice" keeps working.
    if (value < kCpuPriorityLow || value > kCpuPriorityHigh ||
        (!tell && value == kCpuPriorityNormal)) {
        settings_.cpuPriority = value;
        RefreshCpuPriorityChecks();
        return;
    }
    const CpuPriorityOutcome outcome = ApplyCpuPriority(value);
    if (!outcome.ok && tell)
        modal_.Message(QString::fromStdString(outcome.message), {}, MessageIcon::Warning);
    // A choice the user made and the system refused is not kept: the settings file then
    // keeps the priority the program really ran at.
    settings_.cpuPriority = tell ? outcome.inEffect : value;
    RefreshCpuPriorityChecks();
}

void MainWindow::RefreshCpuPriorityChecks() {
    const bool known =
        settings_.cpuPriority >= kCpuPriorityLow && settings_.cpuPriority <= kCpuPriorityHigh;
    const int inEffect = known ? CurrentCpuPriority() : 0;
    // The items are High, Normal, Low.
    for (size_t i = 0; i < cpuPriorityActions_.size(); ++i)
        cpuPriorityActions_[i]->setChecked(inEffect == kCpuPriorityHigh - static_cast<int>(i));
}

}  // namespace pelmora::ui
