#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pelmora::ui {

// "About Pelmora": the program's name and version, what it is for, who made it and how to
// reach them, and its versions. Laid out in dialog units on a background it paints itself:
// black, with a rounded frame, a white header and a body in the button-face colour.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "About Pelmora";
    static constexpr const char* kNameLine = "Pelmora Version 1.0.6.6";
    static constexpr const char* kDescription =
        "This Program Is For To Edit The Textures Stored In Wad Files Used For The Stonecrypt "
        "Level Editor.";
    static constexpr const char* kContactAddress = "brell@pelmora.example";

    explicit AboutDialog(QWidget* parent = nullptr);

    // Help > About: runs the box modally.
    static void ShowAbout(QWidget* parent);

    QLabel* NameLabel() const { return name_; }
    QLineEdit* ContactField() const { return contact_; }
    QLabel* HistoryLabel() const { return history_; }
    QPushButton* OkButton() const { return ok_; }
    // The three layout areas in pixels: header, body and footer.
    QRect HeaderRect() const;
    QRect BodyRect() const;
    QRect FooterRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* name_;
    QLineEdit* contact_;
    QLabel* history_;
    QPushButton* ok_;
};

}  // namespace pelmora::ui
