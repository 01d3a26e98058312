#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "base/paths.h"
#include "edit/record_editing.h"
#include "edit/single_image.h"
#include "ui/add_pieces_job.h"
#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/dialog_units.h"
#include "ui/editor_texts.h"
#include "ui/page_canvas.h"
#include "ui/page_composer.h"
#include "ui/piece_preview.h"
#include "ui/text_progress_bar.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora::ui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.toStdString();
}

// The busy cursor for as long as a command runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

FileDialogRequest WadOpenRequest(const Project& project, const QString& folder) {
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.folder = folder;
    request.proposedName = Q(project.filePath);
    request.filters = {
        {QStringLiteral("Stonecrypt Wad File (*.wad)"), QStringLiteral("*.wad;*.plm")}};
    return request;
}

}  // namespace

void SyncList(QComboBox* list, int count, const QString& format) {
    const QSignalBlocker block(list);
    while (list->count() > count) list->removeItem(list->count() - 1);
    while (list->count() < count) list->addItem(format.arg(list->count() + 1));
}

QString DisplayModeMessage(int bitsPerPixel) {
    if (bitsPerPixel >= 24) return {};
    const char* name = bitsPerPixel == 16 ? "High Color" : bitsPerPixel == 8 ? "256 Color" : "";
    return QString::asprintf(
        "You Need To Change Your Display Mode To 24 bit Color For Best Results...\nLet Me Know "
        "Of Any Problems You Incounter While Running Under Any Other Mode\nThis Current Mode "
        "\"%d bit\" %s",
        bitsPerPixel, name);
}

FileFilter ImageFilter(const ImageFormatInfo& format) {
    return {QString::fromStdString(FilterText(format)),
            QString::fromStdString(FilterPatterns(format))};
}

std::vector<FileFilter> ImageOpenFilters() {
    std::vector<FileFilter> filters = {
        {QStringLiteral("All Supported Images"),
         QString::fromStdString(ExtensionList(PictureFormats(), "*.", ";", ";"))}};
    for (const ImageFormatInfo& format : PictureFormats()) filters.push_back(ImageFilter(format));
    return filters;
}

MainWindow::MainWindow(ModalUi& modal, QWidget* parent)
    : QMainWindow(parent), modal_(modal), job_(std::make_unique<AddPiecesJob>(project_)) {
    modal_.SetOwner(this);
    remembered_.exportSettings.folder = QDir::toNativeSeparators(QDir::currentPath()).toStdString();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/pelmora/pelmora.png")));

    const DialogUnits du = DialogUnits::FromFont(font());
    backdrop_ = new PanelBackdrop(this);
    backdrop_->setFixedSize(du.X(442), du.Y(250));
    setCentralWidget(backdrop_);
    RegisterCommands();
    BuildControls(du);
    BuildMenus();
    ConnectOptionControls();
    ConfigureProgressBar();
    UpdateTitle();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    canvas_->isEmpty = [this] { return pageList_->count() == 0 && textureList_->count() == 0; };
    canvas_->hitTest = [this](const QPoint& p) { return HitTest(p); };
    canvas_->tipAnchor = [this] { return backdrop_->mapToGlobal(QPoint(15, 13)); };
    canvas_->SetTrackColour(options_.trackColour);
    connect(canvas_, &PageCanvas::textureClicked, this, [this](int index) {
        textureList_->setCurrentIndex(index);
        ShowSelectedTexture();
    });
    connect(canvas_, &PageCanvas::selectionChanged, this, [this](const QRect& s) {
        recordText_->setPlainText(QString::asprintf(
            "Selection: Left=%d, Top=%d, Right=%d, Bottom=%d, Width=%d, Height=%d", s.left(),
            s.top(), s.left() + s.width(), s.top() + s.height(), s.width(), s.height()));
    });
    connect(canvas_, &PageCanvas::dragEnded, this, [this] {
        const int r = textureList_->currentIndex();
        if (canvas_->DrawMode() && r >= 0 && r < static_cast<int>(records_.size()))
            recordText_->setPlainText(Q(RecordText(records_[r])));
    });
    connect(canvas_, &PageCanvas::selectionDrawn, this, &MainWindow::OnSelectionDrawn);
    connect(canvas_, &PageCanvas::contextMenuWanted, this, [this](const QPoint& at) {
        if (pageList_->count() > 0 && textureList_->count() > 0) canvasMenu_->popup(at);
    });
    connect(preview_, &PiecePreview::contextMenuWanted, this, [this](const QPoint& at) {
        if (!IsWorking() && textureList_->count() > 0) previewMenu_->popup(at);
    });
    connect(backdrop_, &PanelBackdrop::mouseMoved, canvas_, &PageCanvas::DestroyCoordinateTip);

    connect(pageList_, qOverload<int>(&QComboBox::activated), this, &MainWindow::RedrawCurrentPage);
    connect(textureList_, qOverload<int>(&QComboBox::activated), this,
            &MainWindow::ShowSelectedTexture);
    connect(drawCheck_, &QCheckBox::toggled, canvas_, &PageCanvas::SetDrawMode);
    connect(trackCheck_, &QCheckBox::toggled, canvas_, &PageCanvas::SetTrackMode);
    for (QCheckBox* box : {showGrid_, showRectangles_, showNumbers_}) {
        connect(box, &QCheckBox::clicked, this, &MainWindow::RedrawCurrentPage);
    }
    connect(acrossList_, qOverload<int>(&QComboBox::activated), this,
            [this] { OnGridListChosen(acrossList_, options_.gridAcross); });
    connect(downList_, qOverload<int>(&QComboBox::activated), this,
            [this] { OnGridListChosen(downList_, options_.gridDown); });
    pageList_->installEventFilter(this);
    textureList_->installEventFilter(this);

    ConnectJob();
    UpdateCommands();
    animation_->Load();
    animation_->Play();
}

