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
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/edit_history.h"
#include "base/image_formats.h"
#include "base/project.h"
#include "base/settings_file.h"
#include "edit/add_pieces.h"
#include "ui/display_options.h"
#include "ui/editor_session.h"
#include "ui/modal_ui.h"
#include "ui/page_canvas.h"

namespace pelmora::ui {

class AddPiecesJob;
class AnimatedPicture;
class CommandTable;
class ColourSwatch;
class DialogUnits;
class PageCanvas;
class PanelBackdrop;
class PiecePreview;
class TextProgressBar;

constexpr const char* kBusyMessage =
    "Please wait or stop the current process before closing the app...";
// Asked before a project with unsaved changes is closed or replaced; %1 is its file name.
constexpr const char* kSaveChangesQuestion = "Save changes to %1?";
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
constexpr const char* kNoImageOnClipboardMessage = "No Image On Clipboard";
constexpr const char* kRemoveDuplicatesQuestion =
    "Would you like to automatically remove the duplicate rects?";

// The message shown at start-up on a screen of fewer than 24 bits per pixel; empty on
// a deeper one.
QString DisplayModeMessage(int bitsPerPixel);

// A chooser's filter for one image format: "TIFF (*.tif, *.tiff)".
FileFilter ImageFilter(const ImageFormatInfo& format);
// The image types the piece and page choosers offer, "All Supported Images" first.
std::vector<FileFilter> ImageOpenFilters();
// Gives a list count entries made from format ("Page %1") with 1, 2, ... without telling
// anyone that it changed.
void SyncList(QComboBox* list, int count, const QString& format);

// The image types a single page or piece can be written as, RAW last.
std::vector<FileFilter> ImageSaveFilters();

// The five overlay colours, numbered as the colour-menu target counts them.
enum class ColourTarget { Selection = 1, Grid, Rectangle, Track, Number };

// The named colours of a swatch's pop-up, in menu order (0x00BBGGRR).
struct NamedColour {
    const char* name;
    Colour colour;
};
extern const NamedColour kNamedColours[11];

// What the window remembers between commands, and through the session file between runs:
// the folders of its file dialogs, the export options, the recent files.
struct Remembered {
    std::string pieceFolder;
    std::string recordsFolder;
    std::string pageFolder;
    std::string singleImageFolder;
    std::string lastFolder;  // of the file last chosen in any file dialog
    int jpegQuality = 100;
    ExportOptions exportSettings;
    QStringList recentFiles;
    int sortChoice = 0;  // 0 ascending, 1 descending
};

// Who may touch the project while pieces are added.
enum class WindowState {
    Idle,      // the window's: every command may run
    Locked,    // still the window's, but a run of adding is being set up or wound down
    Adding,    // the worker's: the window only shows what it already holds
    HandOver,  // the worker waits while the window takes in a placed piece
};

// Proof that the project is free to be changed: MainWindow::Edit gives one only while the
// worker does not own the project. Commands take it before they touch the project.
class ProjectEdit {
public:
    Project& project() const { return project_; }

private:
    friend class MainWindow;
    explicit ProjectEdit(Project& project) : project_(project) {}
    Project& project_;
};

// The editor's one window: it owns the project, the display options and the flags of long
// work, and every command starts here.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The modal parts go through modal, which must outlive the window.
    explicit MainWindow(ModalUi& modal, QWidget* parent = nullptr);
    ~MainWindow() override;

    // What the window does once it is up: the display check, the settings file, then the
    // file named on the command line (arguments as main() got them, the program first).
    void Start(const QStringList& arguments);
    // Where Start reads the settings and the window writes them when it goes; by default
    // the place SettingsFilePath picks for the running program. Only a started window
    // writes them.
    void SetSettingsPath(const QString& path) { settingsPath_ = path; }
    const QString& SettingsPath() const { return settingsPath_; }
    // The preferences the settings file keeps besides the display options, as they stand.
    const Settings& Preferences() const { return settings_; }
    // 1 low, 2 normal, 3 high; any other value read from the settings file is kept as read.
    int CpuPriority() const { return settings_.cpuPriority; }

    // File commands.
    void OpenCommand();
    void OpenFile(const QString& path);
    void NewCommand();
    void CloseCommand();
    void ImportCommand();
    // True when the project was written (and is no longer changed).
    bool SaveCommand();
    bool SaveAsCommand();
    // File > Open Recent: the files last opened or saved, most recent first.
    void OpenRecentCommand(const QString& path);
    const QStringList& RecentFiles() const { return remembered_.recentFiles; }
    QMenu* RecentMenu() const { return recentMenu_; }

    // Whether the project has changes that are not in its file; the title marks them.
    bool IsModified() const { return modified_; }

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
    int JpegQuality() const { return remembered_.jpegQuality; }

