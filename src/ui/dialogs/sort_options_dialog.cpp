#include "ui/dialogs/sort_options_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/dialog_units.h"

namespace pelmora::ui {

SortOptionsDialog::SortOptionsDialog(int choice, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sorting Options..."));
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Select which order you would like to sort the current Texture Postions, "
                       "if you had made any changes since the last sort you would need to sort "
                       "again...."),
        this);
    text->setWordWrap(true);
    text->setMinimumWidth(DialogUnits::FromFont(font()).X(180));
    layout->addWidget(text);
    ascending_ = new QRadioButton(QStringLiteral("Sort by Page Ascending "), this);
    descending_ = new QRadioButton(QStringLiteral("Sort by Page Descending"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(ascending_, 0);
    group->addButton(descending_, 1);
    (choice == 1 ? descending_ : ascending_)->setChecked(true);
    layout->addWidget(ascending_);
    layout->addWidget(descending_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pelmora::ui
