// The animated strip: the picture the build makes, and the widget that plays it.
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMovie>

#include "ui/animated_picture.h"
#include "ui_test_support.h"

using namespace pelmora::ui;

class AnimatedPictureTest : public QObject {
    Q_OBJECT

private slots:
    void theStripLoopsElevenFramesInAboutSevenSeconds() {
        AnimatedPicture picture;  // makes the resource available
        QFile file(QString::fromLatin1(AnimatedPicture::kAnimation));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(6), QByteArray("GIF89a"));
        file.close();

        QImageReader reader(QString::fromLatin1(AnimatedPicture::kAnimation));
        QCOMPARE(reader.size(), QSize(24, 350));
        QCOMPARE(reader.imageCount(), 11);
        QCOMPARE(reader.loopCount(), -1);  // for ever
        QList<int> delays;
        while (reader.canRead()) {
            QVERIFY(!reader.read().isNull());
            delays << reader.nextImageDelay();
        }
        const QList<int> expected = {100, 100, 100, 100, 100, 3000, 100, 100, 100, 100, 3000};
        QCOMPARE(delays, expected);
    }

    void goingDuringAHoldEndsAtOnceAndHidingPauses() {
        auto* picture = new AnimatedPicture;
        QVERIFY(picture->Load());
        QCOMPARE(picture->size(), QSize(24, 350));
        picture->show();
        QVERIFY(picture->Play());
        QTRY_COMPARE_WITH_TIMEOUT(picture->Movie()->currentFrameNumber(), 5, 5000);

        picture->hide();
        QCOMPARE(picture->Movie()->state(), QMovie::Paused);
        picture->show();
        QVERIFY(picture->IsPlaying());

        QElapsedTimer clock;
        clock.start();
        delete picture;  // inside the 3-second hold of frame 6
        QVERIFY2(clock.elapsed() < 1000, "destroying the strip waited for its frame");
    }

    void aMissingPictureLeavesNothingToPlay() {
        AnimatedPicture picture;
        QVERIFY(!picture.Load(QStringLiteral(":/pelmora/none.gif")));
        QVERIFY(!picture.Play());
    }
};

PELMORA_UI_TEST_MAIN(AnimatedPictureTest)
#include "test_animated_picture.moc"
