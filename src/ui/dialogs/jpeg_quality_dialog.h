#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QSlider>

namespace pelmora::ui {

class ModalUi;

// "JPEG Compression Options...": a quality from 0 to 100 on a slider and in a number box
// that follow each other. Only OK: whichever way it closes, the value it holds counts.
class JpegQualityDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kOutOfRangeMessage = "Please enter an integer between 0 and 100.";

    JpegQualityDialog(int quality, ModalUi* modal, QWidget* parent = nullptr);
    int Quality() const { return quality_; }
    QSlider* Slider() const { return slider_; }
    QLineEdit* Field() const { return field_; }

    static int Ask(int quality, ModalUi* modal, QWidget* parent);

public slots:
    void accept() override;

private:
    int quality_;
    ModalUi* modal_;
    QSlider* slider_;
    QLineEdit* field_;
};

}  // namespace pelmora::ui
