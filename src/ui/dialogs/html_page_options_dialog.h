#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <array>

#include "export/html_gallery.h"
#include "base/colour.h"

namespace pelmora::ui {

class ColourSwatch;
class ModalUi;

// A number box that takes any whole number typed into it while its arrows step within
// 0 to 100: the gallery writes whatever the user typed, but the arrows suggest sane values.
class UpDownBox : public QSpinBox {
    Q_OBJECT

public:
    explicit UpDownBox(QWidget* parent = nullptr);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
};

// "HTML Page Options...": the look of the gallery table. OK hands back every value, Cancel
// none.
class HtmlPageOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // The custom colours are the choosers'; the dialog changes them only through one.
    HtmlPageOptionsDialog(const GallerySettings& settings, std::array<Colour, 16>& customColours,
                          ModalUi& modal, QWidget* parent = nullptr);

    // What the dialog holds (as OK would hand it back).
    GallerySettings Settings() const;

    QSpinBox* Columns() const { return columns_; }
    QSpinBox* Border() const { return border_; }
    QSpinBox* Padding() const { return padding_; }
    QSpinBox* Spacing() const { return spacing_; }
    QCheckBox* SpecifyWidth() const { return specifyWidth_; }
    QSpinBox* Width() const { return width_; }
    QRadioButton* Pixels() const { return pixels_; }
    QRadioButton* Percent() const { return percent_; }
    QComboBox* Alignment() const { return alignment_; }
    QPushButton* TableColourButton() const { return tableChoose_; }
    QPushButton* CellColourButton() const { return cellChoose_; }
    ColourSwatch* TableSwatch() const { return tableSwatch_; }
    ColourSwatch* CellSwatch() const { return cellSwatch_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void ChooseColour(ColourSwatch* swatch);
    void EnableWidthControls();

    std::array<Colour, 16>& customColours_;
    ModalUi& modal_;
    UpDownBox* columns_;
    UpDownBox* border_;
    UpDownBox* padding_;
    UpDownBox* spacing_;
    QCheckBox* specifyWidth_;
    QSpinBox* width_;
    QRadioButton* pixels_;
    QRadioButton* percent_;
    QComboBox* alignment_;
    ColourSwatch* tableSwatch_;
    ColourSwatch* cellSwatch_;
    QPushButton* tableChoose_;
    QPushButton* cellChoose_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace pelmora::ui
