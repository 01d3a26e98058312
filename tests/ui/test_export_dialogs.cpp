// The Export Options and HTML Page Options dialogs on their own, and the bulk exports run through
// the window with scripted answers. What the exports write is the export core's tests' business;
// here one file each shows the command ran.
#include "export/html_gallery.h"
#include "ui/dialogs/export_options_dialog.h"
#include "ui/dialogs/html_page_options_dialog.h"
#include "ui_test_support.h"

namespace {

constexpr int kJpeg = 5;

// Whether the dialog shows its save-HTML box and HTML options button (hidden by the dialog itself,
// whether or not it is on screen).
std::pair<bool, bool> HtmlShown(ExportOptionsDialog& d) {
    return {!d.SaveHtml()->isHidden(), !d.HtmlOptionsButton()->isHidden()};
}
using Shown = std::pair<bool, bool>;

// The progress window on screen, if any; its title carries the percentage done.
QWidget* ProgressShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle().startsWith(QStringLiteral("Progress"))) return w;
    return nullptr;
}

}  // namespace

class ExportDialogsTest : public test::WindowTest {
    Q_OBJECT

    std::array<Colour, 16> custom_{};

    // The export dialog answers these; `confirmed` false is Cancel with them in the dialog.
    void Answer(const std::string& folder, ImageFormat format, bool html = false,
                bool confirmed = true) {
        modal_->exportAnswers.push_back(
            {confirmed, {.folder = folder, .format = format, .saveHtmlPage = html, .gallery = {}}});
    }
    std::string Folder(const std::string& name) {
        QDir().mkpath(File(name));
        return dir_->File(name);
    }
    static bool Exists(const std::string& folder, const char* name) {
        return QFileInfo::exists(Q(folder + "/" + name));
    }

private slots:
    void exportOptionsShowsFoldersShortenedAndHtmlControlsForJpegOnly() {
        ExportOptions options;
        options.folder = "/abcdefghijklmnopqrstuvwxyz1234";  // one past the 30 shown whole
        ExportOptionsDialog dialog(options, true, custom_, *modal_);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Export Options..."));
        QVERIFY(dialog.FolderField()->isReadOnly());
        QCOMPARE(dialog.FolderField()->text(), QStringLiteral("/ab...ghijklmnopqrstuvwxyz1234"));
        QCOMPARE(dialog.Options().folder, options.folder);  // the export gets it whole
        // A cancelled chooser leaves the folder.
        const QString chosen = QDir::toNativeSeparators("/tmp/chosen");
        modal_->folders.push_back(QStringLiteral("/tmp/chosen/"));
        dialog.BrowseButton()->click();
        QCOMPARE(dialog.FolderField()->text(), chosen);
        QCOMPARE(modal_->folderStarts.back(), Q(options.folder));
        dialog.BrowseButton()->click();
        QCOMPARE(modal_->folderStarts.back(), chosen);
        QCOMPARE(dialog.Options().folder, chosen.toStdString());
        // JPEG asks its quality and brings the HTML controls.
        QCOMPARE(test::Items(dialog.FormatList()),
                 QStringList({"BMP", "PCX", "PNG", "TGA", "TIFF", "JPEG"}));
        QCOMPARE(HtmlShown(dialog), Shown(false, false));
        modal_->jpegQualities = {60, 40};
        dialog.ChooseFormat(kJpeg);
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100}));
        QCOMPARE(HtmlShown(dialog), Shown(true, true));
        // Choosing JPEG again asks again, starting from the last answer.
        emit dialog.FormatList()->activated(kJpeg);
        QCOMPARE(modal_->jpegPresets, std::vector<int>({100, 60}));
        QCOMPARE(dialog.Options().jpegQuality, 40);
        dialog.SaveHtml()->setChecked(false);
        QCOMPARE(HtmlShown(dialog), Shown(true, false));
        dialog.ChooseFormat(4);
        QCOMPARE(dialog.Options().format, ImageFormat::Tiff);
        QCOMPARE(HtmlShown(dialog), Shown(false, false));
        // Export Textures writes no gallery: no HTML controls even for JPEG.
        options.format = ImageFormat::Jpeg;
        ExportOptionsDialog noHtml(options, false, custom_, *modal_);
        QCOMPARE(HtmlShown(noHtml), Shown(false, false));
        // The gallery settings are kept only from the HTML dialog's OK.
        noHtml.HtmlOptionsButton()->click();
        QCOMPARE(noHtml.Options().gallery.columns, 4);
        modal_->htmlAnswers.push_back(GallerySettings{.columns = 7});
        noHtml.HtmlOptionsButton()->click();
        QCOMPARE(noHtml.Options().gallery.columns, 7);
    }

    void htmlOptionsFillsFromSettingsAndHandsBackEveryValue() {
        // An alignment of 9 is written as CENTER, so shown as Center.
        HtmlPageOptionsDialog dialog(GallerySettings{.cellAlignment = 9, .specifyWidth = false},
                                     custom_, *modal_);
        QCOMPARE(dialog.windowTitle() + dialog.Alignment()->currentText(),
                 QStringLiteral("HTML Page Options...Center"));
        QCOMPARE(dialog.Width()->value(), 600);
        dialog.SpecifyWidth()->setChecked(true);
        dialog.Percent()->click();
        QCOMPARE(dialog.Width()->value(), 100);
        // Any typed whole number is taken; the arrows stay within 0 to 100.
        dialog.Border()->findChild<QLineEdit*>()->setText(QStringLiteral("500"));
        dialog.Border()->interpretText();
        QCOMPARE(dialog.Border()->value(), 500);
        dialog.Border()->stepBy(1);
        QCOMPARE(dialog.Border()->value(), 100);
        dialog.Spacing()->setValue(-3);
        modal_->colours.push_back(QColor(0, 0, 255));
        dialog.CellColourButton()->click();
        dialog.TableColourButton()->click();  // cancelled
        QCOMPARE(dialog.CellSwatch()->CurrentColour(), MakeColour(0, 0, 255));
        dialog.Alignment()->setCurrentIndex(2);
        const GallerySettings out = dialog.Settings();
        QCOMPARE(QList<int>({out.width, out.borderSize, out.cellSpacing, out.cellAlignment}),
                 QList<int>({100, 100, -3, 2}));
        QVERIFY(out.specifyWidth && out.widthInPercent);
        QCOMPARE(std::make_pair(out.tableColour, out.cellColour),
                 std::make_pair(MakeColour(0, 0, 0), MakeColour(0, 0, 255)));
    }

    void exportAllPagesShowsItsProgressAndKeepsOnlyConfirmedOptions() {
        window_->ExportAllPagesCommand();  // nothing is asked while no file is open
        window_->ExportSingleImageCommand();
        QVERIFY(modal_->exportQuestions.empty() && modal_->fileQuestions.empty());
        Open({}, 2);
        const std::string out = Folder("pages");
        // While the pages are written a progress window tells so and the window waits.
        QStringList seen;
        bool windowWaited = false;
        QTimer::singleShot(0, window_.get(), [&] {
            if (QWidget* progress = ProgressShown())
                for (QLabel* label : progress->findChildren<QLabel*>()) seen << label->text();
            windowWaited = !window_->isEnabled();
        });
        Answer(out, ImageFormat::Jpeg, true);
        Trigger({"&Edit", "&Texture Pages", "&Export All"});
        QCOMPARE(modal_->exportHtmlAllowed, std::vector<bool>({true}));
        QCOMPARE(seen, QStringList({QString::fromLatin1(kSavingPagesText)}));
        QVERIFY(windowWaited && window_->isEnabled() && !ProgressShown());
        QVERIFY(Exists(out, "Page2.jpg") && Exists(out, kPagesGalleryName) &&
                modal_->messages.empty());
        // Cancelling the pages export keeps nothing of the dialog, not even its folder.
        Answer(Folder("elsewhere"), ImageFormat::Bmp, false, false);
        window_->ExportAllPagesCommand();
        QCOMPARE(window_->ExportSettings().folder, out);
        QCOMPARE(window_->ExportSettings().format, ImageFormat::Jpeg);
    }

    void exportAllTwiceFromTheArrowPopUpThenClose() {
        // As a user does it: the arrow button, its pop-up, a click on the entry. The export pumps
        // events while the pop-up that started it is closing.
        Open({}, 2);
        QPushButton* arrow = nullptr;
        for (QPushButton* b : window_->findChildren<QPushButton*>())
            if (b->toolTip() == QStringLiteral("More Options") &&
                (!arrow || b->mapToGlobal(QPoint()).x() < arrow->mapToGlobal(QPoint()).x()))
                arrow = b;
        QVERIFY(arrow);
        const std::string out = Folder("twice");
        for (const ImageFormat format : {ImageFormat::Png, ImageFormat::Bmp}) {
            Answer(out, format);
            QTest::mouseClick(arrow, Qt::LeftButton);
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* all = test::FindAction(menu->actions(), {QStringLiteral("&Export All")});
            QVERIFY(all);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(all).center());
            QTRY_VERIFY(modal_->exportAnswers.empty() && window_->isEnabled());
        }
        QVERIFY(Exists(out, "Page2.png") && Exists(out, "Page2.bmp") && modal_->messages.empty());
        QVERIFY(window_->close());
    }

    void exportTexturesTakesThePageShownAndKeepsACancelledFolder() {
        Open({MakeRecord(0, 0, 8, 8, 0), MakeRecord(0, 0, 16, 8, 1)}, 2);
        window_->PageList()->setCurrentIndex(1);
        const std::string out = Folder("textures");
        Answer(out, ImageFormat::Tiff, true);
        Trigger({"&Edit", "&Texture Pages", "&Export Textures"});
        QCOMPARE(modal_->exportHtmlAllowed, std::vector<bool>({false}));
        QVERIFY(Exists(out, "Texture2.tif") && !Exists(out, "Texture1.tif"));
        // All textures, with a cancelled dialog: its folder is kept all the same.
        const std::string other = Folder("other");
        Answer(other, ImageFormat::Png, false, false);
        Trigger({"&Edit", "&Texture Pieces", "&Export All"});
        QCOMPARE(modal_->exportQuestions.back().folder, out);
        QCOMPARE(window_->ExportSettings().folder, other);
        QVERIFY(!Exists(other, "Texture1.png"));
    }

    void failedFilesAreToldOnceAndTheRestIsWritten() {
        Open({}, 2);
        const std::string out = Folder("blocked");
        QDir().mkpath(Q(out + "/Page1.bmp"));  // a folder in the way
        Answer(out, ImageFormat::Bmp);
        window_->ExportAllPagesCommand();
        QVERIFY(Exists(out, "Page2.bmp"));
        QCOMPARE(Messages().size(), 1);
        QVERIFY(Told().contains("Page1.bmp"));
        QVERIFY(!ProgressShown() && window_->isEnabled());
    }

    void dialogsOpenWhereTheUserLastWas() {
        const std::string a = Folder("a");
        const std::string b = Folder("b");
        test::WriteWad(a + "/level.wad", {TextureRecord{}}, 1);
        test::WritePng(b + "/page.png", 256, 256, MakeColour(1, 2, 3));
        Answering(Q(a + "/level.wad"), &MainWindow::OpenCommand);
        // A family not used yet opens in the folder last used; each then keeps its own.
        Answering(Q(b + "/page.png"), &MainWindow::ImportPageCommand);
        window_->ExportRecordsCommand();
        window_->ExportPageCommand();
        modal_->answers.push_back(QMessageBox::Discard);  // the imported page
        window_->OpenCommand();
        QStringList folders;
        for (const auto& asked : modal_->fileQuestions) folders << asked.request.folder;
        const QString inA = Q(a + "/"), inB = Q(b + "/");
        QCOMPARE(folders, QStringList({QDir::currentPath() + "/", inA, inB, inB, inA}));
    }

    void singleImageAsksItsNameAndTheJpegQualityOnce() {
        Open({}, 3);
        const std::string out = Folder("single");
        Answering(Q(out + "/all.png"), &MainWindow::ExportSingleImageCommand);
        const auto& asked = modal_->fileQuestions.at(0).request;
        QCOMPARE(QStringList({asked.proposedName, asked.defaultSuffix,
                              asked.filters.back().patterns, QDir::cleanPath(asked.folder)}),
                 QStringList({"Page1-3", "bmp", "*.jpg;*.jpe;*.jpeg;*.jfif", QDir::currentPath()}));
        QVERIFY(Exists(out, "all.png") && modal_->jpegPresets.empty());
        // Capitals and .jfif name JPEG too: the quality is asked once and kept.
        modal_->jpegQualities.push_back(55);
        Answering(Q(out + "/all.JPEG"), &MainWindow::ExportSingleImageCommand);
        Answering(Q(out + "/page.jfif"), &MainWindow::ExportPageCommand);
        QCOMPARE(QDir::cleanPath(modal_->fileQuestions.at(1).request.folder), Q(out));
        QCOMPARE(std::make_pair(window_->JpegQuality(), modal_->jpegPresets.size()),
                 std::make_pair(55, size_t(1)));
    }
};

PELMORA_UI_TEST_MAIN(ExportDialogsTest)
#include "test_export_dialogs.moc"