MainWindow::~MainWindow() {
    // The worker must be gone before the project it works on.
    job_.reset();
    SaveSettings();
}

void MainWindow::Start(const QStringList& arguments) {
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QString message = DisplayModeMessage(screen->depth());
        if (!message.isEmpty()) modal_.Message(message);
    }
    LoadSettings();
    if (arguments.size() > 1 && !arguments.at(1).isEmpty()) OpenFile(arguments.at(1));
}

QString MainWindow::DialogFolder(const std::string& remembered) const {
    if (!remembered.empty()) return Q(DirectoryOf(remembered));
    // A family of dialogs not used yet opens where the user last was in any of them.
    if (!remembered_.lastFolder.empty()) return Q(remembered_.lastFolder);
    return Q(DirectoryOf({}));
}

void MainWindow::NoteFolder(const std::string& chosenPath) {
    remembered_.lastFolder = DirectoryOf(chosenPath);
}

void MainWindow::SyncFromProject() {
    records_ = project_.records;
    SyncList(pageList_, project_.PageCount(), QStringLiteral("Page %1"));
    SyncList(textureList_, static_cast<int>(records_.size()), QStringLiteral("Texture %1"));
    const QSignalBlocker blockPages(pageList_);
    const QSignalBlocker blockTextures(textureList_);
    pageList_->setCurrentIndex(project_.selectedPage < pageList_->count() ? project_.selectedPage
                                                                          : -1);
    textureList_->setCurrentIndex(
        project_.selectedTexture < textureList_->count() ? project_.selectedTexture : -1);
}

void MainWindow::UpdateTitle() {
    // Qt shows "[*]" as "*" while the window is modified and drops it otherwise, so the
    // title of an unchanged project reads as it always has.
    setWindowTitle(Q(ProjectTitle(project_, project_.IsOpen() ? "[*]" : "")));
}

void MainWindow::SetModified(bool modified) {
    modified_ = modified && project_.IsOpen();
    setWindowModified(modified_);
}

bool MainWindow::MayLetProjectGo() {
    if (!modified_) return true;
    const QString name = Q(FileNameOf(project_.filePath));
    const QMessageBox::StandardButton answer =
        modal_.Ask(QString::fromLatin1(kSaveChangesQuestion).arg(name), {}, MessageIcon::Question,
                   QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Discard) return true;
    if (answer != QMessageBox::Save) return false;
    // A save that failed or was cancelled keeps the project and the window as they are.
    return SaveCommand();
}

void MainWindow::ShowResult(const Outcome& result) {
    if (!result.IsDone() && !result.message.empty()) modal_.Message(Q(result.message));
}

void MainWindow::ClearViews() {
    canvas_->ClearPage();
    preview_->Clear();
    pageCounter_->setText(QStringLiteral("page 0 of 0"));
    textureCounter_->setText(QStringLiteral("0 of 0"));
    recordText_->clear();
}

// ---- File commands ----

void MainWindow::OpenCommand() {
    if (!MayLetProjectGo()) return;
    FileDialogRequest request =
        WadOpenRequest(project_, DialogFolder(session_.rememberedWadFolder));
    const QString path = modal_.OpenFile(request);
    if (path.isEmpty()) return;
    NoteFolder(S(path));
    OpenFile(path);
}

