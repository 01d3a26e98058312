#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace pelmora::ui {

// "Custom Grid Settings...": one grid cell size, a whole number from 1 up, for the list
// ("Across:" or "Down:") that opened it. OK takes only such a number; anything else leaves
// the dialog open, since the grid is drawn in steps of the size.
class CustomGridDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Custom Grid Settings...";
    // The largest size the settings file keeps.
    static constexpr int kLargest = 65535;

    CustomGridDialog(const QString& label, int value, QWidget* parent = nullptr);
    int Value() const { return value_; }
    QLineEdit* Field() const { return field_; }
    QPushButton* OkButton() const { return ok_; }

public slots:
    void accept() override;

private:
    int value_;
    QLineEdit* field_;
    QPushButton* ok_;
};

}  // namespace pelmora::ui
