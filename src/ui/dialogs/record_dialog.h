#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "edit/record_editing.h"

namespace pelmora::ui {

class ModalUi;

// The Texture Record dialog: a record's place, size, flips and page, as typed.
class RecordDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kNotAnIntegerMessage = "Please enter an integer.";

    RecordDialog(const QString& title, const RecordFields& fields, int pageCount, bool offerAddPage,
                 ModalUi* modal, QWidget* parent = nullptr);

    const RecordFields& Fields() const { return fields_; }
    QLineEdit* XField() const { return x_; }
    QLineEdit* YField() const { return y_; }
    QLineEdit* WidthField() const { return width_; }
    QLineEdit* HeightField() const { return height_; }
    QComboBox* FlipXList() const { return flipX_; }
    QComboBox* FlipYList() const { return flipY_; }
    QComboBox* PageList() const { return page_; }

public slots:
    void accept() override;

private:
    RecordFields fields_;
    ModalUi* modal_;
    QLineEdit* x_;
    QLineEdit* y_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* flipX_;
    QComboBox* flipY_;
    QComboBox* page_;
};

}  // namespace pelmora::ui
