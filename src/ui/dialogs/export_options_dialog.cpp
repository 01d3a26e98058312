#include "ui/dialogs/export_options_dialog.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/dialog_units.h"
#include "ui/modal_ui.h"

namespace pelmora::ui {

namespace {

constexpr int kJpegIndex = 5;

}  // namespace

int ExportFormatIndex(ImageFormat format) {
    for (size_t i = 0; i < kExportFormats.size(); ++i)
        if (kExportFormats[i].format == format) return static_cast<int>(i);
    return 0;
}

ExportOptionsDialog::ExportOptionsDialog(const ExportOptions& options, bool htmlAllowed,
                                         std::array<Colour, 16>& customColours, ModalUi& modal,
                                         QWidget* parent)
    : QDialog(parent),
      options_(options),
      htmlAllowed_(htmlAllowed),
      customColours_(customColours),
      modal_(modal) {
    setWindowTitle(QStringLiteral("Export Options..."));
    setFont(DialogFont());
    const DialogUnits du = DialogUnits::FromFont(font());
    auto* layout = new QVBoxLayout(this);

    auto* folderGroup = new QGroupBox(QStringLiteral("Export Folder:"), this);
    auto* folderRow = new QHBoxLayout(folderGroup);
    folderField_ = new QLineEdit(folderGroup);
    folderField_->setReadOnly(true);
    folderField_->setMinimumWidth(du.X(120));
    browse_ = new QPushButton(QStringLiteral("Browse"), folderGroup);
    folderRow->addWidget(folderField_, 1);
    folderRow->addWidget(browse_);
    layout->addWidget(folderGroup);

    auto* formatGroup = new QGroupBox(QStringLiteral("Export Format:"), this);
    auto* formatRow = new QHBoxLayout(formatGroup);
    formats_ = new QComboBox(formatGroup);
    for (const ExportFormatInfo& format : kExportFormats)
        formats_->addItem(QString::fromLatin1(format.label));
    formatRow->addWidget(formats_, 1);
    layout->addWidget(formatGroup);

    auto* htmlRow = new QHBoxLayout;
    saveHtml_ = new QCheckBox(QStringLiteral("Save HTML Page"), this);
    htmlOptions_ = new QPushButton(QStringLiteral("Set HTML Options"), this);
    htmlRow->addWidget(saveHtml_);
    htmlRow->addWidget(htmlOptions_);
    htmlRow->addStretch();
    layout->addLayout(htmlRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    export_ = new QPushButton(QStringLiteral("Export"), this);
    export_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(export_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    folderField_->setText(QString::fromStdString(ShortFolderText(options_.folder)));
    formats_->setCurrentIndex(ExportFormatIndex(options_.format));
    saveHtml_->setChecked(options_.saveHtmlPage);
    ShowHtmlControls();

    connect(browse_, &QPushButton::clicked, this, &ExportOptionsDialog::Browse);
    // activated, not currentIndexChanged: choosing JPEG again must ask again.
    connect(formats_, &QComboBox::activated, this, &ExportOptionsDialog::ChooseFormat);
    connect(saveHtml_, &QCheckBox::toggled, this, [this](bool on) {
        options_.saveHtmlPage = on;
        ShowHtmlControls();
    });
    connect(htmlOptions_, &QPushButton::clicked, this, [this] {
        if (const auto gallery = modal_.AskHtmlOptions(options_.gallery, customColours_))
            options_.gallery = *gallery;
    });
    connect(export_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

ExportOptions ExportOptionsDialog::Options() const {
    return options_;
}

void ExportOptionsDialog::ChooseFormat(int index) {
    if (index < 0 || index >= static_cast<int>(kExportFormats.size())) return;
    if (formats_->currentIndex() != index) formats_->setCurrentIndex(index);
    options_.format = kExportFormats[index].format;
    if (index == kJpegIndex) options_.jpegQuality = modal_.AskJpegQuality(options_.jpegQuality);
    ShowHtmlControls();
}

void ExportOptionsDialog::Browse() {
    // The chooser opens in the folder the dialog shows: the export folder last used.
    const QString chosen = modal_.ChooseFolder(QString::fromStdString(options_.folder));
    if (chosen.isEmpty()) return;
    // Kept without a trailing separator (a root keeps its own), as file names are joined on.
    options_.folder = QDir::toNativeSeparators(QDir::cleanPath(chosen)).toStdString();
    folderField_->setText(QString::fromStdString(ShortFolderText(options_.folder)));
}

void ExportOptionsDialog::ShowHtmlControls() {
    const bool offered = htmlAllowed_ && formats_->currentIndex() == kJpegIndex;
    saveHtml_->setVisible(offered);
    htmlOptions_->setVisible(offered && saveHtml_->isChecked());
}

}  // namespace pelmora::ui
