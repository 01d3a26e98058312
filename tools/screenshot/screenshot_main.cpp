// Makes the README's pictures of the editor:
//   pelmora_screenshot --sample FILE           writes a WAD with a few generated textures
//   pelmora_screenshot --about OUT.png         saves a picture of the about box
//   pelmora_screenshot OUT.png FILE [SCENE]    opens FILE in the editor and saves a picture:
//     window   the main window with texture 2 selected (the default)
//     record   the Edit Texture Record dialog of texture 6
//     export   the Export Options dialog set up for a JPEG gallery
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "base/image_io.h"
#include "base/project.h"
#include "edit/add_pieces.h"
#include "edit/record_editing.h"
#include "export/bulk_export.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/export_options_dialog.h"
#include "ui/dialogs/record_dialog.h"
#include "ui/main_window.h"
#include "ui/modal_ui.h"
#include "ui/page_composer.h"
#include "wad/wad_writer.h"

using namespace pelmora;

namespace {

QImage Texture(int w, int h, int kind, QColor a, QColor b) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, a);
    gradient.setColorAt(1, b);
    p.fillRect(image.rect(), gradient);
    switch (kind % 4) {
        case 0:  // bricks
            p.setPen(QPen(a.darker(250), 2));
            for (int y = 0; y < h; y += 16) {
                p.drawLine(0, y, w, y);
                for (int x = (y / 16) % 2 * 16; x < w; x += 32) p.drawLine(x, y, x, y + 16);
            }
            break;
        case 1:  // rings
            for (int r = std::max(w, h); r > 0; r -= 12) {
                p.setPen(QPen(b.lighter(150), 3));
                p.drawEllipse(QPoint(w / 2, h / 2), r / 2, r / 2);
            }
            break;
        case 2:  // checks
            for (int y = 0; y < h; y += 8)
                for (int x = (y / 8) % 2 * 8; x < w; x += 16)
                    p.fillRect(x, y, 8, 8, QColor(0, 0, 0, 70));
            break;
        default:  // planks
            p.setPen(QPen(b.darker(200), 1));
            for (int x = 0; x < w; x += 10) p.drawLine(x, 0, x + 6, h);
    }
    return image;
}

int MakeSample(const std::string& path) {
    Project project;
    project.filePath = path;
    project.version = kVersion129;
    project.records.push_back(TextureRecord{});
    project.AddBlankPage();
    const QColor colours[] = {QColor(180, 70, 40), QColor(60, 120, 200), QColor(200, 180, 60),
                              QColor(70, 160, 90), QColor(150, 60, 160), QColor(220, 120, 30),
                              QColor(90, 90, 100), QColor(40, 170, 170)};
    const QSize sizes[] = {{128, 128}, {64, 64}, {64, 64}, {96, 48}, {32, 32},  {64, 128},
                           {48, 48},   {32, 64}, {64, 32}, {32, 32}, {128, 64}, {64, 64},
                           {32, 32},   {48, 96}, {16, 16}, {16, 16}, {80, 40},  {40, 40}};
    int n = 0;
    for (const QSize& size : sizes) {
        const QImage texture = Texture(size.width(), size.height(), n, colours[n % 8],
                                       colours[(n + 3) % 8].darker(150));
        const Image piece = ui::FromQImage(texture);
        for (int k = 0;; ++k) {
            if (k >= project.PageCount()) project.AddBlankPage();
            if (PlacePieceOnPage(project, piece, k)) break;
        }
        ++n;
    }
    const Outcome result = SaveProjectAs(project, path);
    if (!result.IsDone()) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return 1;
    }
    return 0;
}

// Saves a picture of widget once the event loop has laid it out and painted it.
int Grab(QWidget& widget, const QString& out) {
    int status = 1;
    // Late enough for the window's strip to show its word.
    QTimer::singleShot(900, [&] {
        status = widget.grab().save(out) ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}

void SelectTexture(ui::MainWindow& window, int index) {
    if (window.TextureList()->count() > index) {
        window.TextureList()->setCurrentIndex(index);
        window.ShowSelectedTexture();
    }
}

}  // namespace

int main(int argc, char** argv) {
    InitImageLibrary(argv[0]);
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--sample") return MakeSample(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--about") {
        ui::AboutDialog about;
        about.show();
        return Grab(about, QString::fromLocal8Bit(argv[2]));
    }
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: pelmora_screenshot --sample FILE | --about OUT.png | OUT.png FILE "
                     "[window|record|export]\n");
        return 2;
    }
    const std::string scene = argc == 4 ? argv[3] : "window";
    QApplication::setApplicationName(QStringLiteral("pelmora"));
    ui::QtModalUi modal;
    // The defaults, whatever the user of this machine has set.
    const QTemporaryDir settings;
    ui::MainWindow window(modal);
    window.SetSettingsPath(settings.filePath(QStringLiteral("pelmora.cfg")));
    window.show();
    window.Start({QStringLiteral("pelmora"), QString::fromLocal8Bit(argv[2])});
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (box->text() == QStringLiteral("Show Grid") ||
            box->text() == QStringLiteral("Show Texture Rectangles"))
            box->setChecked(true);
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (scene == "window") {
        SelectTexture(window, 1);
        return Grab(window, out);
    }
    if (scene == "record") {
        constexpr int kRecord = 5;
        SelectTexture(window, kRecord);
        const Project& project = window.CurrentProject();
        ui::RecordDialog dialog(ui::EditRecordTitle(kRecord),
                                FieldsOfRecord(project.records.at(kRecord)),
                                window.PageList()->count(), true, &modal, &window);
        dialog.show();
        return Grab(dialog, out);
    }
    if (scene == "export") {
        ExportOptions options;
        options.folder = "/home/ada/textures/gallery";
        options.format = ImageFormat::Jpeg;
        options.jpegQuality = 90;
        std::array<Colour, 16> customColours{};
        ui::ExportOptionsDialog dialog(options, true, customColours, modal, &window);
        dialog.show();
        return Grab(dialog, out);
    }
    std::fprintf(stderr, "pelmora_screenshot: unknown scene %s\n", scene.c_str());
    return 2;
}
