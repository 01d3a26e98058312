#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <string>

#include "base/image_io.h"
#include "base/paths.h"
#include "base/project.h"
#include "test_support.h"
#include "ui/animated_picture.h"
#include "ui/colour_swatch.h"
#include "ui/commands.h"
#include "ui/editor_texts.h"
#include "ui/main_window.h"
#include "ui/page_canvas.h"
#include "ui/page_composer.h"
#include "ui/piece_preview.h"
#include "ui/scripted_modal_ui.h"
#include "ui/text_progress_bar.h"
#include "wad/wad_open.h"

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

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

inline QRgb Rgb(Colour c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

inline QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

// A menu's item texts, "-" for a separator.
inline QStringList MenuTexts(const QWidget* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

// The item at the end of a path of item texts, through submenus; null when there is none.
inline QAction* FindAction(const QList<QAction*>& actions, const QStringList& path) {
    for (QAction* action : actions) {
        if (action->text() != path.front()) continue;
        if (path.size() == 1) return action;
        if (action->menu()) return FindAction(action->menu()->actions(), path.mid(1));
    }
    return nullptr;
}

inline void Choose(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text));
    emit list->activated(list->currentIndex());
}

// A press, move or release of the left button (or of `button`) at a point of the widget.
inline void Mouse(QWidget* w, QEvent::Type type, QPoint at,
                  Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::MouseButtons();
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Files dropped on the widget; a drop reaches only the widget that took the drag on entering.
inline void Drop(QWidget* w, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
}

// A shown main window that answers from a script, and a folder for its files; every test
// starts afresh.
class WindowTest : public QObject {
    Q_OBJECT

protected slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

protected:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<ui::ScriptedModalUi> modal_;
    std::unique_ptr<ui::MainWindow> window_;

    void StartWindow() {
        dir_ = std::make_unique<TempDir>();
        modal_ = std::make_unique<ui::ScriptedModalUi>();
        NewWindow(File("pelmora.cfg"));  // never the user's own settings
    }
    void NewWindow(const QString& settingsPath) {
        window_ = std::make_unique<ui::MainWindow>(*modal_);
        window_->SetSettingsPath(settingsPath);
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
    // Closes the window as the program ends and starts a new one on the same settings; between the
    // runs whatever the test wants to do to the settings file.
    void Restart(const std::function<void(const std::string&)>& between = {}) {
        const QString path = window_->SettingsPath();
        window_.reset();
        if (between) between(path.toStdString());
        NewWindow(path);
        window_->Start({QStringLiteral("pelmora")});
    }
    void Select(int texture) {
        window_->TextureList()->setCurrentIndex(texture);
        window_->ShowSelectedTexture();
    }
    QString File(const std::string& name) const { return Q(dir_->File(name)); }
    // The texts of the message boxes shown so far, and of the last one.
    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : modal_->messages) texts << m.text;
        return texts;
    }
    QString Told() const { return Messages().value(Messages().size() - 1); }
    QString Text() const { return window_->RecordTextBox()->toPlainText(); }
    QStringList Counters() const {
        return {window_->PageCounter()->text(), window_->TextureCounter()->text()};
    }
    // As the title bar shows it: Qt's "[*]" marker as "*" while modified, gone otherwise.
    QString Title() const {
        return window_->windowTitle().replace("[*]", window_->isWindowModified() ? "*" : "");
    }
    QPushButton* Button(const char* name) const {
        return window_->findChild<QPushButton*>(QLatin1String(name));
    }
    // The menu bar's item at the end of the path ("&Edit", "&Texture Pages", "&Export All").
    QAction* Item(const QStringList& path) const {
        return FindAction(window_->menuBar()->actions(), path);
    }
    void Trigger(const QStringList& path) {
        QAction* action = Item(path);
        QVERIFY2(action, qPrintable(path.join('>')));
        action->trigger();
    }
    // The file chooser answers `path`, then the command runs.
    template <typename Result>
    void Answering(const QString& path, Result (ui::MainWindow::*command)()) {
        modal_->fileAnswers.push_back({path});
        (window_.get()->*command)();
    }
};

}  // namespace pelmora::test

using namespace pelmora;
using namespace pelmora::ui;
using namespace pelmora::test;
