#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <atomic>
#include <memory>
#include <vector>

#include "edit/add_pieces.h"
#include "store/project.h"
#include "ui/display_options.h"
#include "ui/modal_ui.h"
#include "ui/page_canvas.h"

namespace pelmora::ui {

class AddPiecesJob;
class ColourSwatch;
class DialogUnits;
class PageCanvas;
class PanelBackdrop;
class PiecePreview;
class TextProgressBar;

constexpr const char* kBusyMessage =
    "Please wait or stop the current process before closing the app...";
constexpr const char* kAddPiecesDialogTitle = "Open - select 1 or more textures to add...";
constexpr const char* kImportRecordsCaption = "Import Texture Records...";
constexpr const char* kImportRecordsQuestion =
    "How would you like to import the texture records?\nChoose YES to OVERWITE the current "
    "records...\nChoose NO to APPEND to the current records...\nChoose CANCEL to not import at "
    "this time...";
constexpr const char* kCheckDuplicatesCaption = "Check for Duplicates?";
constexpr const char* kCheckDuplicatesQuestion =
    "Would you like to check for duplicate texture positions?\nthis process can be a little "
    "slow...";
constexpr const char* kRemoveDuplicatesCaption = "Remove Duplicate Rects";
constexpr const char* kRemoveDuplicatesQuestion =
    "Would you like to automatically remove the duplicate rects?";

// The message shown at start-up on a screen of fewer than 24 bits per pixel; empty on
// a deeper one.
QString DisplayModeMessage(int bitsPerPixel);

// The image types the piece and page choosers offer, "All Supported Images" first.
std::vector<FileFilter> ImageOpenFilters();
// Gives a list count entries made from format ("Page %1") with 1, 2, ... without telling
// anyone that it changed.
void SyncList(QComboBox* list, int count, const QString& format);

// The image types a single page or piece can be written as, RAW last.
std::vector<FileFilter> ImageSaveFilters();

// The editor's one window: it owns the project, the display options and the flags of long
// work, and every command starts here.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The modal parts go through modal, which must outlive the window.
    explicit MainWindow(ModalUi& modal, QWidget* parent = nullptr);
    ~MainWindow() override;

    // What the window does once it is up: the display check, then the file named on the
    // command line (arguments as main() got them, the program first).
    void Start(const QStringList& arguments);

    // File commands.
    void OpenCommand();
    void OpenFile(const QString& path);
    void NewCommand();
    void CloseCommand();
    void ImportCommand();
    void SaveCommand();
    void SaveAsCommand();

    // Texture Pieces > Add New, Add Folder (every image inside a folder), and Stop.
    void AddNewPiecesCommand();
    void AddFolderCommand();
    void StopCommand();

    // Composes the current page with its overlays into the canvas and refreshes the
    // counters.
    void RedrawCurrentPage();
    // Shows the selected record: its values, its piece, its page.
    void ShowSelectedTexture();
    // The same, on the window's own thread once the current event is done.
    void RequestRefresh();
    // Paints the grid numbers into the current page for good.
    void ApplyNumbersCommand();

    // Deleting and records from the grid (main_window_editing.cpp).
    void DeletePageCommand();
    void DeletePieceCommand();
    void DeleteRecordCommand();
    void AddRecordsFromGridCommand();
    // The retexture warning: true when the user lets a destructive change go ahead.
    bool ConfirmRetexture();
    void SetShowWarnings(bool on);

    // The records file, sorting and the duplicate check (main_window_records.cpp).
    void ExportRecordsCommand();
    void ImportRecordsCommand();
    void SortCommand();
    void CheckDuplicatesCommand();

    // One page or piece to and from an image file (main_window_images.cpp).
    void ImportPageCommand();
    void ImportPieceCommand();
    void ExportPageCommand();
    void ExportPieceCommand();
    int JpegQuality() const { return jpegQuality_; }

    // The bulk exports (main_window_export.cpp).
    void ExportPageTexturesCommand();
    void ExportAllPagesCommand();
    void ExportAllTexturesCommand();
    void ExportSingleImageCommand();
    // The export settings as the next Export Options dialog opens with them (the JPEG
    // quality is JpegQuality()).
    const ExportOptions& ExportSettings() const { return exportSettings_; }
    const std::string& SingleImageFolder() const { return singleImageFolder_; }

    // New pages and records by dialog (main_window_editing.cpp). A page that a record needs
    // must be made: then the dialog cannot be declined.
    void AddNewPagesCommand(bool pageRequired = false);
    void ChooseNewPageColourCommand();
    void AddRecordCommand();
    void EditRecordCommand();

    // Help > Check for Update (main_window_update.cpp).
    void CheckForUpdateCommand();

    void SetWorkingState(bool on);
    bool IsWorking() const { return working_.load(); }
    bool IsBusy() const { return busy_.load(); }

    Project& CurrentProject() { return project_; }
    DisplayOptions& Options() { return options_; }
    FileSortOrder SortOrder() const { return sortOrder_; }
    void SetSortOrder(FileSortOrder order);
    bool ShowTexturesBeingAdded() const { return showTexturesBeingAdded_; }
    void SetShowTexturesBeingAdded(bool on);
    bool ShowWarnings() const { return showWarnings_; }
    const std::string& RememberedPieceFolder() const { return pieceFolder_; }

