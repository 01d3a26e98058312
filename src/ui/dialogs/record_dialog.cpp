#include "ui/dialogs/record_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QRegularExpressionValidator>

#include "ui/dialog_units.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

QString AddRecordTitle(int recordCount) {
    return QStringLiteral("Add Texture  Record %1").arg(recordCount + 1);
}

QString EditRecordTitle(int recordIndex) {
    return QStringLiteral("Edit Texture  Record %1").arg(recordIndex + 1);
}

int FlipIndexOf(int8_t flip) {
    return flip == 0 ? 1 : 0;
}

int8_t FlipValueOf(int index) {
    return index == 1 ? 0 : -1;
}

RecordDialog::RecordDialog(const QString& title, const RecordFields& fields, int pageCount,
                           bool offerAddPage, ModalUi* modal, QWidget* parent)
    : QDialog(parent),
      fields_(fields),
      pageCount_(pageCount),
      offerAddPage_(offerAddPage),
      modal_(modal) {
    setWindowTitle(title.isEmpty() ? QString::fromLatin1(kDefaultTitle) : title);
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
    auto flip = [&](int8_t value) {
        auto* list = new QComboBox(this);
        list->addItems({QStringLiteral("-1"), QStringLiteral("0")});
        list->setCurrentIndex(FlipIndexOf(value));
        return list;
    };
    flipX_ = flip(fields.flipX);
    flipY_ = flip(fields.flipY);
    page_ = new QComboBox(this);
    for (int i = 1; i <= pageCount; ++i) page_->addItem(QString::number(i));
    if (offerAddPage) page_->addItem(QStringLiteral("Add Page"));
    // A page past the list (a record on a page not made yet) shows no entry.
    const int entry = fields.newPage ? pageCount : fields.page;
    page_->setCurrentIndex(entry < page_->count() ? entry : -1);
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
    fields_.flipX = FlipValueOf(flipX_->currentIndex());
    fields_.flipY = FlipValueOf(flipY_->currentIndex());
    // No entry chosen keeps the page the dialog started with.
    if (const int entry = page_->currentIndex(); entry >= 0) {
        fields_.newPage = offerAddPage_ && entry == pageCount_;
        if (!fields_.newPage) fields_.page = entry;
    }
    QDialog::accept();
}

}  // namespace pelmora::ui
