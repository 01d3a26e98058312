// Help > Check for Update as the window runs it: what it asks and what it shows. The check's
// own cases are the update module's tests' business.
#include "ui_test_support.h"
#include "update/local_http_server.h"
#include "update/update_check.h"

using namespace pelmora;
using namespace pelmora::ui;

class UpdateCheckTest : public test::WindowTest {
    Q_OBJECT

    void CheckForUpdate() {
        for (QAction* action : window_->HelpMenu()->actions())
            if (action->text() == QStringLiteral("&Check for Update")) return action->trigger();
        QFAIL("no Check for Update item");
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() {
        StopWindow();
        qunsetenv(kUpdateSiteVariable);
    }

    void decliningOrAFailingBrowserEndsTheCheckWithItsMessage() {
        test::LocalHttpServer server(test::LocalHttpServer::Body("99.0\r\n"));
        const QString site = QString::fromStdString(server.Base());
        qputenv(kUpdateSiteVariable, site.toUtf8());

        modal_->answers.push_back(QMessageBox::No);
        CheckForUpdate();
        QCOMPARE(modal_->questions, std::vector<QString>{QStringLiteral(
                                        "Would you like update Pelmora v" PELMORA_VERSION
                                        " to v99.0,\nClick yes to visit download "
                                        "site...")});
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(modal_->messages[0].text, QStringLiteral("Update Not Complete"));
        QVERIFY(modal_->shellOpened.empty());
        QVERIFY(!QApplication::overrideCursor());

        modal_->answers.push_back(QMessageBox::Yes);
        modal_->shellOpens = false;
        CheckForUpdate();
        QCOMPARE(modal_->shellOpened, std::vector<QString>{site + "pelmora.htm#new_version"});
        QCOMPARE(modal_->messages.size(), size_t(3));
        QCOMPARE(modal_->messages[1].text,
                 "Unable to open browser... try to visit " + site + "pelmora.htm on your own");
        QCOMPARE(modal_->messages[2].text, QStringLiteral("File Download Failure"));
    }
};

PELMORA_UI_TEST_MAIN(UpdateCheckTest)
#include "test_update_check.moc"
