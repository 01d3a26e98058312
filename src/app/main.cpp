#include <QApplication>
#include <QMainWindow>

#include "store/image_io.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Pelmora v1.0.6.6 (by Brell)");
    window.show();
    return app.exec();
}
