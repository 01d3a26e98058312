#include <QApplication>

#include "store/image_io.h"
#include "store/temp_files.h"
#include "ui/main_window.h"
#include "ui/modal_ui.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    // After the image library, whose own handlers would exit without removing our files.
    pelmora::CleanUpTempFilesOnSignals();
    // The adding of pieces decodes on a thread of its own.
    pelmora::SetImageLibraryThreads(1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmora"));
    QApplication::setApplicationVersion(QStringLiteral(PELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pelmora"));

    pelmora::ui::QtModalUi modal;
    pelmora::ui::MainWindow window(modal);
    window.show();
    window.Start(QApplication::arguments());
    return QApplication::exec();
}
