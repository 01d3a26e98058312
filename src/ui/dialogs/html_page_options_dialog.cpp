#include "ui/dialogs/html_page_options_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "ui/colour_swatch.h"
#include "ui/dialog_units.h"
#include "ui/display_options.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

UpDownBox::UpDownBox(QWidget* parent) : QSpinBox(parent) {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

void UpDownBox::stepBy(int steps) {
    const long long next = static_cast<long long>(value()) + steps;
    setValue(static_cast<int>(std::clamp<long long>(next, 0, 100)));
    selectAll();
}

QAbstractSpinBox::StepEnabled UpDownBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < 100) enabled |= StepUpEnabled;
    if (value() > 0) enabled |= StepDownEnabled;
    return enabled;
}

HtmlPageOptionsDialog::HtmlPageOptionsDialog(const GallerySettings& settings,
                                             std::array<Colour, 16>& customColours, ModalUi& modal,
                                             QWidget* parent)
    : QDialog(parent), customColours_(customColours), modal_(modal) {
    setWindowTitle(QStringLiteral("HTML Page Options..."));
    setFont(DialogFont());
    const DialogUnits du = DialogUnits::FromFont(font());
    auto* layout = new QVBoxLayout(this);

    auto* table = new QGroupBox(QStringLiteral("Table Properties:"), this);
    auto* tableLayout = new QVBoxLayout(table);
    auto* size = new QGroupBox(QStringLiteral("Size:"), table);
    auto* sizeForm = new QFormLayout(size);
    columns_ = new UpDownBox(size);
    sizeForm->addRow(QStringLiteral("Columns:"), columns_);
    tableLayout->addWidget(size);
    auto* layoutGroup = new QGroupBox(QStringLiteral("Layout:"), table);
    auto* layoutForm = new QFormLayout(layoutGroup);
    border_ = new UpDownBox(layoutGroup);
    padding_ = new UpDownBox(layoutGroup);
    spacing_ = new UpDownBox(layoutGroup);
    layoutForm->addRow(QStringLiteral("Border Size:"), border_);
    layoutForm->addRow(QStringLiteral("Cell Padding:"), padding_);
    layoutForm->addRow(QStringLiteral("Cell Spacing:"), spacing_);
    tableLayout->addWidget(layoutGroup);
    auto* widthGroup = new QGroupBox(QStringLiteral("Width:"), table);
    auto* widthRow = new QHBoxLayout(widthGroup);
    specifyWidth_ = new QCheckBox(QStringLiteral("Specify &Width:"), widthGroup);
    width_ = new QSpinBox(widthGroup);
    width_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    width_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    width_->setMinimumWidth(du.X(30));
    pixels_ = new QRadioButton(QStringLiteral("in Pi&xels"), widthGroup);
    percent_ = new QRadioButton(QStringLiteral("in &Percent"), widthGroup);
    widthRow->addWidget(specifyWidth_);
    widthRow->addWidget(width_);
    widthRow->addWidget(pixels_);
    widthRow->addWidget(percent_);
    tableLayout->addWidget(widthGroup);
    auto* tableColour = new QGroupBox(QStringLiteral("Background Color"), table);
    auto* tableColourRow = new QHBoxLayout(tableColour);
    tableSwatch_ = new ColourSwatch(tableColour);
    tableSwatch_->setMinimumSize(du.X(40), du.Y(10));
    tableChoose_ = new QPushButton(QStringLiteral("choose"), tableColour);
    tableColourRow->addWidget(tableSwatch_, 1);
    tableColourRow->addWidget(tableChoose_);
    tableLayout->addWidget(tableColour);
    layout->addWidget(table);

    auto* cell = new QGroupBox(QStringLiteral("Cell Properties:"), this);
    auto* cellLayout = new QVBoxLayout(cell);
    auto* cellLayoutGroup = new QGroupBox(QStringLiteral("Layout"), cell);
    auto* cellForm = new QFormLayout(cellLayoutGroup);
    alignment_ = new QComboBox(cellLayoutGroup);
    alignment_->addItems(
        {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    cellForm->addRow(QStringLiteral("Hori&zontal Alignment:"), alignment_);
    cellLayout->addWidget(cellLayoutGroup);
    auto* cellColour = new QGroupBox(QStringLiteral("Background Color"), cell);
    auto* cellColourRow = new QHBoxLayout(cellColour);
    cellSwatch_ = new ColourSwatch(cellColour);
    cellSwatch_->setMinimumSize(du.X(40), du.Y(10));
    cellChoose_ = new QPushButton(QStringLiteral("choose"), cellColour);
    cellColourRow->addWidget(cellSwatch_, 1);
    cellColourRow->addWidget(cellChoose_);
    cellLayout->addWidget(cellColour);
    layout->addWidget(cell);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    columns_->setValue(settings.columns);
    border_->setValue(settings.borderSize);
    padding_->setValue(settings.cellPadding);
    spacing_->setValue(settings.cellSpacing);
    width_->setValue(settings.width);
    specifyWidth_->setChecked(settings.specifyWidth);
    (settings.widthInPercent ? percent_ : pixels_)->setChecked(true);
    // A stored value outside the list is written as CENTER, so that is what it shows.
    const int alignment = settings.cellAlignment;
    alignment_->setCurrentIndex(alignment >= 0 && alignment <= 2 ? alignment : 1);
    tableSwatch_->SetColour(settings.tableColour);
    cellSwatch_->SetColour(settings.cellColour);
    EnableWidthControls();

    connect(specifyWidth_, &QCheckBox::toggled, this, [this] { EnableWidthControls(); });
    connect(percent_, &QRadioButton::clicked, this, [this] { width_->setValue(100); });
    connect(tableChoose_, &QPushButton::clicked, this, [this] { ChooseColour(tableSwatch_); });
    connect(cellChoose_, &QPushButton::clicked, this, [this] { ChooseColour(cellSwatch_); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

GallerySettings HtmlPageOptionsDialog::Settings() const {
    GallerySettings s;
    s.columns = columns_->value();
    s.borderSize = border_->value();
    s.cellPadding = padding_->value();
    s.cellSpacing = spacing_->value();
    s.width = width_->value();
    s.specifyWidth = specifyWidth_->isChecked();
    s.widthInPercent = percent_->isChecked();
    s.cellAlignment = alignment_->currentIndex();
    s.tableColour = tableSwatch_->CurrentColour();
    s.cellColour = cellSwatch_->CurrentColour();
    return s;
}

void HtmlPageOptionsDialog::ChooseColour(ColourSwatch* swatch) {
    if (const auto chosen = modal_.ChooseColour(ToQColor(swatch->CurrentColour()), customColours_))
        swatch->SetColour(FromQColor(*chosen));
}

void HtmlPageOptionsDialog::EnableWidthControls() {
    const bool on = specifyWidth_->isChecked();
    width_->setEnabled(on);
    pixels_->setEnabled(on);
    percent_->setEnabled(on);
}

}  // namespace pelmora::ui
