#include "ui/dialogs/about_dialog.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/dialog_units.h"

// The program's icon lives in a static library's resource; naming its initialiser keeps the
// linker from dropping it. It must be called outside any namespace.
static void InitIconResource() {
    Q_INIT_RESOURCE(pelmora);
}

namespace pelmora::ui {

namespace {

constexpr int kCornerRadius = 10;

// When each part of the program was written: the first release and the updates after it.
constexpr const char* kHistory[][2] = {
    {"Development", "Versions 1.0.0.0 to 1.0.4.2"},
    {"First update", "Versions 1.0.5.0 to 1.0.5.8"},
    {"Second update", "Versions 1.0.6.0 to 1.0.6.5"},
    {"Third update", "Version 1.0.6.6"},
};

QString HistoryText() {
    QString rows;
    for (const auto& row : kHistory) {
        rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(QString::fromLatin1(row[0]), QString::fromLatin1(row[1]));
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">%1</table>").arg(rows);
}

DialogUnits Units() {
    return DialogUnits::FromFont(DialogFont());
}

QLabel* MakeLabel(const QString& text, const QRect& where, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    InitIconResource();
    setWindowTitle(QString::fromLatin1(kTitle));
    setFont(DialogFont());
    const DialogUnits du = Units();
    setFixedSize(du.X(217), du.Y(196));
    // The labels stand on the painted background; their text must read on button face.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ButtonText));
    setPalette(colours);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/pelmora/pelmora.png"))
                        .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(du.X(15), du.Y(15), 32, 32);

    name_ = MakeLabel(QString::fromLatin1(kNameLine) + QStringLiteral("\nBy Brell"),
                      du.Rect(40, 15, 160, 20), this);
    QPalette onWhite = name_->palette();
    onWhite.setColor(QPalette::WindowText, Qt::black);  // the header is always white
    name_->setPalette(onWhite);

    MakeLabel(QString::fromLatin1(kDescription), du.Rect(31, 61, 159, 30), this);
    MakeLabel(QStringLiteral("Written by Brell"), du.Rect(31, 91, 64, 15), this)
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // level with the address field

    contact_ = new QLineEdit(QString::fromLatin1(kContactAddress), this);
    contact_->setReadOnly(true);
    contact_->setAlignment(Qt::AlignCenter);
    contact_->setGeometry(du.Rect(101, 91, 90, 15));

    history_ = MakeLabel(HistoryText(), du.Rect(31, 107, 160, 63), this);
    history_->setTextFormat(Qt::RichText);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setGeometry(du.Rect(83, 173, 50, 14));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    ok_->setFocus();
}

void AboutDialog::ShowAbout(QWidget* parent) {
    AboutDialog dialog(parent);
    dialog.exec();
}

QRect AboutDialog::HeaderRect() const {
    return Units().Rect(5, 5, 205, 45);
}
QRect AboutDialog::BodyRect() const {
    return Units().Rect(5, 40, 205, 140);
}
QRect AboutDialog::FooterRect() const {
    return Units().Rect(5, 170, 205, 20);
}

void AboutDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(rect(), Qt::black);

    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect framed = HeaderRect().united(FooterRect()).adjusted(0, 0, -1, -1);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(face);
    painter.drawRoundedRect(framed, kCornerRadius, kCornerRadius);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(framed.adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);

    painter.setBrush(Qt::white);
    painter.drawRoundedRect(HeaderRect().adjusted(2, 2, -3, -3), kCornerRadius, kCornerRadius);

    painter.fillRect(BodyRect().adjusted(2, 0, -2, 0), face);
    painter.fillRect(0, BodyRect().top() - 1, width(), 2, Qt::black);
}

}  // namespace pelmora::ui
