#pragma once

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QString>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "base/image_io.h"
#include "base/project.h"
#include "test_support.h"
#include "ui/main_window.h"
#include "ui/scripted_modal_ui.h"

// Every editor test program initialises the image library before Qt.
#define PELMORA_UI_TEST_MAIN(TestClass)         \
    int main(int argc, char** argv) {           \
        pelmora::InitImageLibrary(argv[0]);     \
        pelmora::SetImageLibraryThreads(1);     \
        QApplication app(argc, argv);           \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }

namespace pelmora::test {

// A WAD file with the given records and pages of PatternPage(seed = page number).
std::string WriteWad(const std::string& path, const std::vector<TextureRecord>& records, int pages,
                     uint32_t version = 129, const std::string& rest = {});

// Writes width x height PNG files of a flat colour.
void WritePng(const std::string& path, int width, int height, Colour colour);

inline QRgb Rgb(Colour c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The title as the title bar shows it: Qt's "[*]" marker as "*" while the window is
// modified, gone otherwise.
inline QString ShownTitle(const QWidget& window) {
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"),
                         window.isWindowModified() ? QStringLiteral("*") : QString());
}

inline QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

// A shown main window that answers from a script, and a folder for its files. Test classes
// call StartWindow from init() and StopWindow from cleanup(), so every test starts afresh.
class WindowTest : public QObject {
protected:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<ui::ScriptedModalUi> modal_;
    std::unique_ptr<ui::MainWindow> window_;

    void StartWindow() {
        dir_ = std::make_unique<TempDir>();
        modal_ = std::make_unique<ui::ScriptedModalUi>();
        window_ = std::make_unique<ui::MainWindow>(*modal_);
        // Never the user's own settings.
        window_->SetSettingsPath(QString::fromStdString(dir_->File("pelmora.cfg")));
        window_->show();
    }
    void StopWindow() {
        window_.reset();
        modal_.reset();
        dir_.reset();
    }
    // Writes a WAD of these records and pattern pages and opens it in the window.
    void Open(const std::vector<TextureRecord>& records, int pages,
              const std::string& name = "level.wad") {
        WriteWad(dir_->File(name), records, pages);
        window_->OpenFile(QString::fromStdString(dir_->File(name)));
    }
    // Closes the window as the program ends and starts a new one on the same settings;
    // between the runs whatever the test wants to do to the settings file.
    void Restart(const std::function<void(const std::string&)>& between = {}) {
        const QString path = window_->SettingsPath();
        window_.reset();
        if (between) between(path.toStdString());
        window_ = std::make_unique<ui::MainWindow>(*modal_);
        window_->SetSettingsPath(path);
        window_->show();
        window_->Start({QStringLiteral("pelmora")});
    }
    void Select(int texture) {
        window_->TextureList()->setCurrentIndex(texture);
        window_->ShowSelectedTexture();
    }
};

}  // namespace pelmora::test
