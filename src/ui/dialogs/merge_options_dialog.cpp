#include "ui/dialogs/merge_options_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/dialog_units.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

MergeOptionsDialog::MergeOptionsDialog(int presetShift, ModalUi* modal, QWidget* parent)
    : QDialog(parent), shift_(presetShift), modal_(modal) {
    setWindowTitle(QStringLiteral("Merging Records Options..."));
    setFont(DialogFont());
    const DialogUnits du = DialogUnits::FromFont(font());
    setFixedSize(du.X(207), du.Y(71));

    auto label = [&](const QString& text, QRect r, Qt::Alignment align = Qt::AlignLeft) {
        auto* l = new QLabel(text, this);
        l->setWordWrap(true);
        l->setAlignment(align | Qt::AlignTop);
        l->setGeometry(r);
        return l;
    };
    label(QStringLiteral("Please type in the amount of pages to shift when merging the records..."),
          du.Rect(5, 5, 115, 20));
    label(QStringLiteral("The Default is Current Page Count"), du.Rect(5, 25, 109, 8));
    label(QStringLiteral("Note: make sure to add enough pages before selecting a texture from "
                         "the list if you shift the page numbers...."),
          du.Rect(5, 40, 130, 25));
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du.X(140), du.Y(5), 2, du.Y(60));
    label(QStringLiteral("Shift Value:"), du.Rect(150, 10, 50, 8), Qt::AlignHCenter);

    field_ = new QLineEdit(QString::number(presetShift), this);
    field_->setObjectName(QStringLiteral("shiftValue"));
    field_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field_));
    field_->setGeometry(du.Rect(150, 20, 50, 15));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(du.Rect(150, 40, 50, 14));
    connect(ok, &QPushButton::clicked, this, &MergeOptionsDialog::accept);
}

void MergeOptionsDialog::accept() {
    bool ok = false;
    const int value = field_->text().toInt(&ok);
    if (!ok) {
        if (modal_) {
            modal_->Message(QString::fromLatin1(kNotAnIntegerMessage), {}, MessageIcon::Warning);
        } else {
            QMessageBox::warning(this, ProgramCaption(), QString::fromLatin1(kNotAnIntegerMessage));
        }
        field_->setFocus();
        field_->selectAll();
        return;
    }
    shift_ = value;
    QDialog::accept();
}

int MergeOptionsDialog::Ask(int presetShift, ModalUi* modal, QWidget* parent) {
    MergeOptionsDialog dialog(presetShift, modal, parent);
    dialog.exec();
    return dialog.ShiftValue();
}

}  // namespace pelmora::ui