void MainWindow::OpenFile(const QString& path) {
    if (state_ == WindowState::Adding || state_ == WindowState::HandOver) return;
    Outcome result;
    {
        const BusyCursor busy;
        session_.RememberWadFolderOf(S(path));
        result = OpenTextureFile(project_, S(path));
    }
    // A file that could not be read at all leaves the project (and its changes) alone.
    if (result.changed || result.IsDone()) {
        SetModified(false);
        ForgetHistory();
    }
    if (!result.IsDone()) {
        ShowResult(result);
        // A recent file that has gone is dropped once its failure has been told.
        if (!QFileInfo::exists(path)) ForgetRecentFile(path);
        if (!project_.IsOpen()) {
            // Not a texture file: no project is open, but what was shown stays shown.
            UpdateTitle();
            return;
        }
        // The rest of the file could not be kept: the pages and records are there, the
        // title and the selection are not set.
        SyncFromProject();
        return;
    }
    NoteRecentFile(path);
    UpdateTitle();
    SyncFromProject();
    ShowSelectedTexture();
}

void MainWindow::NewCommand() {
    if (!MayLetProjectGo()) return;
    FileDialogRequest request;
    request.title = QStringLiteral("New");
    request.folder = DialogFolder(session_.rememberedWadFolder);
    request.filters = {{QStringLiteral("Texture Only Wad File (*.plm)"), QStringLiteral("*.plm")}};
    request.defaultSuffix = QStringLiteral("plm");
    const QString path = modal_.SaveFile(request);
    if (path.isEmpty()) return;
    NoteFolder(S(path));
    session_.RememberWadFolderOf(S(path));
    NewProject(project_, S(path));
    SetModified(false);
    ForgetHistory();
    UpdateTitle();
    SyncFromProject();
    ShowSelectedTexture();
}

void MainWindow::CloseCommand() {
    if (!MayLetProjectGo()) return;
    CloseProject(project_);
    RemoveDuplicateListFile(session_.duplicateList);
    SetModified(false);
    ForgetHistory();
    SyncFromProject();
    ClearViews();
    UpdateTitle();
}

void MainWindow::ImportCommand() {
    if (!project_.IsOpen()) {
        modal_.Message(QString::fromLatin1(kImportNeedsProjectMessage));
        return;
    }
    const QString path =
        modal_.OpenFile(WadOpenRequest(project_, DialogFolder(session_.rememberedWadFolder)));
    if (path.isEmpty()) return;
    NoteFolder(S(path));
    Outcome result;
    {
        const BusyCursor busy;
        session_.RememberWadFolderOf(S(path));
        result = ImportTextureFile(project_, S(path));
    }
    NoteChange(result);
    ShowResult(result);
    if (!result.IsDone()) return;
    SyncFromProject();
    ShowSelectedTexture();
}

bool MainWindow::SaveCommand() {
    if (!project_.IsOpen() || pageList_->count() == 0 || textureList_->count() == 0) return false;
    Outcome result;
    {
        const BusyCursor busy;
        result = SaveProject(project_);
    }
    ShowResult(result);
    if (result.IsDone()) {
        history_.MarkSaved();
        SetModified(false);
        NoteRecentFile(Q(project_.filePath));
    }
    UpdateTitle();  // a texture-only project may have moved to a ".plm" name
    return result.IsDone();
}

bool MainWindow::SaveAsCommand() {
    if (!project_.IsOpen() || pageList_->count() == 0 || textureList_->count() == 0) return false;
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.folder = DialogFolder(session_.rememberedWadFolder);
    if (project_.IsTextureOnly()) {
        request.filters = {
            {QStringLiteral("Texture Only Wad File (*.plm)"), QStringLiteral("*.plm")}};
        request.defaultSuffix = QStringLiteral("plm");
        request.proposedName = Q(WithExtension(project_.filePath, "plm"));
    } else {
        request.filters = {
            {QStringLiteral("Stonecrypt Wad File (*.wad)"), QStringLiteral("*.wad")}};
        request.defaultSuffix = QStringLiteral("wad");
        request.proposedName = Q(WithExtension(project_.filePath, "wad"));
    }
    const QString path = modal_.SaveFile(request);
    if (path.isEmpty()) return false;
    NoteFolder(S(path));
    Outcome result;
    {
        const BusyCursor busy;
        session_.RememberWadFolderOf(S(path));
        result = SaveProjectAs(project_, S(path));
    }
    ShowResult(result);
    if (result.IsDone()) {
        history_.MarkSaved();
        SetModified(false);
        NoteRecentFile(Q(project_.filePath));
    }
    UpdateTitle();
    return result.IsDone();
}

// ---- Showing the project ----

