#pragma once

#include <QDialog>
#include <QRadioButton>

namespace pelmora::ui {

// "Sorting Options...": ascending (0) or descending (1) by page.
class SortOptionsDialog : public QDialog {
    Q_OBJECT

public:
    SortOptionsDialog(int choice, QWidget* parent = nullptr);
    int Choice() const { return descending_->isChecked() ? 1 : 0; }
    QRadioButton* AscendingButton() const { return ascending_; }
    QRadioButton* DescendingButton() const { return descending_; }

private:
    QRadioButton* ascending_;
    QRadioButton* descending_;
};

}  // namespace pelmora::ui
