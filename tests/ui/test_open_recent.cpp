// File > Open Recent and what the session file keeps between runs: the dialogs' folders and
// the export options.
#include <QAction>
#include <QDir>
#include <QFile>

#include "base/paths.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

class OpenRecentTest : public test::WindowTest {
    Q_OBJECT

    QStringList MenuTexts() const {
        QStringList texts;
        for (QAction* a : window_->RecentMenu()->actions()) texts << a->text();
        return texts;
    }

    QString Path(const std::string& name) const { return QString::fromStdString(dir_->File(name)); }

private slots:
    void init() {
        StartWindow();
        window_->Start({QStringLiteral("pelmora")});
    }
    void cleanup() { StopWindow(); }

    void opensAndReopensOrderTheMenuAndKeepEight() {
        for (const char* name : {"a.wad", "b.wad", "c.wad"}) Open({TextureRecord{}}, 1, name);
        QCOMPARE(MenuTexts(), (QStringList{"&1 c.wad", "&2 b.wad", "&3 a.wad"}));
        QAction* first = window_->RecentMenu()->actions().at(2);
        QCOMPARE(first->toolTip(), QDir::toNativeSeparators(Path("a.wad")));

        first->trigger();
        QVERIFY(test::ShownTitle(*window_).contains(QStringLiteral("a.wad")));
        QCOMPARE(MenuTexts(), (QStringList{"&1 a.wad", "&2 c.wad", "&3 b.wad"}));

        for (char c = 'd'; c <= 'i'; ++c) Open({TextureRecord{}}, 1, std::string(1, c) + ".wad");
        QCOMPARE(window_->RecentFiles().size(), 8);
        QCOMPARE(window_->RecentFiles().front(), Path("i.wad"));
        QCOMPARE(window_->RecentFiles().back(), Path("c.wad"));  // b, the oldest, went
    }

    void foldersTheExportFormatAndTheListSurviveARestart() {
        Open({TextureRecord{}}, 1);
        QVERIFY(QDir().mkpath(Path("recs")));
        const QString records = Path("recs/level.json");
        modal_->fileAnswers.push_back({records});
        window_->ExportRecordsCommand();
        ExportDialogAnswer answer;
        answer.confirmed = true;
        answer.options.folder = dir_->File("");
        answer.options.format = ImageFormat::Png;
        answer.options.saveHtmlPage = false;
        modal_->exportAnswers.push_back(answer);
        window_->ExportAllPagesCommand();
        QTRY_VERIFY(!window_->IsWorking());

        Restart();
        QCOMPARE(window_->ExportSettings().format, ImageFormat::Png);
        QCOMPARE(window_->RecentFiles(), QStringList{Path("level.wad")});
        window_->OpenFile(Path("level.wad"));
        window_->ImportRecordsCommand();
        QCOMPARE(modal_->fileQuestions.back().request.folder,
                 QString::fromStdString(DirectoryOf(records.toStdString())));
        // The settings file itself keeps its fixed size.
        QCOMPARE(QFile(window_->SettingsPath()).size(), qint64(162));
    }

    void aFileThatHasGoneIsToldAndDropped() {
        Open({TextureRecord{}}, 1, "a.wad");
        Open({TextureRecord{}}, 1, "b.wad");
        QVERIFY(QFile::remove(Path("a.wad")));
        modal_->messages.clear();
        window_->RecentMenu()->actions().at(1)->trigger();
        QCOMPARE(modal_->messages.size(), size_t(1));
        QCOMPARE(window_->RecentFiles(), QStringList{Path("b.wad")});
    }
};

PELMORA_UI_TEST_MAIN(OpenRecentTest)
#include "test_open_recent.moc"
