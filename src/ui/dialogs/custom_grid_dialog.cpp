#include "ui/dialogs/custom_grid_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "ui/dialog_units.h"

namespace pelmora::ui {

CustomGridDialog::CustomGridDialog(const QString& label, int value, QWidget* parent)
    : QDialog(parent), value_(value) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(label, this));
    field_ = new QLineEdit(QString::number(value), this);
    field_->setObjectName(QStringLiteral("size"));
    field_->setValidator(new QIntValidator(1, kLargest, field_));
    field_->setMaximumWidth(DialogUnits::FromFont(font()).X(40));
    field_->selectAll();
    row->addWidget(field_);
    row->addStretch();
    layout->addLayout(row);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    layout->addWidget(ok_, 0, Qt::AlignRight);
    // Wide enough for the title bar to show the whole title beside its buttons.
    const int titleWidth = QFontMetrics(font()).horizontalAdvance(windowTitle());
    layout->addSpacerItem(new QSpacerItem(titleWidth + DialogUnits::FromFont(font()).X(60), 0,
                                          QSizePolicy::Fixed, QSizePolicy::Minimum));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(ok_, &QPushButton::clicked, this, &CustomGridDialog::accept);
}

void CustomGridDialog::accept() {
    // The validator lets "0" or an empty field stand while typing; OK does not take them.
    if (!field_->hasAcceptableInput()) {
        QApplication::beep();
        field_->setFocus();
        field_->selectAll();
        return;
    }
    value_ = field_->text().toInt();
    QDialog::accept();
}

}  // namespace pelmora::ui
