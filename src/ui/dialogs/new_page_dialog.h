#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "edit/page_creation.h"
#include "base/colour.h"

namespace pelmora::ui {

class ColourSwatch;
class ModalUi;

// "Do you want to add a new page?": blank pages, a page from an image, or the pages a long
// image is cut into. "Yes" accepts, "No" declines.
class NewPageDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kCountMessage = "Please enter an integer between 1 and 10.";

    // The custom colours are the choosers'; the dialog changes them only through one.
    NewPageDialog(Colour colour, std::array<Colour, 16>& customColours, ModalUi& modal,
                  const QString& folder, QWidget* parent = nullptr);

    // What the dialog holds (valid once it was accepted).
    const NewPageOptions& Options() const { return options_; }

    QRadioButton* KindButton(NewPageKind kind) const;
    QCheckBox* KeepAspect() const { return keepAspect_; }
    QLineEdit* Count() const { return count_; }
    QPushButton* PageColourButton() const { return pageColour_; }
    QPushButton* LoadImageButton() const { return loadImage_; }
    QPushButton* YesButton() const { return yes_; }
    QPushButton* NoButton() const { return no_; }
    ColourSwatch* Swatch() const { return swatch_; }

public slots:
    void accept() override;

private:
    // Reads the count back; false (after saying so) when it is not 1 to 10.
    bool ReadCount();
    void ShowControlsForKind();
    void ChooseColour();
    void ChooseImage();

    NewPageOptions options_;
    std::array<Colour, 16>& customColours_;
    ModalUi& modal_;
    QString folder_;
    QRadioButton* kinds_[3];
    QCheckBox* keepAspect_;
    QLabel* countLabel_;
    QLineEdit* count_;
    QPushButton* pageColour_;
    QPushButton* loadImage_;
    QLabel* note_;
    ColourSwatch* swatch_;
    QPushButton* yes_;
    QPushButton* no_;
};

}  // namespace pelmora::ui
