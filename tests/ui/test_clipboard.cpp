// The clipboard commands and the CPU priority items as the window runs them. The pixel work
// behind them, and the priority each thread gets, are the core's tests' business.
#include <unistd.h>

#include <QClipboard>

#include "ui/page_composer.h"
#include "ui/piece_preview.h"
#include "ui_test_support.h"

using namespace pelmora;
using namespace pelmora::ui;

class ClipboardTest : public test::WindowTest {
    Q_OBJECT

    enum { kCopyPage, kCopyTexture, kPastePage, kPasteTexture };
    void Run(int command) { window_->ClipboardActions().at(command)->trigger(); }
    Image Page(int index) { return *window_->CurrentProject().pages.GetBitmap(index); }
    static QClipboard* Clipboard() { return QGuiApplication::clipboard(); }
    std::vector<bool> PriorityChecks() {
        std::vector<bool> checks;
        for (QAction* action : window_->CpuPriorityActions()) checks.push_back(action->isChecked());
        return checks;
    }

private slots:
    void init() {
        StartWindow();
        Clipboard()->clear();
    }
    void cleanup() { StopWindow(); }

    void aPageAndAPieceGoOutAndComeBack() {
        Open({TextureRecord{}, MakeRecord(100, 40, 32, 16, 1, -1, -1)}, 2);
        window_->PageList()->setCurrentIndex(0);
        Run(kCopyPage);
        QCOMPARE(FromQImage(Clipboard()->image()), Page(0));
        window_->PageList()->setCurrentIndex(1);
        Run(kPastePage);
        QCOMPARE(Page(1), Page(0));

        Select(1);
        Run(kCopyTexture);  // the record is flipped; its piece goes out as the page holds it
        QCOMPARE(FromQImage(Clipboard()->image()), Page(1).Copy(100, 40, 32, 16));
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        Clipboard()->setImage(red);
        Run(kPasteTexture);  // what is shown follows
        QCOMPARE(window_->Preview()->Piece().pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(window_->IsModified());
        QVERIFY(modal_->messages.empty());
    }

    void anEmptyClipboardIsToldAndNoPagesDoNothing() {
        Run(kCopyPage);
        Run(kPastePage);
        QVERIFY(Clipboard()->image().isNull());
        QVERIFY(modal_->messages.empty());

        Open({TextureRecord{}, MakeRecord(0, 0, 8, 8, 0)}, 1);
        const Image before = Page(0);
        Run(kPastePage);
        Run(kPasteTexture);
        QCOMPARE(modal_->messages.size(), size_t(2));
        QCOMPARE(modal_->messages[1].text, QStringLiteral("No Image On Clipboard"));
        QCOMPARE(Page(0), before);
    }

    void transparencyShowsTheNewPageColourChosenInTheMenu() {
        Open({TextureRecord{}}, 1);
        modal_->colours.push_back(QColor(1, 2, 3));
        window_->MenuActions().newPageColour->trigger();
        QImage clear(16, 16, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        Clipboard()->setImage(clear);
        Run(kPastePage);
        QCOMPARE(Page(0), Image(256, 256, MakeColour(1, 2, 3)));
    }

    // Last: an unprivileged run cannot come back from Low.
    void theCheckMarkShowsThePriorityInEffect() {
        window_->CpuPriorityActions().at(2)->trigger();  // "&Low"
        QCOMPARE(window_->CpuPriority(), 1);
        QCOMPARE(PriorityChecks(), std::vector<bool>({false, false, true}));

        window_->CpuPriorityActions().at(1)->trigger();  // "&Normal"
        if (geteuid() == 0) {
            QVERIFY(modal_->messages.empty());
            QCOMPARE(PriorityChecks(), std::vector<bool>({false, true, false}));
        } else {
            QCOMPARE(modal_->messages.size(), size_t(1));
            QCOMPARE(window_->CpuPriority(), 1);
            QCOMPARE(PriorityChecks(), std::vector<bool>({false, false, true}));
        }
        // A value from a settings file that no item stands for checks none.
        window_->SetCpuPriority(7, false);
        QCOMPARE(window_->CpuPriority(), 7);
        QCOMPARE(PriorityChecks(), std::vector<bool>({false, false, false}));
    }
};

PELMORA_UI_TEST_MAIN(ClipboardTest)
#include "test_clipboard.moc"
