// Fonts between the settings file's records and Qt.
#include <QFontInfo>
#include <QFontMetrics>

#include "ui/font_record.h"
#include "ui/settings_bridge.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

class FontRecordTest : public QObject {
    Q_OBJECT

private slots:
    void aFontTheSystemHasSurvivesTheRoundTrip() {
        FontRecord record;
        record.height = -16;
        record.weight = 700;
        record.italic = record.underline = record.strikeOut = true;
        record.quality = 3;            // no antialiasing
        record.pitchAndFamily = 0x20;  // sans serif
        record.faceName = "DejaVu Sans";
        const QFont font = FontFromRecord(record);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(QFontInfo(font).pixelSize(), 16);
        QVERIFY(QFontInfo(font).bold() && QFontInfo(font).italic());
        QCOMPARE(RecordFromFont(font), record);

        // What Qt cannot hold comes from the record the font was made from.
        FontRecord unusual = record;
        unusual.averageWidth = 7;
        unusual.escapement = unusual.orientation = 900;
        unusual.charSet = 238;
        QCOMPARE(RecordFromFont(FontFromRecord(unusual), unusual), unusual);
    }

    void aCellHeightBecomesTheNearestPixelHeight() {
        FontRecord record = FontRecord::DefaultNumberFont();
        record.faceName = "DejaVu Sans";
        record.height = 30;
        const QFont font = FontFromRecord(record);
        QVERIFY(std::abs(QFontMetrics(font).height() - 30) <= 1);
        QCOMPARE(RecordFromFont(font).height, -font.pixelSize());
        record.height = -2000000000;  // a garbled file
        QCOMPARE(FontFromRecord(record).pixelSize(), 1000);
    }

    void aPointSizeFromTheFontDialogComesBackTheSameSize() {
        QFont chosen(QStringLiteral("DejaVu Sans"), 12, QFont::Bold, true);
        const QFont restored = FontFromRecord(RecordFromFont(chosen));
        QCOMPARE(QFontInfo(restored).pixelSize(), QFontInfo(chosen).pixelSize());
        QCOMPARE(restored.family(), chosen.family());
        QVERIFY(restored.bold() && restored.italic());
    }

    void theDisplayOptionsGoBackToTheSameSettings() {
        Settings settings;
        settings.gridColour = 0x123456;
        settings.trackColour = 0x654321;
        settings.gridAcross = 100;
        settings.showNumbers = true;
        settings.numberFont.faceName = "DejaVu Sans";
        DisplayOptions options;
        ApplySettings(settings, options);
        QCOMPARE(options.numberFont.pixelSize(), 19);
        Settings back;
        TakeDisplayOptions(options, back);
        QVERIFY(back == settings);
        // Unchanged defaults are saved as the defaults.
        TakeDisplayOptions(DisplayOptions{}, back);
        QVERIFY(back == Settings{});
    }
};

PELMORA_UI_TEST_MAIN(FontRecordTest)
#include "test_font_record.moc"
