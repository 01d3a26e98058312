// The window's controls, their places and the menus.
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QShortcut>
#include <QTextDocument>
#include <QtMath>

#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/commands.h"
#include "ui/dialog_units.h"
#include "ui/main_window.h"
#include "ui/page_canvas.h"
#include "ui/piece_preview.h"
#include "ui/text_progress_bar.h"

namespace pelmora::ui {

namespace {

const QStringList kGridSizes = {
    QStringLiteral("256"), QStringLiteral("192"), QStringLiteral("128"),   QStringLiteral("64"),
    QStringLiteral("32"),  QStringLiteral("16"),  QStringLiteral("8"),     QStringLiteral("4"),
    QStringLiteral("2"),   QStringLiteral("1"),   QStringLiteral("custom")};

QString DownArrow() {
    return QString(QChar(0x25BC));
}

// The record text box keeps its small fixed place; its font is made just small enough for the
// longest texts it shows (a drawn selection, a record on a far page) to fit whole. Should even
// the smallest font not do, the box scrolls.
void FitRecordTextFont(QPlainTextEdit* box) {
    const QStringList longest = {
        QStringLiteral("Selection: Left=256, Top=256, Right=256, Bottom=256, Width=256, "
                       "Height=256"),
        QStringLiteral("Page=65536, X=255, Y=255, Width=256, Height=256, FlipX=-1, FlipY=-1")};
    const int margin = qCeil(box->document()->documentMargin());
    const QRect inside = box->contentsRect().adjusted(margin, margin, -margin, -margin);
    QFont font = box->font();
    bool fits = false;
    for (;;) {
        const QFontMetrics metrics(font);
        fits = true;
        for (const QString& text : longest) {
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, inside.width() - 2, 10000),
                                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
            if (needed.height() > inside.height()) fits = false;
        }
        if (fits || font.pointSizeF() <= 6.0) break;
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    box->setFont(font);
    box->setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

}  // namespace

QPushButton* MainWindow::AddButton(const QString& text, const QRect& r) {
    auto* button = new QPushButton(text, backdrop_);
    button->setGeometry(r);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QCheckBox* MainWindow::AddCheckBox(const QString& text, const QRect& r) {
    auto* box = new QCheckBox(text, backdrop_);
    box->setGeometry(r);
    return box;
}

QLabel* MainWindow::AddLabel(const QString& text, const QRect& r) {
    auto* label = new QLabel(text, backdrop_);
    label->setGeometry(r);
    return label;
}

QAction* MainWindow::AddAction(QMenu* menu, const QString& text) {
    return menu->addAction(text);
}

void MainWindow::BuildControls(const DialogUnits& du) {
    backdrop_->SetPanels({du.Rect(5, 5, 180, 216), du.Rect(190, 5, 115, 170),
                          du.Rect(190, 179, 115, 42), du.Rect(310, 5, 112, 95),
                          du.Rect(310, 105, 112, 140)});
    auto combo = [&](const QString& name, int x, int y, int w) {
        auto* list = new QComboBox(backdrop_);
        list->setObjectName(name);
        list->setGeometry(du.X(x), du.Y(y), du.X(w), std::max(du.Y(12), 20));
        list->setMaxVisibleItems(12);
        return list;
    };
    auto swatch = [&](const QRect& r) {
        auto* s = new ColourSwatch(backdrop_);
        s->setGeometry(r);
        return s;
    };

    // Texture Pages.
    AddLabel(QStringLiteral("Texture Pages:"), du.Rect(10, 10, 49, 8));
    drawCheck_ = AddCheckBox(QStringLiteral("Draw"), du.Rect(70, 10, 33, 10));
    drawCheck_->setToolTip(QStringLiteral("Draw A Selection Mode"));
    trackCheck_ = AddCheckBox(QStringLiteral("Track"), du.Rect(105, 10, 35, 10));
    trackCheck_->setToolTip(QStringLiteral("Track Mouse"));
    trackColourButton_ = AddButton(QStringLiteral("C"), du.Rect(145, 10, 10, 10));
    trackColourButton_->setToolTip(QStringLiteral("Color Settings For Mouse Tracking"));
    trackSwatch_ = swatch(du.Rect(160, 10, 20, 10));
    canvas_ = new PageCanvas(backdrop_);
    canvas_->move(du.X(10), du.Y(20));
    QPushButton* pageImport = AddButton(QStringLiteral("Import"), du.Rect(10, 180, 41, 14));
    QPushButton* pageExport = AddButton(QStringLiteral("Export"), du.Rect(53, 180, 32, 14));
    QPushButton* pageExportMenu = AddButton(DownArrow(), du.Rect(85, 180, 9, 14));
    QPushButton* pageAddNew = AddButton(QStringLiteral("Add New"), du.Rect(96, 180, 41, 14));
    QPushButton* pageDelete = AddButton(QStringLiteral("Delete"), du.Rect(139, 180, 41, 14));
    pageList_ = combo(QStringLiteral("pageList"), 10, 200, 86);
    pageCounter_ = AddLabel(QStringLiteral("page 0 of 0"), du.Rect(100, 200, 80, 15));
    pageCounter_->setObjectName(QStringLiteral("pageCounter"));

    // Texture Pieces.
    AddLabel(QStringLiteral("Texture Pieces:"), du.Rect(195, 10, 50, 8));
    textureCounter_ = AddLabel(QStringLiteral("0 of 0"), du.Rect(250, 10, 50, 8));
    textureCounter_->setObjectName(QStringLiteral("textureCounter"));
    textureList_ = combo(QStringLiteral("textureList"), 195, 20, 105);
    preview_ = new PiecePreview(backdrop_);
    preview_->SetArea(du.Rect(195, 40, 95, 80));
    QPushButton* pieceImport = AddButton(QStringLiteral("Import"), du.Rect(195, 135, 50, 14));
    pieceAddNew_ = AddButton(QStringLiteral("Add New"), du.Rect(250, 135, 50, 14));
    pieceAddNew_->setObjectName(QStringLiteral("pieceAddNew"));
    stopButton_ = AddButton(QStringLiteral("Stop"), du.Rect(250, 135, 50, 14));
    stopButton_->setObjectName(QStringLiteral("stop"));
    stopButton_->hide();
    QPushButton* pieceExport = AddButton(QStringLiteral("Export"), du.Rect(195, 155, 40, 14));
    QPushButton* pieceExportMenu = AddButton(DownArrow(), du.Rect(235, 155, 9, 14));
    QPushButton* pieceDelete = AddButton(QStringLiteral("Delete"), du.Rect(250, 155, 50, 14));

    // Selection Color.
    AddLabel(QStringLiteral("Selection Color:"), du.Rect(195, 185, 50, 8));
    selectionColourButton_ = AddButton(QStringLiteral("Custom"), du.Rect(195, 200, 50, 14));
    selectionSwatch_ = swatch(du.Rect(250, 185, 50, 30));

    // Texture Position.
    AddLabel(QStringLiteral("Texture Position:"), du.Rect(315, 10, 54, 8));
    QPushButton* sort = AddButton(QStringLiteral("Sort"), du.Rect(370, 10, 18, 14));
    QPushButton* check = AddButton(QStringLiteral("Check"), du.Rect(390, 10, 26, 14));
    sort->setFlat(true);
    check->setFlat(true);
    recordText_ = new QPlainTextEdit(backdrop_);
    recordText_->setObjectName(QStringLiteral("recordText"));
    recordText_->setReadOnly(true);
    recordText_->setGeometry(du.Rect(315, 25, 101, 30));
    FitRecordTextFont(recordText_);
    QPushButton* recordEdit = AddButton(QStringLiteral("Edit"), du.Rect(315, 60, 32, 14));
    QPushButton* recordsImport = AddButton(QStringLiteral("Import"), du.Rect(350, 60, 32, 14));
    QPushButton* recordsExport = AddButton(QStringLiteral("Export"), du.Rect(385, 60, 32, 14));
    QPushButton* recordAddNew = AddButton(QStringLiteral("Add New"), du.Rect(315, 80, 41, 14));
    QPushButton* recordAddMenu = AddButton(DownArrow(), du.Rect(357, 80, 9, 14));
    QPushButton* recordDelete = AddButton(QStringLiteral("Delete"), du.Rect(370, 80, 47, 14));

    // Grid Settings.
    AddLabel(QStringLiteral("Grid Settings:"), du.Rect(315, 110, 43, 8));
    showGrid_ = AddCheckBox(QStringLiteral("Show Grid"), du.Rect(315, 121, 49, 10));
    AddLabel(QStringLiteral("Across:"), du.Rect(315, 135, 25, 8));
    acrossList_ = combo(QStringLiteral("acrossList"), 340, 134, 70);
    AddLabel(QStringLiteral("Down:"), du.Rect(315, 150, 25, 8));
    downList_ = combo(QStringLiteral("downList"), 340, 150, 70);
    for (QComboBox* list : {acrossList_, downList_}) {
        list->addItems(kGridSizes);
        list->setCurrentIndex(list->findText(QStringLiteral("64")));
    }
    gridColourButton_ = AddButton(QStringLiteral("C"), du.Rect(325, 166, 10, 10));
    gridColourButton_->setToolTip(QStringLiteral("Color Settings For The Grid"));
    gridSwatch_ = swatch(du.Rect(340, 166, 70, 10));
    showRectangles_ =
        AddCheckBox(QStringLiteral("Show Texture Rectangles"), du.Rect(315, 180, 98, 10));
    rectangleColourButton_ = AddButton(QStringLiteral("C"), du.Rect(325, 195, 10, 10));
    rectangleColourButton_->setToolTip(QStringLiteral("Color Settings For Texture Rectangles"));
    rectangleSwatch_ = swatch(du.Rect(340, 195, 70, 10));
    showNumbers_ = AddCheckBox(QStringLiteral("Show Numbers"), du.Rect(315, 210, 64, 10));
    applyNumbers_ = AddButton(QStringLiteral("A"), du.Rect(380, 210, 10, 10));
    applyNumbers_->setObjectName(QStringLiteral("applyNumbers"));
    applyNumbers_->setToolTip(QStringLiteral("Apply Number Grid To Current Page"));
    numberFontButton_ = AddButton(QStringLiteral("F"), du.Rect(315, 225, 10, 10));
    numberFontButton_->setToolTip(QStringLiteral("Font Settings For Number Grid"));
    numberColourButton_ = AddButton(QStringLiteral("C"), du.Rect(325, 225, 10, 10));
    numberColourButton_->setToolTip(QStringLiteral("Color Settings For Number Grid"));
    numberSwatch_ = swatch(du.Rect(340, 225, 70, 10));

    progress_ = new TextProgressBar(backdrop_);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setGeometry(du.Rect(5, 225, 300, 20));
    animation_ = new AnimatedPicture(backdrop_);
    animation_->setObjectName(QStringLiteral("animatedPicture"));
    animation_->move(du.X(425), du.Y(20));

    for (QPushButton* arrow : {pageExportMenu, pieceExportMenu, recordAddMenu}) {
        arrow->setToolTip(QStringLiteral("More Options"));
        QFont small = arrow->font();
        small.setPointSize(6);
        arrow->setFont(small);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             canvas_,       pageList_,      textureList_,    pageImport,
             pieceImport,   recordsImport,  pageExport,      pieceExport,
             recordsExport, pageExportMenu, pieceExportMenu, recordAddMenu,
             pageAddNew,    pieceAddNew_,   recordAddNew,    pageDelete,
             pieceDelete,   recordDelete,   recordEdit,      check,
             sort,          applyNumbers_}) {
        conflicting_.push_back(w);
    }

    trackSwatch_->SetColour(options_.trackColour);
    selectionSwatch_->SetColour(options_.selectionColour);
    gridSwatch_->SetColour(options_.gridColour);
    rectangleSwatch_->SetColour(options_.rectangleColour);
    numberSwatch_->SetColour(options_.numberColour);

    // The arrow pop-ups and the canvas pop-up: menus of their own, kept for the window's life.
    auto popup = [&](const QString& name) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        return menu;
    };
    CommandTable& table = *commands_;
    QMenu* pageExports = popup(QStringLiteral("pageExportMenu"));
    table.AddPopupEntry(pageExports, QStringLiteral("&Export Textures"), "exportPageTextures");
    table.AddPopupEntry(pageExports, QStringLiteral("&Export All"), "exportAllPages");
    table.AddPopupEntry(pageExports, QStringLiteral("&Export All (single image)"),
                        "exportSingleImage");
    QMenu* pieceExports = popup(QStringLiteral("pieceExportMenu"));
    table.AddPopupEntry(pieceExports, QStringLiteral("&Export All"), "exportAllTextures");
    QMenu* recordAdds = popup(QStringLiteral("recordAddMenu"));
    table.AddPopupEntry(recordAdds, QStringLiteral("&New records from Grid"), "addRecordsFromGrid");
    connect(pageExportMenu, &QPushButton::clicked, this,
            [=, this] { ShowArrowMenu(pageExportMenu, pageExports); });
    connect(pieceExportMenu, &QPushButton::clicked, this,
            [=, this] { ShowArrowMenu(pieceExportMenu, pieceExports); });
    connect(recordAddMenu, &QPushButton::clicked, this,
            [=, this] { ShowArrowMenu(recordAddMenu, recordAdds); });

