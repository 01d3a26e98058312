#pragma once

#include <QDialog>
#include <QLineEdit>

namespace pelmora::ui {

class ModalUi;

// "Merging Records Options...": asks how many pages to shift the page numbers of appended
// records by. There is no Cancel: closing it any other way than OK keeps the preset value.
class MergeOptionsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kNotAnIntegerMessage = "Please enter an integer.";

    MergeOptionsDialog(int presetShift, ModalUi* modal, QWidget* parent = nullptr);

    int ShiftValue() const { return shift_; }
    QLineEdit* Field() const { return field_; }

    // Shows the dialog and answers the value it holds when it closes.
    static int Ask(int presetShift, ModalUi* modal, QWidget* parent);

public slots:
    void accept() override;

private:
    int shift_;
    ModalUi* modal_;
    QLineEdit* field_;
};

}  // namespace pelmora::ui
