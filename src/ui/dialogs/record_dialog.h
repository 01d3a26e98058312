#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "edit/record_editing.h"

namespace pelmora::ui {

class ModalUi;

// "Add Texture  Record %d" with the number the new record will get (recordCount + 1);
// "Edit Texture  Record %d" for record recordIndex (0-based).
QString AddRecordTitle(int recordCount);
QString EditRecordTitle(int recordIndex);

// The flip drop-down lists: entry "-1" is index 0, entry "0" is index 1; any other stored
// value shows as "-1".
int FlipIndexOf(int8_t flip);
int8_t FlipValueOf(int index);

// The Texture Record dialog: a record's place, size, flips and page, as typed. The page list
// holds the pages and, when offered, "Add Page" (a new page); a record on a page past the
// list shows no entry and keeps its page unless another is chosen.
class RecordDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kNotAnIntegerMessage = "Please enter an integer.";
    static constexpr const char* kDefaultTitle = "Texture Record Dialog";

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
    int pageCount_;
    bool offerAddPage_;
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
