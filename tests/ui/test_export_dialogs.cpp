// The Export Options and HTML Page Options dialogs on their own, and the bulk exports run
// through the window with scripted answers.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "export/html_gallery.h"
#include "ui/colour_swatch.h"
#include "ui/dialogs/export_options_dialog.h"
#include "ui/dialogs/html_page_options_dialog.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

namespace {

constexpr int kJpeg = 5;

// Hidden by the dialog itself, whether or not the dialog is on screen.
bool Shown(QWidget* w) {
    return !w->isHidden();
}

QAction* FindAction(QMenu* menu, const QStringList& path) {
    for (QAction* action : menu->actions()) {
        if (action->text() != path.front()) continue;
        if (path.size() == 1) return action;
        if (action->menu()) return FindAction(action->menu(), path.mid(1));
    }
    return nullptr;
}

}  // namespace

class ExportDialogsTest : public test::WindowTest {
    Q_OBJECT

    std::array<Colour, 16> custom_{};

    ExportDialogAnswer Answer(const std::string& folder, ImageFormat format, bool html = false) {
        ExportDialogAnswer answer;
        answer.confirmed = true;
        answer.options.folder = folder;
        answer.options.format = format;
        answer.options.saveHtmlPage = html;
        return answer;
    }
    std::string Folder(const std::string& name) {
        const std::string path = dir_->File(name);
        QDir().mkpath(QString::fromStdString(path));
        return path;
    }
    static bool Exists(const std::string& folder, const char* name) {
        return QFileInfo::exists(QString::fromStdString(folder + "/" + name));
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() { StopWindow(); }

    void exportOptionsShowsLongFoldersShortened() {
        ExportOptions options;
        options.folder = "/abcdefghijklmnopqrstuvwxyz1234";  // one past the 30 shown whole
        ExportOptionsDialog shortened(options, true, custom_, *modal_);
        QCOMPARE(shortened.windowTitle(), QStringLiteral("Export Options..."));
        QVERIFY(shortened.FolderField()->isReadOnly());
        QCOMPARE(shortened.FolderField()->text(), QStringLiteral("/ab...ghijklmnopqrstuvwxyz1234"));
        // The export itself gets the whole folder.
        QCOMPARE(shortened.Options().folder, options.folder);

        // Browse shows the chosen folder; a cancelled chooser leaves it.
        modal_->folders.push_back(QStringLiteral("/tmp/chosen/"));
        shortened.BrowseButton()->click();
        QCOMPARE(shortened.Options().folder, QDir::toNativeSeparators("/tmp/chosen").toStdString());
        QCOMPARE(shortened.FolderField()->text(), QDir::toNativeSeparators("/tmp/chosen"));
        // Each Browse opens in the folder the dialog shows.
        QCOMPARE(modal_->folderStarts.back(), QString::fromStdString(options.folder));
        shortened.BrowseButton()->click();
        QCOMPARE(modal_->folderStarts.back(), QDir::toNativeSeparators("/tmp/chosen"));
        QCOMPARE(shortened.Options().folder, QDir::toNativeSeparators("/tmp/chosen").toStdString());
    }

    void folderChooserAnswersTheFolderItShows() {
        const std::string inside = Folder("inside");
        QtModalUi modal;
        QString title;
        QString accept;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            title = dialog->windowTitle();
            accept = dialog->labelText(QFileDialog::Accept);
            dialog->setDirectory(QString::fromStdString(inside));
            static_cast<QDialog*>(dialog)->accept();  // as pressing Select
        });
        const QString chosen = modal.ChooseFolder(QString::fromStdString(dir_->File("")));
        QCOMPARE(title, QStringLiteral("Choose folder"));
        QCOMPARE(accept, QStringLiteral("Select"));
        QCOMPARE(QDir::cleanPath(chosen), QString::fromStdString(inside));
    }

    void exportOptionsAsksJpegQualityAndShowsHtmlControlsForJpegOnly() {
        ExportOptions options;
        ExportOptionsDialog dialog(options, true, custom_, *modal_);
        QStringList labels;
        for (int i = 0; i < dialog.FormatList()->count(); ++i)
            labels << dialog.FormatList()->itemText(i);
        QCOMPARE(labels, QStringList({"BMP", "PCX", "PNG", "TGA", "TIFF", "JPEG"}));
        QVERIFY(!Shown(dialog.SaveHtml()));
        QVERIFY(!Shown(dialog.HtmlOptionsButton()));

        modal_->jpegQualities = {60, 40};
        dialog.ChooseFormat(kJpeg);
        QCOMPARE(dialog.FormatList()->currentIndex(), kJpeg);
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100}));
        QVERIFY(Shown(dialog.SaveHtml()));
        QVERIFY(Shown(dialog.HtmlOptionsButton()));
        // Choosing JPEG again asks again, starting from the last answer.
        emit dialog.FormatList()->activated(kJpeg);
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100, 60}));
        QCOMPARE(dialog.Options().jpegQuality, 40);

        dialog.SaveHtml()->setChecked(false);
        QVERIFY(Shown(dialog.SaveHtml()));
        QVERIFY(!Shown(dialog.HtmlOptionsButton()));
        dialog.SaveHtml()->setChecked(true);
        QVERIFY(Shown(dialog.HtmlOptionsButton()));

        dialog.ChooseFormat(4);
        QCOMPARE(dialog.Options().format, ImageFormat::Tiff);
        QVERIFY(!Shown(dialog.SaveHtml()));
        QVERIFY(!Shown(dialog.HtmlOptionsButton()));
        QCOMPARE(modal_->jpegPresets.size(), size_t(2));

        // Export Textures writes no gallery: no HTML controls even for JPEG.
        options.format = ImageFormat::Jpeg;
        ExportOptionsDialog noHtml(options, false, custom_, *modal_);
        QVERIFY(!Shown(noHtml.SaveHtml()));
        QVERIFY(!Shown(noHtml.HtmlOptionsButton()));
    }

    void exportOptionsKeepsGalleryOnlyFromTheHtmlDialogsOk() {
        ExportOptions options;
        options.format = ImageFormat::Jpeg;
        ExportOptionsDialog dialog(options, true, custom_, *modal_);
        dialog.HtmlOptionsButton()->click();  // cancelled
        QCOMPARE(dialog.Options().gallery.columns, 4);
        GallerySettings changed;
        changed.columns = 7;
        modal_->htmlAnswers.push_back(changed);
        dialog.HtmlOptionsButton()->click();
        QCOMPARE(dialog.Options().gallery.columns, 7);
    }

    void htmlOptionsFillsFromSettingsAndHandsBackEveryValue() {
        GallerySettings settings;
        settings.specifyWidth = false;
        settings.cellAlignment = 9;  // written as CENTER, so shown as Center
        HtmlPageOptionsDialog dialog(settings, custom_, *modal_);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("HTML Page Options..."));
        QCOMPARE(dialog.Columns()->value(), 4);
        QCOMPARE(dialog.Width()->value(), 600);
        QCOMPARE(dialog.Alignment()->currentText(), QStringLiteral("Center"));
        QVERIFY(!dialog.Width()->isEnabled());
        QVERIFY(!dialog.Percent()->isEnabled());
        QVERIFY(!dialog.Pixels()->isEnabled());

        dialog.SpecifyWidth()->setChecked(true);
        QVERIFY(dialog.Width()->isEnabled() && dialog.Percent()->isEnabled());
        dialog.Width()->setValue(480);
        dialog.Pixels()->click();
        QCOMPARE(dialog.Width()->value(), 480);
        dialog.Percent()->click();
        QCOMPARE(dialog.Width()->value(), 100);

        // Any typed whole number is taken; the arrows stay within 0 to 100.
        dialog.Border()->findChild<QLineEdit*>()->setText(QStringLiteral("500"));
        dialog.Border()->interpretText();
        QCOMPARE(dialog.Border()->value(), 500);
        dialog.Border()->stepBy(1);
        QCOMPARE(dialog.Border()->value(), 100);
        dialog.Padding()->setValue(0);
        dialog.Padding()->stepBy(-1);
        QCOMPARE(dialog.Padding()->value(), 0);
        dialog.Spacing()->setValue(-3);

        modal_->colours.push_back(QColor(0, 0, 255));
        dialog.CellColourButton()->click();
        dialog.TableColourButton()->click();  // cancelled
        QCOMPARE(dialog.CellSwatch()->CurrentColour(), MakeColour(0, 0, 255));

        dialog.Alignment()->setCurrentIndex(2);
        const GallerySettings out = dialog.Settings();
        QCOMPARE(out.width, 100);
        QCOMPARE(out.borderSize, 100);
        QCOMPARE(out.cellPadding, 0);
        QCOMPARE(out.cellSpacing, -3);
        QCOMPARE(out.cellAlignment, 2);
        QVERIFY(out.specifyWidth && out.widthInPercent);
        QCOMPARE(out.tableColour, MakeColour(0, 0, 0));
        QCOMPARE(out.cellColour, MakeColour(0, 0, 255));
    }

    void exportItemsAreOfferedInTheMenus() {
        for (const QStringList& path : {QStringList{"&Texture Pages", "&Export Textures"},
                                        QStringList{"&Texture Pages", "&Export All"},
                                        QStringList{"&Texture Pages", "&Export All (single image)"},
                                        QStringList{"&Texture Pieces", "&Export All"}}) {
            QAction* action = FindAction(window_->EditMenu(), path);
            QVERIFY2(action && action->isEnabled(), qPrintable(path.join('>')));
        }
        // Nothing is asked while no file is open.
        window_->ExportAllPagesCommand();
        window_->ExportSingleImageCommand();
        QVERIFY(modal_->exportQuestions.empty());
        QVERIFY(modal_->fileQuestions.empty());
    }

    void exportAllPagesWritesEveryPageAndTheGallery() {
        Open({}, 2);
        const std::string out = Folder("pages");
        modal_->exportAnswers.push_back(Answer(out, ImageFormat::Png, true));
        window_->ExportAllPagesCommand();
        QCOMPARE(modal_->exportHtmlAllowed, std::vector<bool>({true}));
        QVERIFY(Exists(out, "Page2.png"));
        QVERIFY(modal_->messages.empty());
        QVERIFY(window_->isEnabled());
        QCOMPARE(window_->ExportSettings().folder, out);

        // While the pages are written a progress window tells so and the window waits.
        QStringList seen;
        bool windowWaited = false;
        QTimer::singleShot(0, window_.get(), [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                // The title carries the percentage done.
                if (!w->isVisible() || !w->windowTitle().startsWith(QStringLiteral("Progress")))
                    continue;
                for (QLabel* label : w->findChildren<QLabel*>()) seen << label->text();
            }
            windowWaited = !window_->isEnabled();
        });
        modal_->exportAnswers.push_back(Answer(out, ImageFormat::Jpeg, true));
        window_->ExportAllPagesCommand();
        QCOMPARE(seen, QStringList({QString::fromLatin1(kSavingPagesText)}));
        QVERIFY(windowWaited);
        QVERIFY(window_->isEnabled());
        QVERIFY(Exists(out, "Page2.jpg"));
        QVERIFY(Exists(out, kPagesGalleryName));

        // Cancelling the pages export keeps nothing of the dialog, not even its folder.
        ExportDialogAnswer cancelled = Answer(Folder("elsewhere"), ImageFormat::Bmp);
        cancelled.confirmed = false;
        modal_->exportAnswers.push_back(cancelled);
        window_->ExportAllPagesCommand();
        QCOMPARE(window_->ExportSettings().folder, out);
        QCOMPARE(window_->ExportSettings().format, ImageFormat::Jpeg);
    }

    void exportAllTwiceFromTheArrowPopUpThenClose() {
        // As a user does it: the arrow button, its pop-up, a click on the entry. The export
        // pumps events while the pop-up that started it is closing.
        Open({}, 2);
        QPushButton* arrow = nullptr;
        for (QPushButton* b : window_->findChildren<QPushButton*>()) {
            if (b->toolTip() == QStringLiteral("More Options") &&
                (!arrow || b->mapToGlobal(QPoint()).x() < arrow->mapToGlobal(QPoint()).x()))
                arrow = b;
        }
        QVERIFY(arrow);
        const std::string out = Folder("twice");
        for (const ImageFormat format : {ImageFormat::Png, ImageFormat::Bmp}) {
            modal_->exportAnswers.push_back(Answer(out, format));
            QTest::mouseClick(arrow, Qt::LeftButton);
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* all = FindAction(menu, {QStringLiteral("&Export All")});
            QVERIFY(all);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(all).center());
            QTRY_VERIFY(modal_->exportAnswers.empty());
            QTRY_VERIFY(window_->isEnabled());
        }
        QVERIFY(Exists(out, "Page2.png") && Exists(out, "Page2.bmp"));
        QVERIFY(modal_->messages.empty());
        QVERIFY(window_->close());
        window_.reset();
    }

    void exportTexturesWritesThePageShownUnderOverallNumbers() {
        Open({MakeRecord(0, 0, 8, 8, 0), MakeRecord(0, 0, 16, 8, 1), MakeRecord(8, 8, 8, 4, 0),
              MakeRecord(32, 0, 4, 4, 1)},
             2);
        window_->PageList()->setCurrentIndex(1);
        const std::string out = Folder("textures");
        modal_->exportAnswers.push_back(Answer(out, ImageFormat::Tiff, true));
        window_->ExportPageTexturesCommand();
        QCOMPARE(modal_->exportHtmlAllowed, std::vector<bool>({false}));
        // The page shown is the one exported.
        QVERIFY(Exists(out, "Texture2.tif"));
        QVERIFY(!Exists(out, "Texture1.tif"));

        // All textures, with a cancelled dialog first: its folder is kept all the same.
        const std::string other = Folder("other");
        ExportDialogAnswer cancelled = Answer(other, ImageFormat::Png);
        cancelled.confirmed = false;
        modal_->exportAnswers.push_back(cancelled);
        window_->ExportAllTexturesCommand();
        QCOMPARE(window_->ExportSettings().folder, other);
        QVERIFY(!Exists(other, "Texture1.png"));
        QCOMPARE(modal_->exportQuestions.back().folder, out);
    }

    void failedFilesAreToldOnceAndTheRestIsWritten() {
        Open({}, 2);
        // A missing folder is said so.
        modal_->exportAnswers.push_back(Answer(dir_->File("missing"), ImageFormat::Bmp));
        window_->ExportAllPagesCommand();
        QCOMPARE(modal_->messages.size(), size_t(1));
        modal_->messages.clear();

        const std::string out = Folder("blocked");
        QDir().mkpath(QString::fromStdString(out + "/Page1.bmp"));  // a folder in the way
        modal_->exportAnswers.push_back(Answer(out, ImageFormat::Bmp));
        window_->ExportAllPagesCommand();
        QVERIFY(Exists(out, "Page2.bmp"));
        QCOMPARE(modal_->messages.size(), size_t(1));
        QVERIFY(modal_->messages[0].text.contains(QStringLiteral("Page1.bmp")));
        // The progress window is gone and the window usable again.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(w->isVisible() && w->windowTitle().startsWith(QStringLiteral("Progress"))));
        QVERIFY(window_->isEnabled());
    }

    void dialogsOpenWhereTheUserLastWas() {
        const std::string a = Folder("a");
        const std::string b = Folder("b");
        test::WriteWad(a + "/level.wad", {TextureRecord{}}, 1);
        test::WritePng(b + "/page.png", 256, 256, MakeColour(1, 2, 3));
        modal_->fileAnswers.push_back({QString::fromStdString(a + "/level.wad")});
        window_->OpenCommand();
        // A family not used yet opens in the folder last used; each then keeps its own.
        modal_->fileAnswers.push_back({QString::fromStdString(b + "/page.png")});
        window_->ImportPageCommand();
        window_->ExportRecordsCommand();
        window_->ExportPageCommand();
        modal_->answers.push_back(QMessageBox::Discard);  // the imported page
        window_->OpenCommand();
        QStringList folders;
        for (const auto& asked : modal_->fileQuestions) folders << asked.request.folder;
        const QString inA = QString::fromStdString(a + "/");
        const QString inB = QString::fromStdString(b + "/");
        QCOMPARE(folders, QStringList({QDir::currentPath() + "/", inA, inB, inB, inA}));
    }

    void jfifIsWrittenAtTheEncodersQualityByEveryExport() {
        Open({TextureRecord{}}, 1);
        const std::string out = Folder("jfif");
        modal_->jpegQualities.push_back(30);
        for (const char* name : {"/asked.jpg", "/page.jfif"}) {
            modal_->fileAnswers.push_back({QString::fromStdString(out + name)});
            window_->ExportPageCommand();
        }
        QCOMPARE(window_->JpegQuality(), 30);
        modal_->fileAnswers.push_back({QString::fromStdString(out + "/single.jfif")});
        window_->ExportSingleImageCommand();
        QCOMPARE(modal_->jpegPresets.size(), size_t(1));
        // One page stacked alone is that page: the same quality gives the same file.
        QCOMPARE(test::ReadFile(out + "/single.jfif"), test::ReadFile(out + "/page.jfif"));
    }

    void singleImageStacksThePagesAndRemembersItsFolder() {
        Open({}, 3);
        const std::string out = Folder("single");
        modal_->fileAnswers.push_back({QString::fromStdString(out + "/all.png")});
        window_->ExportSingleImageCommand();
        const auto& asked = modal_->fileQuestions.at(0).request;
        QCOMPARE(asked.proposedName, QStringLiteral("Page1-3"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("bmp"));
        QCOMPARE(asked.filters.size(), size_t(6));
        QCOMPARE(asked.filters.back().patterns, QStringLiteral("*.jpg;*.jpe;*.jpeg;*.jfif"));
        QCOMPARE(QDir::cleanPath(asked.folder), QDir::currentPath());
        QVERIFY(Exists(out, "all.png"));
        QVERIFY(modal_->jpegPresets.empty());

        // Capitals name JPEG too: the quality is asked and kept.
        modal_->jpegQualities.push_back(55);
        modal_->fileAnswers.push_back({QString::fromStdString(out + "/all.JPEG")});
        window_->ExportSingleImageCommand();
        QCOMPARE(QDir::cleanPath(modal_->fileQuestions.at(1).request.folder),
                 QString::fromStdString(out));
        QCOMPARE(window_->JpegQuality(), 55);
    }
};

PELMORA_UI_TEST_MAIN(ExportDialogsTest)
#include "test_export_dialogs.moc"
