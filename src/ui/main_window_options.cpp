// The display options, the settings file that keeps them, and the about box.
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSignalBlocker>

#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/commands.h"
#include "ui/font_record.h"
#include "ui/main_window.h"
#include "ui/settings_bridge.h"
#include "ui/text_progress_bar.h"

namespace pelmora::ui {

const NamedColour kNamedColours[11] = {
    {"Red", 0x0000FF},   {"Orange", 0x0080FF}, {"Yellow", 0x00FFFF},  {"Green", 0x00FF00},
    {"Cyan", 0xFFFF00},  {"Blue", 0xFF0000},   {"Magenta", 0xFF00FF}, {"Purple", 0x800080},
    {"Brown", 0x004080}, {"Black", 0x000000},  {"White", 0xFFFFFF}};

namespace {

// The command numbers of the named colours, kept on their menu entries.
constexpr int kFirstNamedColourCommand = 65001;

constexpr ColourTarget kColourTargets[] = {ColourTarget::Selection, ColourTarget::Grid,
                                           ColourTarget::Rectangle, ColourTarget::Track,
                                           ColourTarget::Number};

}  // namespace

// ---- The settings file ----

void MainWindow::LoadSettings() {
    if (settingsPath_.isEmpty()) {
        settingsPath_ = QString::fromStdString(
            SettingsFilePath(QCoreApplication::applicationFilePath().toStdString()));
    }
    const SettingsLoad load = LoadSettingsFile(settingsPath_.toStdString());
    settingsLoaded_ = true;
    if (!load.message.empty()) modal_.Message(QString::fromStdString(load.message));
    settings_ = load.settings;
    ApplyPreferences();
    SetCpuPriority(settings_.cpuPriority, false);
    LoadSession();
}

void MainWindow::ApplyPreferences() {
    ApplySettings(settings_, options_);
    for (ColourTarget target : kColourTargets) Swatch(target)->SetColour(DisplayColour(target));
    canvas_->SetTrackColour(options_.trackColour);
    showGrid_->setChecked(options_.showGrid);
    showRectangles_->setChecked(options_.showRectangles);
    showNumbers_->setChecked(options_.showNumbers);
    // The boxes tell the canvas their modes as they change.
    trackCheck_->setChecked(settings_.track);
    drawCheck_->setChecked(settings_.draw);
    SelectGridItem(acrossList_, options_.gridAcross);
    SelectGridItem(downList_, options_.gridDown);
    progress_->SetBarFont(FontFromRecord(settings_.progressFont));
    RefreshCheckMarks();
    RedrawCurrentPage();
}

void MainWindow::SaveSettings() {
    if (!settingsLoaded_) return;
    options_.showGrid = showGrid_->isChecked();
    options_.showRectangles = showRectangles_->isChecked();
    options_.showNumbers = showNumbers_->isChecked();
    TakeDisplayOptions(options_, settings_);
    settings_.track = trackCheck_->isChecked();
    settings_.draw = drawCheck_->isChecked();
    settings_.progressFont = RecordFromFont(progress_->BarFont(), settings_.progressFont);
    ShowResult(SaveSettingsFile(settings_, settingsPath_.toStdString()));
    SaveSession();
}

void MainWindow::SelectGridItem(QComboBox* list, int value) {
    int index = list->findText(QString::number(value));
    if (index < 0) index = list->findText(QStringLiteral("custom"));
    list->setCurrentIndex(index);
}

void MainWindow::OnGridListChosen(QComboBox* list, int& value) {
    const QString text = list->currentText();
    if (text.isEmpty()) {
        value = 64;
    } else if (text.compare(QStringLiteral("custom"), Qt::CaseInsensitive) == 0) {
        const QString label =
            list == acrossList_ ? QStringLiteral("Across:") : QStringLiteral("Down:");
        // The grid is drawn in steps of the size: below 1 it is refused.
        if (const std::optional<int> size = modal_.AskCustomGrid(label, value); size && *size >= 1)
            value = *size;
    } else {
        const int number = text.toInt();
        if (number >= 1) value = number;
    }
    RedrawCurrentPage();
}

// ---- Colours ----

ColourSwatch* MainWindow::Swatch(ColourTarget target) const {
    switch (target) {
        case ColourTarget::Selection:
            return selectionSwatch_;
        case ColourTarget::Grid:
            return gridSwatch_;
        case ColourTarget::Rectangle:
            return rectangleSwatch_;
        case ColourTarget::Track:
            return trackSwatch_;
        case ColourTarget::Number:
            return numberSwatch_;
    }
    return selectionSwatch_;
}

Colour MainWindow::DisplayColour(ColourTarget target) const {
    switch (target) {
        case ColourTarget::Selection:
            return options_.selectionColour;
        case ColourTarget::Grid:
            return options_.gridColour;
        case ColourTarget::Rectangle:
            return options_.rectangleColour;
        case ColourTarget::Track:
            return options_.trackColour;
        case ColourTarget::Number:
            return options_.numberColour;
    }
    return options_.selectionColour;
}

void MainWindow::SetDisplayColour(ColourTarget target, Colour colour) {
    switch (target) {
        case ColourTarget::Selection:
            options_.selectionColour = colour;
            break;
        case ColourTarget::Grid:
            options_.gridColour = colour;
            break;
        case ColourTarget::Rectangle:
            options_.rectangleColour = colour;
            break;
        case ColourTarget::Track:
            options_.trackColour = colour;
            break;
        case ColourTarget::Number:
            options_.numberColour = colour;
            break;
    }
    Swatch(target)->SetColour(colour);
    if (target == ColourTarget::Track) {
        // The tracking outline is drawn as the mouse moves; it takes the colour from then on.
        canvas_->SetTrackColour(colour);
        return;
    }
    RedrawCurrentPage();
}

void MainWindow::ChooseColourCommand(ColourTarget target) {
    if (const std::optional<QColor> colour =
            modal_.ChooseColour(ToQColor(DisplayColour(target)), session_.customColours))
        SetDisplayColour(target, FromQColor(*colour));
}

void MainWindow::RandomColourCommand(ColourTarget target) {
    // Each component from 0 to 254, red first, as the custom colours are made.
    QRandomGenerator* random = QRandomGenerator::global();
    const auto r = static_cast<uint8_t>(random->bounded(255));
    const auto g = static_cast<uint8_t>(random->bounded(255));
    const auto b = static_cast<uint8_t>(random->bounded(255));
    SetDisplayColour(target, MakeColour(r, g, b));
}

void MainWindow::BuildNamedColourMenu() {
    namedColourMenu_ = new QMenu(this);
    namedColourMenu_->setObjectName(QStringLiteral("namedColourMenu"));
    int command = kFirstNamedColourCommand;
    for (const NamedColour& named : kNamedColours) {
        const Colour colour = named.colour;
        QAction* action =
            AddPopupCommand(namedColourMenu_, QString::fromLatin1(named.name),
                            [this, colour] { SetDisplayColour(colourTarget_, colour); });
        action->setData(command++);
    }
}

void MainWindow::ShowNamedColourMenu(ColourTarget target, const QPoint& globalPos) {
    colourTarget_ = target;
    namedColourMenu_->popup(globalPos);
}

// ---- Fonts ----

// Qt's font chooser has no colour: the number colour keeps its own "C" button and menu item.
void MainWindow::NumberFontCommand() {
    if (const std::optional<QFont> font = modal_.ChooseFont(options_.numberFont)) {
        options_.numberFont = *font;
        RedrawCurrentPage();
    }
}

void MainWindow::ProgressFontCommand() {
    if (const std::optional<QFont> font = modal_.ChooseFont(progress_->BarFont()))
        progress_->SetBarFont(*font);
}

// ---- Menus and the about box ----

void MainWindow::RefreshCheckMarks() {
    actions_.sortByName->setChecked(settings_.sortFilesBy == 1);
    actions_.sortBySizeAscending->setChecked(settings_.sortFilesBy == 2);
    actions_.sortBySizeDescending->setChecked(settings_.sortFilesBy == 3);
    actions_.showWarnings->setChecked(settings_.showWarnings);
    actions_.texturesBeingAdded->setChecked(settings_.texturesBeingAdded);
}

void MainWindow::AboutCommand() {
    modal_.ShowAbout();
}

void MainWindow::ConnectOptionControls() {
    BuildNamedColourMenu();
    const struct {
        ColourTarget target;
        QPushButton* button;
        const char* command;
    } colourControls[] = {
        {ColourTarget::Selection, selectionColourButton_, "selectionColour"},
        {ColourTarget::Grid, gridColourButton_, "gridColour"},
        {ColourTarget::Rectangle, rectangleColourButton_, "rectangleColour"},
        {ColourTarget::Track, trackColourButton_, "trackColour"},
        {ColourTarget::Number, numberColourButton_, "numberColour"},
    };
    for (const auto& c : colourControls) {
        const ColourTarget target = c.target;
        commands_->BindButton(c.button, c.command);
        ColourSwatch* swatch = Swatch(target);
        connect(swatch, &ColourSwatch::clicked, this,
                [this, target] { RandomColourCommand(target); });
        connect(swatch, &ColourSwatch::rightClicked, this,
                [this, target](const QPoint& at) { ShowNamedColourMenu(target, at); });
    }
    commands_->BindButton(numberFontButton_, "numberFont");
    // Whatever changed a value behind a menu's back, the menu shows it when it opens.
    connect(optionsMenu_, &QMenu::aboutToShow, this, &MainWindow::RefreshCheckMarks);
    for (QMenu* menu : optionsMenu_->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::RefreshCheckMarks);
}

}  // namespace pelmora::ui
