#include "ui/dialogs/record_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QRegularExpressionValidator>

#include "ui/dialog_units.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

RecordDialog::RecordDialog(const QString& title, const RecordFields& fields, int pageCount,
                           bool offerAddPage, ModalUi* modal, QWidget* parent)
    : QDialog(parent), fields_(fields), modal_(modal) {
    setWindowTitle(title.isEmpty() ? QString::fromLatin1(kRecordDialogTitle) : title);
    setFont(DialogFont());
    auto* form = new QFormLayout(this);
    auto number = [&](int value) {
        auto* field = new QLineEdit(QString::number(value), this);
        field->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
        return field;
    };
    x_ = number(fields.x);
    y_ = number(fields.y);
    width_ = number(fields.width);
    height_ = number(fields.height);
    auto flip = [&](int index) {
        auto* list = new QComboBox(this);
        list->addItems({QStringLiteral("-1"), QStringLiteral("0")});
        list->setCurrentIndex(index);
        return list;
    };
    flipX_ = flip(fields.flipXIndex);
    flipY_ = flip(fields.flipYIndex);
    page_ = new QComboBox(this);
    for (int i = 1; i <= pageCount; ++i) page_->addItem(QString::number(i));
    if (offerAddPage) page_->addItem(QStringLiteral("Add Page"));
    // A page past the list (a record on a page not made yet) shows no entry.
    page_->setCurrentIndex(fields.pageIndex < page_->count() ? fields.pageIndex : -1);
    form->addRow(QStringLiteral("Left Position (X):"), x_);
    form->addRow(QStringLiteral("Top Position (Y):"), y_);
    form->addRow(QStringLiteral("Width:"), width_);
    form->addRow(QStringLiteral("Height:"), height_);
    form->addRow(QStringLiteral("Flip X:"), flipX_);
    form->addRow(QStringLiteral("Flip Y:"), flipY_);
    form->addRow(QStringLiteral("Page Number:"), page_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RecordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(DialogUnits::FromFont(font()).X(150));
}

void RecordDialog::accept() {
    int values[4];
    QLineEdit* fields[4] = {x_, y_, width_, height_};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = fields[i]->text().toInt(&ok);
        if (!ok) {
            const QString text = QString::fromLatin1(kNotAnIntegerMessage);
            if (modal_) {
                modal_->Message(text, {}, MessageIcon::Warning);
            } else {
                QMessageBox::warning(this, ProgramCaption(), text);
            }
            fields[i]->setFocus();
            fields[i]->selectAll();
            return;
        }
    }
    fields_.x = values[0];
    fields_.y = values[1];
    fields_.width = values[2];
    fields_.height = values[3];
    fields_.flipXIndex = flipX_->currentIndex();
    fields_.flipYIndex = flipY_->currentIndex();
    fields_.pageIndex = page_->currentIndex();
    QDialog::accept();
}

}  // namespace pelmora::ui