    canvasMenu_ = popup(QStringLiteral("canvasMenu"));
    table.AddPopupEntry(canvasMenu_, QStringLiteral("&Copy Page\tCtrl+P"), "copyPage");
    table.AddPopupEntry(canvasMenu_, QStringLiteral("&Paste Page\tAlt+P"), "pastePage");
    canvasMenu_->addSeparator();
    table.AddPopupEntry(canvasMenu_, QStringLiteral("&Copy Texture\tCtrl+T"), "copyTexture");
    table.AddPopupEntry(canvasMenu_, QStringLiteral("&Paste Texture\tAlt+T"), "pasteTexture");
    canvasMenu_->addSeparator();
    table.AddPopupEntry(canvasMenu_, QStringLiteral("&New records from Grid"),
                        "addRecordsFromGrid");
    previewMenu_ = popup(QStringLiteral("previewMenu"));
    table.AddPopupEntry(previewMenu_, QStringLiteral("&Copy Texture\tCtrl+T"), "copyTexture");
    table.AddPopupEntry(previewMenu_, QStringLiteral("&Paste Texture\tAlt+T"), "pasteTexture");

    pageDelete->setObjectName(QStringLiteral("pageDelete"));
    pieceDelete->setObjectName(QStringLiteral("pieceDelete"));
    recordDelete->setObjectName(QStringLiteral("recordDelete"));
    sort->setObjectName(QStringLiteral("sort"));
    check->setObjectName(QStringLiteral("check"));
    recordsImport->setObjectName(QStringLiteral("recordsImport"));
    recordsExport->setObjectName(QStringLiteral("recordsExport"));
    pageImport->setObjectName(QStringLiteral("pageImport"));
    pageExport->setObjectName(QStringLiteral("pageExport"));
    pieceImport->setObjectName(QStringLiteral("pieceImport"));
    pieceExport->setObjectName(QStringLiteral("pieceExport"));
    pageAddNew->setObjectName(QStringLiteral("pageAddNew"));
    recordAddNew->setObjectName(QStringLiteral("recordAddNew"));
    recordEdit->setObjectName(QStringLiteral("recordEdit"));
    for (const auto& [button, id] : std::initializer_list<std::pair<QPushButton*, const char*>>{
             {pieceAddNew_, "addPieces"},
             {stopButton_, "stop"},
             {applyNumbers_, "applyNumbers"},
             {pageDelete, "deletePage"},
             {pieceDelete, "deletePiece"},
             {recordDelete, "deleteRecord"},
             {sort, "sort"},
             {check, "checkDuplicates"},
             {recordsImport, "importRecords"},
             {recordsExport, "exportRecords"},
             {pageImport, "importPage"},
             {pageAddNew, "addPage"},
             {recordAddNew, "addRecord"},
             {recordEdit, "editRecord"},
             {pageExport, "exportPage"},
             {pieceImport, "importPiece"},
             {pieceExport, "exportPiece"}})
        table.BindButton(button, id);
    // The controls that are no command but would reach the project all the same.
    for (QWidget* control : std::initializer_list<QWidget*>{
             canvas_, pageList_, textureList_, pageExportMenu, pieceExportMenu, recordAddMenu})
        table.BindControl(control, [this] { return state_ == WindowState::Idle; });
}

void MainWindow::ShowArrowMenu(QPushButton* button, QMenu* menu) {
    if (!project_.IsOpen()) return;
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

QAction* MainWindow::AddPopupCommand(QMenu* menu, const QString& text,
                                     std::function<void()> command) {
    QAction* action = menu->addAction(text);
    // Queued: the command runs once the pop-up has closed and its click is handled. Commands
    // open dialogs and pump events; a pop-up's own event handler must not still be on the
    // stack underneath them.
    connect(
        action, &QAction::triggered, this, [command = std::move(command)] { command(); },
        Qt::QueuedConnection);
    return action;
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    CommandTable& table = *commands_;
    actions_.open = table.AddTo(fileMenu_, "open");
    recentMenu_ = fileMenu_->addMenu(QStringLiteral("Open &Recent"));
    recentMenu_->setToolTipsVisible(true);
    RebuildRecentMenu();
    actions_.newProject = table.AddTo(fileMenu_, "new");
    actions_.close = table.AddTo(fileMenu_, "close");
    fileMenu_->addSeparator();
    actions_.import = table.AddTo(fileMenu_, "import");
    fileMenu_->addSeparator();
    actions_.save = table.AddTo(fileMenu_, "save");
    actions_.saveAs = table.AddTo(fileMenu_, "saveAs");
    fileMenu_->addSeparator();
    actions_.exit = table.AddTo(fileMenu_, "exit");

    editMenu_ = bar->addMenu(QStringLiteral("&Edit"));
    table.AddTo(editMenu_, "undo");
    table.AddTo(editMenu_, "redo");
    editMenu_->addSeparator();
    QMenu* clipboard = editMenu_->addMenu(QStringLiteral("&Clipboard"));
    for (const char* id : {"copyPage", "copyTexture", "", "pastePage", "pasteTexture"}) {
        if (!*id)
            clipboard->addSeparator();
        else
            clipboardActions_.push_back(table.AddTo(clipboard, id));
    }
    editMenu_->addSeparator();
    QMenu* pages = editMenu_->addMenu(QStringLiteral("&Texture Pages"));
    for (const char* id : {"addPage", "deletePage", "exportPage", "exportPageTextures",
                           "exportAllPages", "exportSingleImage", "importPage"})
        table.AddTo(pages, id);
    QMenu* pieces = editMenu_->addMenu(QStringLiteral("&Texture Pieces"));
    actions_.addPieces = table.AddTo(pieces, "addPieces");
    actions_.addFolder = table.AddTo(pieces, "addFolder");
    for (const char* id : {"deletePiece", "exportPiece", "exportAllTextures", "importPiece"})
        table.AddTo(pieces, id);
    QMenu* position = editMenu_->addMenu(QStringLiteral("&Texture Position"));
    for (const char* id : {"addRecord", "addRecordsFromGrid", "deleteRecord", "editRecord",
                           "exportRecords", "importRecords"})
        table.AddTo(position, id);

    optionsMenu_ = bar->addMenu(QStringLiteral("&Options"));
    QMenu* priority = optionsMenu_->addMenu(QStringLiteral("&CPU Priority"));
    for (const auto& [text, value] : {std::pair{"&High", 3}, {"&Normal", 2}, {"&Low", 1}}) {
        QAction* action = AddAction(priority, QString::fromLatin1(text));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, value] { SetCpuPriority(value, true); });
        cpuPriorityActions_.push_back(action);
    }
    connect(priority, &QMenu::aboutToShow, this, &MainWindow::RefreshCpuPriorityChecks);
    RefreshCpuPriorityChecks();
    optionsMenu_->addSeparator();
    QMenu* sortBy = optionsMenu_->addMenu(QStringLiteral("&Sort Files By"));
    auto* sortGroup = new QActionGroup(this);
    auto sortItem = [&](const QString& text, FileSortOrder order) {
        QAction* action = AddAction(sortBy, text);
        action->setCheckable(true);
        action->setChecked(order == SortOrder());
        sortGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, order] { SetSortOrder(order); });
        return action;
    };
    actions_.sortByName = sortItem(QStringLiteral("File &Name"), FileSortOrder::Name);
    actions_.sortBySizeAscending =
        sortItem(QStringLiteral("File Size &Ascending"), FileSortOrder::SizeAscending);
    actions_.sortBySizeDescending =
        sortItem(QStringLiteral("File Size &Descending"), FileSortOrder::SizeDescending);
    optionsMenu_->addSeparator();
    QMenu* view = optionsMenu_->addMenu(QStringLiteral("&View"));
    actions_.showWarnings = AddAction(view, QStringLiteral("Show Warnings"));
    actions_.showWarnings->setCheckable(true);
    actions_.showWarnings->setChecked(ShowWarnings());
    connect(actions_.showWarnings, &QAction::toggled, this, &MainWindow::SetShowWarnings);
    actions_.texturesBeingAdded = AddAction(view, QStringLiteral("&Textures being Added"));
    actions_.texturesBeingAdded->setCheckable(true);
    actions_.texturesBeingAdded->setChecked(ShowTexturesBeingAdded());
    connect(actions_.texturesBeingAdded, &QAction::toggled, this,
            &MainWindow::SetShowTexturesBeingAdded);
    optionsMenu_->addSeparator();
    QMenu* colours = optionsMenu_->addMenu(QStringLiteral("&Colors"));
    actions_.gridColour = table.AddTo(colours, "gridColour");
    actions_.trackColour = table.AddTo(colours, "trackColour");
    actions_.numberColour = table.AddTo(colours, "numberColour");
    actions_.selectionColour = table.AddTo(colours, "selectionColour");
    actions_.newPageColour = table.AddTo(colours, "newPageColour");
    actions_.rectangleColour = table.AddTo(colours, "rectangleColour");
    optionsMenu_->addSeparator();
    QMenu* fonts = optionsMenu_->addMenu(QStringLiteral("&Fonts"));
    actions_.numberFont = table.AddTo(fonts, "numberFont");
    actions_.progressFont = table.AddTo(fonts, "progressFont");

    helpMenu_ = bar->addMenu(QStringLiteral("&Help"));
    table.AddTo(helpMenu_, "checkForUpdate");
    helpMenu_->addSeparator();
    actions_.about = table.AddTo(helpMenu_, "about");
}

void MainWindow::ConfigureProgressBar() {
    progress_->SetRange32(0, 100);
    progress_->SetStep(1);
    progress_->SetBarColour(palette().color(QPalette::Button));
    progress_->SetBackgroundColour(QColor(Qt::black));
    progress_->SetTextColour(QColor(Qt::white));
    progress_->SetTextOnBarColour(QColor(Qt::black));
    progress_->ShowText(true);
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    progress_->SetBarFont(bold);
    progress_->SetStartTime(progress_->Ticks());
    progress_->SetWindowText(QString::fromLatin1(TextProgressBar::kTitleText));
    progress_->SetPos(50);
}

}  // namespace pelmora::ui
