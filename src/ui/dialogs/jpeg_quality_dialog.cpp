#include "ui/dialogs/jpeg_quality_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialog_units.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

JpegQualityDialog::JpegQualityDialog(int quality, ModalUi* modal, QWidget* parent)
    : QDialog(parent), quality_(std::clamp(quality, 0, 100)), modal_(modal) {
    setWindowTitle(QStringLiteral("JPEG Compression Options..."));
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Quality Factor:"), this);
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Low:"), group));
    slider_ = new QSlider(Qt::Horizontal, group);
    slider_->setRange(0, 100);
    slider_->setSingleStep(1);
    slider_->setPageStep(10);
    slider_->setTickInterval(25);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setMinimumWidth(DialogUnits::FromFont(font()).X(100));
    row->addWidget(slider_);
    row->addWidget(new QLabel(QStringLiteral("High:"), group));
    field_ = new QLineEdit(group);
    field_->setObjectName(QStringLiteral("quality"));
    field_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), field_));
    field_->setMaximumWidth(DialogUnits::FromFont(font()).X(30));
    row->addWidget(field_);
    row->addWidget(new QLabel(QStringLiteral("%"), group));
    layout->addWidget(group);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    slider_->setValue(quality_);
    field_->setText(QString::number(quality_));
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (field_->text().toInt() != value || field_->text().isEmpty())
            field_->setText(QString::number(value));
    });
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (ok && value >= 0 && value <= 100) slider_->setValue(value);
    });
    connect(ok, &QPushButton::clicked, this, &JpegQualityDialog::accept);
}

void JpegQualityDialog::accept() {
    bool ok = false;
    const int value = field_->text().toInt(&ok);
    if (!ok || value < 0 || value > 100) {
        const QString text = QString::fromLatin1(kOutOfRangeMessage);
        if (modal_) {
            modal_->Message(text, {}, MessageIcon::Warning);
        } else {
            QMessageBox::warning(this, ProgramCaption(), text);
        }
        field_->setFocus();
        field_->selectAll();
        return;
    }
    quality_ = value;
    QDialog::accept();
}

int JpegQualityDialog::Ask(int quality, ModalUi* modal, QWidget* parent) {
    JpegQualityDialog dialog(quality, modal, parent);
    dialog.exec();
    return dialog.Quality();
}

}  // namespace pelmora::ui
