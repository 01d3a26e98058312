// The window's display options and fonts, File > Open Recent, and the settings and session files
// that keep them between starts.
#include "ui/dialogs/custom_grid_dialog.h"
#include "ui/font_record.h"
#include "ui/settings_bridge.h"
#include "ui_test_support.h"

class DisplayOptionsTest : public test::WindowTest {
    Q_OBJECT

    QPushButton* ButtonText(const QString& text, const QString& tip = {}) {
        for (QPushButton* b : window_->findChildren<QPushButton*>())
            if (b->text() == text && (tip.isEmpty() || b->toolTip() == tip)) return b;
        return nullptr;
    }
    QStringList RecentShown() const { return test::MenuTexts(window_->RecentMenu()); }
    QAction* NamedColour(const QString& name) {
        return test::FindAction(window_->NamedColourMenu()->actions(), {name});
    }

private slots:
    void aFreshStartIsSilentAndTheSecondFindsWhatTheFirstLeft() {
        const int dpi = static_cast<int>(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
        window_->Start({QStringLiteral("pelmora")});
        QVERIFY(modal_->messages.empty());
        QCOMPARE(window_->AcrossList()->currentText(), QStringLiteral("64"));
        // A size no entry has, shown grid and draw mode, fonts, a colour, the options.
        modal_->customGrids.push_back(100);
        Choose(window_->AcrossList(), QStringLiteral("custom"));
        QCOMPARE(modal_->customGridQuestions.back(), std::make_pair(QStringLiteral("Across:"), 64));
        window_->ShowGridBox()->click();
        window_->DrawBox()->click();
        QFont font(QStringLiteral("DejaVu Sans"), 12, QFont::Bold, true);
        QFont barFont(QStringLiteral("DejaVu Serif"));
        barFont.setPixelSize(15);
        modal_->fonts = {font, barFont};
        ButtonText(QStringLiteral("F"))->click();
        window_->MenuActions().progressFont->trigger();
        QCOMPARE(window_->ProgressBar()->BarFont().pixelSize(), 15);
        modal_->colours.push_back(QColor(10, 20, 30));
        ButtonText(QStringLiteral("Custom"))->click();
        window_->SetSortOrder(FileSortOrder::SizeDescending);
        window_->MenuActions().showWarnings->trigger();
        // The session file: the list, the export options, each dialog family's folder.
        Open({TextureRecord{}}, 1);
        QVERIFY(QDir().mkpath(File("recs")));
        Answering(File("recs/level.json"), &MainWindow::ExportRecordsCommand);
        modal_->exportAnswers.push_back(
            {true, {.folder = dir_->File(""), .format = ImageFormat::Png, .gallery = {}}});
        window_->ExportAllPagesCommand();
        Restart();
        MainWindow& w = *window_;
        QVERIFY(modal_->messages.empty());
        QCOMPARE(w.AcrossList()->currentText() + w.DownList()->currentText(),
                 QStringLiteral("custom64"));
        QCOMPARE(w.Options().gridAcross, 100);
        QVERIFY(w.ShowGridBox()->isChecked() && w.DrawBox()->isChecked() &&
                w.Canvas()->DrawMode() && !w.TrackBox()->isChecked());
        const QFont restored = w.Options().numberFont;
        const QFont bar = w.ProgressBar()->BarFont();
        QCOMPARE(QStringList({restored.family(), bar.family()}),
                 QStringList({"DejaVu Sans", "DejaVu Serif"}));
        QCOMPARE(std::make_pair(restored.pixelSize(), bar.pixelSize()),
                 std::make_pair(static_cast<int>(std::lround(12.0 * dpi / 72)), 15));
        QVERIFY(restored.bold() && restored.italic());
        QCOMPARE(w.Swatch(ColourTarget::Selection)->CurrentColour(), MakeColour(10, 20, 30));
        QCOMPARE(w.SortOrder(), FileSortOrder::SizeDescending);
        QVERIFY(!w.ShowWarnings() && !w.MenuActions().showWarnings->isChecked());
        QCOMPARE(w.ExportSettings().format, ImageFormat::Png);
        QCOMPARE(w.RecentFiles(), QStringList{File("level.wad")});
        w.OpenFile(File("level.wad"));
        w.ImportRecordsCommand();
        QCOMPARE(modal_->fileQuestions.back().request.folder, Q(DirectoryOf(dir_->File("recs/x"))));
        // The grid is drawn in 100-pixel cells.
        QCOMPARE(w.Canvas()->ComposedPage().pixel(100, 30), test::Rgb(0xFF00FF));
        QVERIFY(w.Canvas()->ComposedPage().pixel(64, 30) != test::Rgb(0xFF00FF));
    }

    void aBadSettingsFileIsToldAndOddValuesAreKeptUnchecked() {
        test::WriteFile(window_->SettingsPath().toStdString(), "NOTPELMORA");
        window_->Start({QStringLiteral("pelmora")});
        QCOMPARE(Messages(), QStringList{QString::fromLatin1(kSettingsWrongTypeMessage)});
        const Settings odd{.track = true, .cpuPriority = 9, .sortFilesBy = 7};
        modal_->messages.clear();
        Restart([&](const std::string& path) { test::WriteFile(path, SettingsFileBytes(odd)); });
        QVERIFY(modal_->messages.empty() && window_->Canvas()->TrackMode());
        QCOMPARE(window_->CpuPriority(), 9);
        QCOMPARE(window_->SortOrder(), FileSortOrder::Name);
        for (QMenu* menu : window_->OptionsMenu()->findChildren<QMenu*>()) emit menu->aboutToShow();
        const auto& a = window_->MenuActions();
        QVERIFY(!a.sortByName->isChecked() && !a.sortBySizeAscending->isChecked() &&
                !a.sortBySizeDescending->isChecked());
        Restart();
        QCOMPARE(window_->Preferences().sortFilesBy, 7);
    }

    void coloursComeFromTheDialogTheSwatchesAndTheirPopup() {
        Open({TextureRecord{}}, 1);
        MainWindow& w = *window_;
        w.ShowGridBox()->click();
        // The dialog opens on the current colour; confirmed, the page is redrawn at once.
        QPushButton* grid =
            ButtonText(QStringLiteral("C"), QStringLiteral("Color Settings For The Grid"));
        modal_->colours.push_back(QColor(1, 2, 3));
        grid->click();
        QCOMPARE(modal_->colourStarts.back(), QColor(255, 0, 255));
        QCOMPARE(w.Swatch(ColourTarget::Grid)->CurrentColour(), MakeColour(1, 2, 3));
        QCOMPARE(w.Canvas()->ComposedPage().pixel(64, 30), qRgb(1, 2, 3));
        grid->click();
        QCOMPARE(w.Options().gridColour, MakeColour(1, 2, 3));  // cancelled: unchanged
        // A right click names the target of the pop-up.
        QTest::mouseClick(w.Swatch(ColourTarget::Rectangle), Qt::RightButton);
        QCOMPARE(w.NamedColourTarget(), ColourTarget::Rectangle);
        w.NamedColourMenu()->close();
        NamedColour(QStringLiteral("Brown"))->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(w.Options().rectangleColour, Colour{0x004080});
    }

    void aCustomGridBelowOneIsRefused() {
        CustomGridDialog dialog(QStringLiteral("Down:"), 64);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Custom Grid Settings..."));
        dialog.Field()->setText(QStringLiteral("0"));
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
        dialog.Field()->setText(QStringLiteral("12"));
        dialog.OkButton()->click();
        QCOMPARE(std::make_pair(dialog.result(), dialog.Value()),
                 std::make_pair(int(QDialog::Accepted), 12));
        // Whatever comes back below 1, and a cancelled dialog, keep the size.
        modal_->customGrids = {0, std::nullopt};
        Choose(window_->DownList(), QStringLiteral("custom"));
        Choose(window_->DownList(), QStringLiteral("custom"));
        QCOMPARE(window_->Options().gridDown, 64);
    }

    void noControlWaitsForCodeAndTheStripStopsWithTheWindow() {
        for (QPushButton* b : window_->findChildren<QPushButton*>())
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        // Undo and Redo wait for something to undo.
        const QAction* undo = window_->Commands().Action("undo");
        const QAction* redo = window_->Commands().Action("redo");
        for (QAction* a : window_->findChildren<QAction*>())
            QVERIFY2(a->isEnabled() || a == undo || a == redo, qPrintable(a->text()));
        window_->MenuActions().about->trigger();
        QVERIFY(modal_->aboutBoxes == 1 && window_->Animation()->IsPlaying());
        window_->close();
        QVERIFY(!window_->Animation()->IsPlaying());
    }

    void fontRecordsSurviveTheRoundTripAndGarbledHeightsAreBounded() {
        // Quality 3: no antialiasing; pitch and family 0x20: sans serif.
        FontRecord record{.height = -16,
                          .weight = 700,
                          .italic = true,
                          .underline = true,
                          .strikeOut = true,
                          .quality = 3,
                          .pitchAndFamily = 0x20,
                          .faceName = "DejaVu Sans"};
        const QFontInfo info(FontFromRecord(record));
        QCOMPARE(info.family() + QString::number(info.pixelSize()),
                 QStringLiteral("DejaVu Sans16"));
        QCOMPARE(RecordFromFont(FontFromRecord(record)), record);
        // What Qt cannot hold comes from the record the font was made from.
        FontRecord unusual = record;
        unusual.averageWidth = 7;
        unusual.escapement = unusual.orientation = 900;
        unusual.charSet = 238;
        QCOMPARE(RecordFromFont(FontFromRecord(unusual), unusual), unusual);
        record.height = -2000000000;  // a garbled file
        QCOMPARE(FontFromRecord(record).pixelSize(), 1000);
    }

    void recentFilesOrderTheMenuKeepEightAndDropOneThatHasGone() {
        window_->Start({QStringLiteral("pelmora")});
        for (const char* name : {"a.wad", "b.wad", "c.wad"}) Open({TextureRecord{}}, 1, name);
        QCOMPARE(RecentShown(), (QStringList{"&1 c.wad", "&2 b.wad", "&3 a.wad"}));
        QAction* first = window_->RecentMenu()->actions().at(2);
        QCOMPARE(first->toolTip(), QDir::toNativeSeparators(File("a.wad")));
        first->trigger();
        QVERIFY(Title().contains(QStringLiteral("a.wad")));
        QCOMPARE(RecentShown(), (QStringList{"&1 a.wad", "&2 c.wad", "&3 b.wad"}));
        // A file that has gone is told and dropped.
        QVERIFY(QFile::remove(File("c.wad")));
        window_->RecentMenu()->actions().at(1)->trigger();
        QCOMPARE(Messages().size(), 1);
        QCOMPARE(RecentShown(), (QStringList{"&1 a.wad", "&2 b.wad"}));
        for (char c = 'd'; c <= 'j'; ++c) Open({TextureRecord{}}, 1, std::string(1, c) + ".wad");
        const QStringList recent = window_->RecentFiles();  // b, the oldest, went
        QCOMPARE(QStringList({QString::number(recent.size()), recent.front(), recent.back()}),
                 QStringList({"8", File("j.wad"), File("a.wad")}));
    }
};

PELMORA_UI_TEST_MAIN(DisplayOptionsTest)
#include "test_display_options.moc"