    // The bulk exports (main_window_export.cpp).
    void ExportPageTexturesCommand();
    void ExportAllPagesCommand();
    void ExportAllTexturesCommand();
    void ExportSingleImageCommand();
    // The export settings as the next Export Options dialog opens with them (the JPEG
    // quality is JpegQuality()).
    const ExportOptions& ExportSettings() const { return remembered_.exportSettings; }
    const std::string& SingleImageFolder() const { return remembered_.singleImageFolder; }

    // New pages and records by dialog (main_window_editing.cpp). A page that a record needs
    // must be made: then the dialog cannot be declined.
    void AddNewPagesCommand(bool pageRequired = false);
    void ChooseNewPageColourCommand();
    void AddRecordCommand();
    void EditRecordCommand();

    // Help > Check for Update (main_window_update.cpp).
    void CheckForUpdateCommand();

    // Display options and the about box (main_window_options.cpp).
    void ChooseColourCommand(ColourTarget target);
    void RandomColourCommand(ColourTarget target);
    // Gives a colour to its swatch and redraws the page with it; the track colour shows
    // from the next mouse move.
    void SetDisplayColour(ColourTarget target, Colour colour);
    Colour DisplayColour(ColourTarget target) const;
    // The named colour pop-up of a swatch, as a right click opens it.
    void ShowNamedColourMenu(ColourTarget target, const QPoint& globalPos);
    ColourTarget NamedColourTarget() const { return colourTarget_; }
    void NumberFontCommand();
    void ProgressFontCommand();
    void AboutCommand();
    // The check marks of the option menus, set from the values they stand for.
    void RefreshCheckMarks();

    // Pages and pieces through the desktop clipboard (main_window_clipboard.cpp).
    void CopyPageCommand();
    void CopyTextureCommand();
    void PastePageCommand();
    void PasteTextureCommand();
    // Options > CPU Priority: 1 low, 2 normal, 3 high. tell: the user chose it, and a
    // refusal by the system is said in a message. Without tell (a value from the settings
    // file at start-up) nothing is said, a value this run may not apply is kept as chosen, and
    // Normal leaves the priority the program was started with. A value outside 1 to 3 is
    // kept with no item checked.
    void SetCpuPriority(int value, bool tell);
    // The Edit > Clipboard items (Copy Page, Copy Texture, Paste Page, Paste Texture) and the
    // Options > CPU Priority items (High, Normal, Low).
    const std::vector<QAction*>& ClipboardActions() const { return clipboardActions_; }
    const std::vector<QAction*>& CpuPriorityActions() const { return cpuPriorityActions_; }

    // Edit > Undo and Edit > Redo (main_window_commands.cpp).
    void UndoCommand();
    void RedoCommand();
    const EditHistory& History() const { return history_; }
    // Every command by id: its action, which menus show, and its enabled state.
    CommandTable& Commands() const { return *commands_; }

    // Locks the commands as for adding pieces (on) or frees them.
    void SetWorkingState(bool on);
    WindowState State() const { return state_; }
    // Pieces are being added (or a run is being set up or wound down): the close guard
    // refuses to close and the commands wait.
    bool IsWorking() const { return state_ != WindowState::Idle; }

    Project& CurrentProject() { return project_; }
    EditorSession& Session() { return session_; }
    DisplayOptions& Options() { return options_; }
    // Name order also for a sort value from the settings file that no menu item stands for.
    FileSortOrder SortOrder() const;
    void SetSortOrder(FileSortOrder order);
    bool ShowTexturesBeingAdded() const { return settings_.texturesBeingAdded; }
    void SetShowTexturesBeingAdded(bool on);
    bool ShowWarnings() const { return settings_.showWarnings; }
    const std::string& RememberedPieceFolder() const { return remembered_.pieceFolder; }

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
    QComboBox* AcrossList() const { return acrossList_; }
    QComboBox* DownList() const { return downList_; }
    QCheckBox* ShowGridBox() const { return showGrid_; }
    QCheckBox* DrawBox() const { return drawCheck_; }
    QCheckBox* TrackBox() const { return trackCheck_; }
    ColourSwatch* Swatch(ColourTarget target) const;
    QMenu* NamedColourMenu() const { return namedColourMenu_; }
    AnimatedPicture* Animation() const { return animation_; }
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
        QAction* gridColour = nullptr;
        QAction* trackColour = nullptr;
        QAction* numberColour = nullptr;
        QAction* selectionColour = nullptr;
        QAction* rectangleColour = nullptr;
        QAction* numberFont = nullptr;
        QAction* progressFont = nullptr;
        QAction* about = nullptr;
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
    QPushButton* AddButton(const QString& text, const QRect& r);
    QCheckBox* AddCheckBox(const QString& text, const QRect& r);
    QLabel* AddLabel(const QString& text, const QRect& r);
    // A menu item that is no command: an option with a check mark.
    QAction* AddAction(QMenu* menu, const QString& text);
    void ShowArrowMenu(QPushButton* button, QMenu* menu);
    // An entry of a pop-up menu that runs command after the pop-up is done.
    QAction* AddPopupCommand(QMenu* menu, const QString& text, std::function<void()> command);

