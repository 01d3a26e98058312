#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "export/bulk_export.h"
#include "base/colour.h"

namespace pelmora::ui {

class ModalUi;

// "Export Options...": where the bulk exports write, in which format, and whether the
// gallery page goes with the JPEG images. Its questions (folder, quality, gallery look) go
// through the modal seam.
class ExportOptionsDialog : public QDialog {
    Q_OBJECT

public:
    ExportOptionsDialog(const ExportOptions& options, bool htmlAllowed,
                        std::array<Colour, 16>& customColours, ModalUi& modal,
                        QWidget* parent = nullptr);

    // What the dialog holds now; the folder and gallery count even after Cancel.
    ExportOptions Options() const;

    // Picking a format from the list; picking JPEG, even again, asks for the quality.
    void ChooseFormat(int index);

    QLineEdit* FolderField() const { return folderField_; }
    QPushButton* BrowseButton() const { return browse_; }
    QComboBox* FormatList() const { return formats_; }
    QCheckBox* SaveHtml() const { return saveHtml_; }
    QPushButton* HtmlOptionsButton() const { return htmlOptions_; }
    QPushButton* ExportButton() const { return export_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void Browse();
    void ShowHtmlControls();

    ExportOptions options_;
    bool htmlAllowed_;
    std::array<Colour, 16>& customColours_;
    ModalUi& modal_;
    QLineEdit* folderField_;
    QPushButton* browse_;
    QComboBox* formats_;
    QCheckBox* saveHtml_;
    QPushButton* htmlOptions_;
    QPushButton* export_;
    QPushButton* cancel_;
};

// The index of format in the export list; 0 (BMP) for a format the list lacks.
int ExportFormatIndex(ImageFormat format);

}  // namespace pelmora::ui
