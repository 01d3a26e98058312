#include "ui/dialogs/new_page_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/colour_swatch.h"
#include "ui/dialog_units.h"
#include "ui/display_options.h"
#include "ui/editor_texts.h"
#include "ui/main_window.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

NewPageDialog::NewPageDialog(Colour colour, std::array<Colour, 16>& customColours, ModalUi& modal,
                             const QString& folder, QWidget* parent)
    : QDialog(parent), customColours_(customColours), modal_(modal), folder_(folder) {
    options_.colour = colour;
    setWindowTitle(QStringLiteral("Do you want to add a new page?"));
    setFont(DialogFont());
    const DialogUnits du = DialogUnits::FromFont(font());

    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("New Page Options:"), this);
    auto* grid = new QGridLayout(group);
    auto* kindGroup = new QButtonGroup(this);
    const char* kindTexts[] = {"Blank Page", "From Image", "From Long Image"};
    for (int i = 0; i < 3; ++i) {
        kinds_[i] = new QRadioButton(QString::fromLatin1(kindTexts[i]), group);
        kindGroup->addButton(kinds_[i], i);
        grid->addWidget(kinds_[i], i, 0);
    }
    kinds_[0]->setChecked(true);
    pageColour_ = new QPushButton(QStringLiteral("Page Color"), group);
    swatch_ = new ColourSwatch(group);
    swatch_->setFixedSize(du.X(40), du.Y(12));
    swatch_->SetColour(options_.colour);
    loadImage_ = new QPushButton(QStringLiteral("Load Image"), group);
    keepAspect_ = new QCheckBox(
        QStringLiteral("keeps aspect ratio if checked resizes to 256x256 pixels if not"), group);
    countLabel_ = new QLabel(QStringLiteral("How Many?"), group);
    count_ = new QLineEdit(QStringLiteral("1"), group);
    count_->setObjectName(QStringLiteral("howMany"));
    count_->setMaximumWidth(du.X(30));
    note_ = new QLabel(QStringLiteral("*Note: Make sure you pick a background color if you choose "
                                      "not to resize the loaded image"),
                       group);
    note_->setWordWrap(true);
    grid->addWidget(pageColour_, 0, 1);
    grid->addWidget(swatch_, 0, 2);
    grid->addWidget(countLabel_, 1, 1);
    grid->addWidget(count_, 1, 2);
    grid->addWidget(loadImage_, 2, 1);
    grid->addWidget(keepAspect_, 3, 0, 1, 3);
    grid->addWidget(note_, 4, 0, 1, 3);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    yes_ = new QPushButton(QStringLiteral("Yes"), this);
    yes_->setDefault(true);
    no_ = new QPushButton(QStringLiteral("No"), this);
    buttons->addWidget(yes_);
    buttons->addWidget(no_);
    layout->addLayout(buttons);
    group->setMinimumWidth(du.X(190));
    // The dialog takes the size its texts need in the font in use, again whenever the kind
    // shows other controls; a fixed minimum would cut them.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(kindGroup, &QButtonGroup::idClicked, this, [this] {
        ReadCount();
        ShowControlsForKind();
    });
    connect(keepAspect_, &QCheckBox::toggled, this, [this] {
        ReadCount();
        ShowControlsForKind();
    });
    connect(pageColour_, &QPushButton::clicked, this, &NewPageDialog::ChooseColour);
    connect(swatch_, &ColourSwatch::clicked, this, &NewPageDialog::ChooseColour);
    connect(loadImage_, &QPushButton::clicked, this, &NewPageDialog::ChooseImage);
    connect(yes_, &QPushButton::clicked, this, &NewPageDialog::accept);
    connect(no_, &QPushButton::clicked, this, &QDialog::reject);
    ShowControlsForKind();
}

QRadioButton* NewPageDialog::KindButton(NewPageKind kind) const {
    switch (kind) {
        case NewPageKind::Blank:
            return kinds_[0];
        case NewPageKind::FromImage:
            return kinds_[1];
        case NewPageKind::FromLongImage:
            return kinds_[2];
    }
    return kinds_[0];
}

void NewPageDialog::ShowControlsForKind() {
    NewPageKind kind = NewPageKind::Blank;
    if (kinds_[1]->isChecked()) kind = NewPageKind::FromImage;
    if (kinds_[2]->isChecked()) kind = NewPageKind::FromLongImage;
    options_.kind = kind;
    options_.keepAspect = keepAspect_->isChecked();
    const bool blank = kind == NewPageKind::Blank;
    const bool image = kind == NewPageKind::FromImage;
    const bool colour =
        blank || kind == NewPageKind::FromLongImage || (image && options_.keepAspect);
    pageColour_->setVisible(colour);
    swatch_->setVisible(colour);
    countLabel_->setVisible(blank);
    count_->setVisible(blank);
    loadImage_->setVisible(!blank);
    keepAspect_->setVisible(image);
    note_->setVisible(image && options_.keepAspect);
}

bool NewPageDialog::ReadCount() {
    if (options_.kind != NewPageKind::Blank) return true;
    bool ok = false;
    const int count = count_->text().trimmed().toInt(&ok);
    if (!ok || count < 1 || count > kMaxNewPagesAtOnce) {
        modal_.Message(QString::fromLatin1(kCountMessage), {}, MessageIcon::Warning);
        count_->setFocus();
        count_->selectAll();
        return false;
    }
    options_.count = count;
    return true;
}

void NewPageDialog::ChooseColour() {
    const std::optional<QColor> chosen =
        modal_.ChooseColour(ToQColor(options_.colour), customColours_);
    if (!chosen) return;
    options_.colour = FromQColor(*chosen);
    swatch_->SetColour(options_.colour);
}

void NewPageDialog::ChooseImage() {
    FileDialogRequest request;
    request.title = QStringLiteral("Load Image");
    request.folder = folder_;
    request.filters = ImageOpenFilters();
    request.proposedName = QString::fromStdString(options_.imagePath);
    const QString path = modal_.OpenFile(request);
    if (!path.isEmpty()) options_.imagePath = path.toStdString();
}

void NewPageDialog::accept() {
    if (!ReadCount()) return;
    if (options_.kind == NewPageKind::FromImage && options_.imagePath.empty()) {
        modal_.Message(QString::fromLatin1(kChooseImageFirstMessage));
        return;
    }
    QDialog::accept();
}

}  // namespace pelmora::ui