void MainWindow::RedrawCurrentPage() {
    if (pageList_->count() == 0) return;
    const int p = std::max(pageList_->currentIndex(), 0);
    const std::optional<Image> page = project_.pages.GetBitmap(p);
    if (!page) return;
    options_.showGrid = showGrid_->isChecked();
    options_.showRectangles = showRectangles_->isChecked();
    options_.showNumbers = showNumbers_->isChecked();
    const int r = std::max(textureList_->currentIndex(), 0);
    canvas_->SetComposedPage(ComposePage(*page, records_, p, r, options_));
    pageCounter_->setText(QStringLiteral("page %1 of %2").arg(p + 1).arg(pageList_->count()));
    textureCounter_->setText(QStringLiteral("%1 of %2")
                                 .arg(textureList_->currentIndex() + 1)
                                 .arg(textureList_->count()));
}

void MainWindow::ShowSelectedTexture() {
    ShowTexture(true);
}

void MainWindow::ShowTexture(bool reportMissingPage) {
    if (textureList_->count() == 0) return;
    const int r = textureList_->currentIndex();
    if (r < 0 || r >= static_cast<int>(records_.size())) return;
    recordText_->setPlainText(Q(RecordText(records_[r])));
    if (Edit()) {
        std::optional<Image> piece;
        const Outcome result = SelectTexture(project_, r, &piece);
        if (!result.IsDone()) {
            if (reportMissingPage)
                modal_.Message(Q(result.message), QStringLiteral("Error!"), MessageIcon::Warning);
            return;
        }
        if (piece) preview_->SetPiece(ToQImage(*piece));
        const QSignalBlocker block(pageList_);
        pageList_->setCurrentIndex(project_.selectedPage);
    } else if (records_[r].Page < pageList_->count()) {
        // The worker owns the project: show what the lists already hold.
        const QSignalBlocker block(pageList_);
        pageList_->setCurrentIndex(records_[r].Page);
    }
    RedrawCurrentPage();
}

void MainWindow::RequestRefresh() {
    QMetaObject::invokeMethod(this, &MainWindow::ShowSelectedTexture, Qt::QueuedConnection);
}

std::optional<TrackTarget> MainWindow::HitTest(const QPoint& point) const {
    const int page = pageList_->currentIndex();
    for (size_t i = 0; i < records_.size(); ++i) {
        const TextureRecord& r = records_[i];
        if (r.Page != page || !RecordRect(r).contains(point)) continue;
        return TrackTarget{static_cast<int>(i), RecordRect(r), r.FlipX, r.FlipY};
    }
    return std::nullopt;
}

void MainWindow::OnSelectionDrawn(const QRect& s) {
    if (!Edit() || pageList_->count() == 0) return;
    // A drawn record is undone like one added by its dialog.
    RunStep("Add Record", [&] {
        const Outcome result =
            AddRecordFromRectangle(project_, pageList_->currentIndex(), s.left(), s.top(),
                                   s.left() + s.width(), s.top() + s.height());
        if (!result.changed) return;
        SetModified(true);
        SyncFromProject();
        RequestRefresh();
    });
}

void MainWindow::ApplyNumbersCommand() {
    if (pageList_->count() == 0 || !Edit()) return;
    const int p = std::max(pageList_->currentIndex(), 0);
    const std::optional<Image> page = project_.pages.GetBitmap(p);
    if (!page) return;
    // The numbers are drawn here because they are text in the user's chosen font; the page
    // is then replaced as any other.
    QImage image = ToQImage(*page);
    DrawGridNumbers(image, options_);
    const Outcome replaced = ReplacePage(project_, p, FromQImage(image));
    NoteChange(replaced);
    ShowResult(replaced);
    if (replaced.IsDone()) canvas_->SetComposedPage(image);
}

// ---- Closing, keys and dropped files ----

void MainWindow::closeEvent(QCloseEvent* event) {
    if (IsWorking()) {
        modal_.Message(QString::fromLatin1(kBusyMessage));
        event->ignore();
        return;
    }
    // The question comes after the busy guard: work under way cannot be saved anyway.
    if (!MayLetProjectGo()) {
        event->ignore();
        return;
    }
    animation_->Stop();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // The window behaves as a dialog: Escape and Enter end it, through the close guard,
    // except that Enter on a focused button presses that button.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
                button->animateClick();
                return;
            }
            close();
            return;
        case Qt::Key_Escape:
            close();
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // P and T are the clipboard keys; they must not also jump the lists to an entry.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((watched == pageList_ && key == Qt::Key_P) ||
            (watched == textureList_ && key == Qt::Key_T))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    activateWindow();
    // Opening would pull the project from under the worker.
    if (IsWorking()) return;
    const QString path = urls.front().toLocalFile();
    if (!HasWadExtension(S(path))) {
        modal_.Message(QString::fromLatin1(kWrongExtensionMessage));
        return;
    }
    if (!MayLetProjectGo()) return;
    OpenFile(path);
}

}  // namespace pelmora::ui
