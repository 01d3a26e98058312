// How long the window's event loop goes without running while 2,000 images are added
// through Texture Pieces > Add New. A 1 ms timer stamps every turn of the loop; the longest
// gap between two stamps is the longest time the window could not answer the user.
//   bench_ui_adding_stall [COUNT] [--no-show]   (--no-show: "Textures being Added" off)
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "base/image_io.h"
#include "test_support.h"
#include "ui/main_window.h"
#include "ui/scripted_modal_ui.h"

using namespace pelmora;

int main(int argc, char** argv) {
    InitImageLibrary(argv[0]);
    SetImageLibraryThreads(1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 2000;
    const bool show = !(argc > 1 && std::string(argv[argc - 1]) == "--no-show");

    test::TempDir dir;
    std::mt19937 random(7);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const int w = 16 + static_cast<int>(random() % 185);
        const int h = 16 + static_cast<int>(random() % 185);
        const std::string path = dir.File("piece" + std::to_string(i) + ".png");
        std::string error;
        SaveImage(test::PatternImage(w, h, static_cast<uint8_t>(i)), path, ImageFormat::Png, 100,
                  &error);
        files << QString::fromStdString(path);
    }

    ui::ScriptedModalUi modal;
    ui::MainWindow window(modal);
    window.show();
    modal.fileAnswers.push_back({QString::fromStdString(dir.File("bench.plm"))});
    window.NewCommand();
    window.SetShowTexturesBeingAdded(show);
    modal.fileAnswers.push_back(files);

    std::vector<qint64> gaps;
    qint64 longestAt = 0;
    qint64 longest = 0;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gaps.push_back(now - last);
        if (now - last > longest) {
            longest = now - last;
            longestAt = last;
        }
        last = now;
    });
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!window.IsWorking()) QApplication::quit();
    });

    // Once the window has painted itself for the first time, which is not part of the adding.
    QTimer::singleShot(300, [&] {
        clock.start();
        ticker.start();
        watcher.start(5);
        QElapsedTimer command;
        command.start();
        window.AddNewPiecesCommand();
        std::printf("the command itself:  %.2f ms\n", command.nsecsElapsed() / 1e6);
    });
    QApplication::exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();

    std::sort(gaps.begin(), gaps.end());
    auto ms = [](qint64 ns) { return ns / 1e6; };
    std::printf("images added:        %d (%d records, %d pages)\n", count,
                window.CurrentProject().RecordCount() - 1, window.CurrentProject().PageCount());
    std::printf("textures being added %s\n", show ? "on" : "off");
    std::printf("total time:          %.2f s\n", seconds);
    std::printf("event loop turns:    %zu\n", gaps.size());
    if (!gaps.empty()) {
        std::printf("median gap:          %.2f ms\n", ms(gaps[gaps.size() / 2]));
        std::printf("99th percentile gap: %.2f ms\n", ms(gaps[gaps.size() * 99 / 100]));
        std::printf("longest stall:       %.2f ms, from %.3f s on\n", ms(gaps.back()),
                    longestAt / 1e9);
        std::printf("five longest:       ");
        for (size_t i = 0; i < std::min<size_t>(5, gaps.size()); ++i)
            std::printf(" %.1f", ms(gaps[gaps.size() - 1 - i]));
        std::printf(" ms\n");
    }
    return 0;
}