    // Keeps the lists and the shown records in step with the project. Only while the
    // project is not the worker's.
    void SyncFromProject();
    // ShowSelectedTexture; a record whose page is missing is told only when asked to.
    void ShowTexture(bool reportMissingPage);
    // After a command that selected the first record: the selection's failure is told once,
    // by showing it.
    void AfterSelectingFirst(const Outcome& result);
    // The project for a command to change; nothing while the worker owns it.
    std::optional<ProjectEdit> Edit();
    void SetState(WindowState state);
    // The command table and the undo steps (main_window_commands.cpp).
    void RegisterCommands();
    // Runs action as one undo step named name.
    void RunStep(const std::string& name, const std::function<void()>& action);
    // Closes the open step: tells when it cannot be undone, marks the project changed.
    void EndStep();
    void AfterHistoryMove();
    void ForgetHistory();
    // Asks every command whether it may run now, and names the undo and redo steps.
    void UpdateCommands();
    void SetModified(bool modified);
    // Every command that may have changed the pages or records reports its result here.
    void NoteChange(const Outcome& result) {
        if (result.changed) SetModified(true);
    }
    // Before the project is closed or replaced: true when it may go (no unsaved changes,
    // saved now, or the user let them go).
    bool MayLetProjectGo();
    void ShowResult(const Outcome& result);
    // Where a file dialog of one family opens: its remembered folder, or while it has none
    // the folder of the file last chosen in any file dialog (NoteFolder).
    QString DialogFolder(const std::string& remembered) const;
    void NoteFolder(const std::string& chosenPath);
    void ClearViews();
    void UpdateTitle();
    std::optional<TrackTarget> HitTest(const QPoint& point) const;
    void OnSelectionDrawn(const QRect& selection);
    void OnGridListChosen(QComboBox* list, int& value);

    // The settings file and the display options (main_window_options.cpp).
    void LoadSettings();
    void SaveSettings();
    // The session file beside the settings file: recent files, dialog folders, export
    // options (main_window_session.cpp).
    QString SessionPath() const;
    void LoadSession();
    void SaveSession() const;
    void NoteRecentFile(const QString& path);
    void ForgetRecentFile(const QString& path);
    void RebuildRecentMenu();
    void ApplyPreferences();
    void BuildNamedColourMenu();
    void ConnectOptionControls();
    // Shows value in a grid list: its own entry, or "custom" when it has none.
    static void SelectGridItem(QComboBox* list, int value);

    // The adding of pieces (main_window_adding.cpp).
    void ConnectJob();
    void StartAdding(std::vector<std::string> files, const std::string& stepName);
    void OnFileFailed(const QString& message);
    void OnPiecePlaced(int recordIndex);
    void OnAddingProgress(int index, int count, int percent, const QString& fileName);
    void FinishAdding();
    // Shows what an editing command did and the selection it left.
    void AfterEdit(const Outcome& result);
    // The file choosers of the single image commands; each remembers its folder.
    QString AskImageToImport(std::string& folder, const QString& title,
                             const QString& defaultSuffix);
    QString AskImageToExport(std::string& folder, const QString& title,
                             const std::string& proposedName);
    // The Export Options dialog over the export settings; the answer as it came back.
    ExportDialogAnswer AskExportOptions(bool htmlAllowed);
    // The clipboard's image as the core takes it (transparency laid over the new page
    // colour); nothing, after telling the user, when the clipboard holds none.
    std::optional<Image> ClipboardImage();
    // Checks the CPU Priority item of the priority in effect.
    void RefreshCpuPriorityChecks();

    ModalUi& modal_;
    Project project_;
    EditorSession session_;
    DisplayOptions options_;
    std::vector<TextureRecord> records_;  // what the lists and the canvas show
    // The preferences the settings file keeps; its colours, grid, number font and the
    // three "Show" boxes live in options_ and the check boxes, and are taken back on saving.
    Settings settings_;
    QString settingsPath_;
    bool settingsLoaded_ = false;  // only a window that read its settings writes them
    ColourTarget colourTarget_ = ColourTarget::Selection;
    Remembered remembered_;
    QMenu* recentMenu_ = nullptr;
    bool modified_ = false;
    WindowState state_ = WindowState::Idle;
    EditHistory history_;
    CommandTable* commands_ = nullptr;
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
    QPushButton* trackColourButton_ = nullptr;
    QPushButton* selectionColourButton_ = nullptr;
    QPushButton* gridColourButton_ = nullptr;
    QPushButton* rectangleColourButton_ = nullptr;
    QPushButton* numberColourButton_ = nullptr;
    QPushButton* numberFontButton_ = nullptr;
    AnimatedPicture* animation_ = nullptr;
    QMenu* namedColourMenu_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* canvasMenu_ = nullptr;
    QMenu* previewMenu_ = nullptr;
    Actions actions_;
    std::vector<QAction*> clipboardActions_;
    std::vector<QAction*> cpuPriorityActions_;
    // Disabled while pieces are added.
    std::vector<QWidget*> conflicting_;
};

}  // namespace pelmora::ui