    // The window's parts, for the commands that later features add and for tests.
    PageCanvas* Canvas() const { return canvas_; }
    PiecePreview* Preview() const { return preview_; }
    TextProgressBar* ProgressBar() const { return progress_; }
    QComboBox* PageList() const { return pageList_; }
    QComboBox* TextureList() const { return textureList_; }
    QLabel* PageCounter() const { return pageCounter_; }
    QLabel* TextureCounter() const { return textureCounter_; }
    QPlainTextEdit* RecordTextBox() const { return recordText_; }
    QPushButton* StopButton() const { return stopButton_; }
    QPushButton* PieceAddNewButton() const { return pieceAddNew_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* EditMenu() const { return editMenu_; }
    QMenu* OptionsMenu() const { return optionsMenu_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    AddPiecesJob* Job() const { return job_.get(); }
    const std::vector<QWidget*>& ConflictingControls() const { return conflicting_; }
    const std::vector<TextureRecord>& ShownRecords() const { return records_; }

    struct Actions {
        QAction* open = nullptr;
        QAction* newProject = nullptr;
        QAction* close = nullptr;
        QAction* import = nullptr;
        QAction* save = nullptr;
        QAction* saveAs = nullptr;
        QAction* exit = nullptr;
        QAction* addPieces = nullptr;
        QAction* addFolder = nullptr;
        QAction* sortByName = nullptr;
        QAction* sortBySizeAscending = nullptr;
        QAction* sortBySizeDescending = nullptr;
        QAction* showWarnings = nullptr;
        QAction* texturesBeingAdded = nullptr;
        QAction* newPageColour = nullptr;
    };
    const Actions& MenuActions() const { return actions_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and menus (main_window_layout.cpp).
    void BuildControls(const DialogUnits& du);
    void BuildMenus();
    void ConfigureProgressBar();
    QPushButton* AddButton(const QString& text, const QRect& r, bool available = true);
    QCheckBox* AddCheckBox(const QString& text, const QRect& r);
    QLabel* AddLabel(const QString& text, const QRect& r);
    QAction* AddAction(QMenu* menu, const QString& text, bool available = true);
    void ShowArrowMenu(QPushButton* button, const std::vector<QAction*>& items);

    // Keeps the lists and the shown records in step with the project. Only while the
    // project is not the worker's.
    void SyncFromProject();
    bool CanTouchProject() const;
    void ShowResult(const OpResult& result);
    void ClearViews();
    void UpdateTitle();
    std::optional<TrackTarget> HitTest(const QPoint& point) const;
    void OnSelectionDrawn(const QRect& selection);
    void OnGridListChosen(QComboBox* list, int& value);

    // The adding of pieces (main_window_adding.cpp).
    void ConnectJob();
    void StartAdding(std::vector<std::string> files);
    void OnFileFailed(const QString& message);
    void OnPiecePlaced(int recordIndex);
    void OnAddingProgress(int index, int count, int percent, const QString& fileName);
    void FinishAdding();
    // Shows what an editing command did and the selection it left.
    void AfterEdit(const OpResult& result);
    // The file choosers of the single image commands; each remembers its folder.
    QString AskImageToImport(std::string& folder, const QString& title,
                             const QString& defaultSuffix);
    QString AskImageToExport(std::string& folder, const QString& title,
                             const std::string& proposedName);
    // The Export Options dialog over the export settings; the answer as it came back.
    ExportDialogAnswer AskExportOptions(bool htmlAllowed);

    ModalUi& modal_;
    Project project_;
    DisplayOptions options_;
    std::vector<TextureRecord> records_;  // what the lists and the canvas show
    FileSortOrder sortOrder_ = FileSortOrder::Name;
    bool showTexturesBeingAdded_ = true;
    bool showWarnings_ = true;
    std::string pieceFolder_;
    std::string recordsFolder_;
    std::string pageFolder_;
    int jpegQuality_ = 100;
    ExportOptions exportSettings_;
    std::string singleImageFolder_;
    int sortChoice_ = 0;  // 0 ascending, 1 descending
    std::atomic<bool> working_{false};
    std::atomic<bool> busy_{false};
    bool workerActive_ = false;  // the project belongs to the worker between hand-overs
    bool inHandOver_ = false;
    // The load failures of the adding run under way: how many, whether to show them.
    int loadFailures_ = 0;
    bool showLoadFailures_ = true;
    int filesInRun_ = 0;
    std::unique_ptr<AddPiecesJob> job_;

    PanelBackdrop* backdrop_ = nullptr;
    PageCanvas* canvas_ = nullptr;
    PiecePreview* preview_ = nullptr;
    TextProgressBar* progress_ = nullptr;
    QComboBox* pageList_ = nullptr;
    QComboBox* textureList_ = nullptr;
    QComboBox* acrossList_ = nullptr;
    QComboBox* downList_ = nullptr;
    QLabel* pageCounter_ = nullptr;
    QLabel* textureCounter_ = nullptr;
    QPlainTextEdit* recordText_ = nullptr;
    QCheckBox* drawCheck_ = nullptr;
    QCheckBox* trackCheck_ = nullptr;
    QCheckBox* showGrid_ = nullptr;
    QCheckBox* showRectangles_ = nullptr;
    QCheckBox* showNumbers_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* pieceAddNew_ = nullptr;
    QPushButton* applyNumbers_ = nullptr;
    ColourSwatch* trackSwatch_ = nullptr;
    ColourSwatch* selectionSwatch_ = nullptr;
    ColourSwatch* gridSwatch_ = nullptr;
    ColourSwatch* rectangleSwatch_ = nullptr;
    ColourSwatch* numberSwatch_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* canvasMenu_ = nullptr;
    QMenu* previewMenu_ = nullptr;
    Actions actions_;
    // Disabled while the worker runs; those not in available_ stay disabled until the
    // features behind them exist.
    std::vector<QWidget*> conflicting_;
    std::vector<QWidget*> unavailable_;
};

}  // namespace pelmora::ui
