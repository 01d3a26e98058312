// The about box on its own.
#include <QClipboard>
#include <QGuiApplication>

#include "ui/dialog_units.h"
#include "ui/dialogs/about_dialog.h"
#include "ui_test_support.h"

using namespace pelmora::ui;

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsItsTextsInItsSize() {
        AboutDialog dialog;
        const DialogUnits du = DialogUnits::FromFont(DialogFont());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Pelmora"));
        QCOMPARE(dialog.size(), QSize(du.X(217), du.Y(196)));
        QVERIFY(dialog.NameLabel()->text().startsWith(QStringLiteral("Pelmora Version 1.0.6.6\n")));
        QVERIFY(dialog.HistoryLabel()->text().contains(QStringLiteral("1.0.6.6")));
        const QString description = QString::fromLatin1(AboutDialog::kDescription);
        bool found = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            found = found || label->text() == description;
        }
        QVERIFY(found);

        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);  // OK is the default button
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void theAddressCanBeCopiedButNotChanged() {
        AboutDialog dialog;
        dialog.show();
        QLineEdit* contact = dialog.ContactField();
        QVERIFY(contact->isReadOnly());
        QCOMPARE(contact->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        contact->selectAll();
        contact->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromLatin1(AboutDialog::kContactAddress));
    }

    void paintsBlackAroundAWhiteHeaderAndAButtonFaceBody() {
        AboutDialog dialog;
        const QImage image = dialog.grab().toImage();
        const QColor face = dialog.palette().color(QPalette::Button);
        const QRect header = dialog.HeaderRect();
        const QRect body = dialog.BodyRect();
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(header.left() + 4, header.top() + header.height() / 2),
                 QColor(Qt::white));
        QCOMPARE(image.pixelColor(body.center().x(), body.top()), QColor(Qt::black));  // the band
        QCOMPARE(image.pixelColor(body.left() + 3, body.bottom() - 2), face);
    }
};

PELMORA_UI_TEST_MAIN(AboutDialogTest)
#include "test_about_dialog.moc"
