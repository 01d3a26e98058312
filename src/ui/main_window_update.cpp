// Help > Check for Update: the check itself is the core's; the window waits, asks and shows.
#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <memory>

#include "ui/main_window.h"
#include "update/update_check.h"

namespace pelmora::ui {

namespace {

// Fetches on a worker thread while the window waits in a loop of its own that takes no user
// input: the window keeps painting however slow the site is, and the fetch's own time limit
// ends the wait.
PageFetch FetchWhileWaiting(const std::string& address) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PageFetch page;
    std::unique_ptr<QThread> worker(
        QThread::create([&page, address] { page = FetchPage(address); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    if (!worker->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Should the program be told to quit meanwhile, the loop ends early and this waits on.
    worker->wait();
    QApplication::restoreOverrideCursor();
    return page;
}

}  // namespace

void MainWindow::CheckForUpdateCommand() {
    const UpdatePrompts prompts{
        [this](const std::string& question) {
            return modal_.Ask(QString::fromStdString(question), QString::fromLatin1(kUpdateCaption),
                              MessageIcon::Question,
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        },
        [this](const std::string& address) {
            return modal_.OpenAddress(QString::fromStdString(address));
        },
        [this](const std::string& message) { modal_.Message(QString::fromStdString(message)); }};
    const UpdateResult result = Check(UpdateSiteBase(), FetchWhileWaiting, prompts);
    if (result != UpdateResult::BrowserOpened)
        modal_.Message(QString::fromStdString(UpdateMessage(result)));
}

}  // namespace pelmora::ui
