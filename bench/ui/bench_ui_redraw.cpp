// RedrawCurrentPage of a page with 500 records, with the grid, the rectangles and the
// numbers on: the work behind every click, list change and colour change.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <memory>

#include "base/image_io.h"
#include "test_support.h"
#include "ui/main_window.h"
#include "ui/scripted_modal_ui.h"

using namespace pelmora;

namespace {

struct Editor {
    test::TempDir dir;
    ui::ScriptedModalUi modal;
    std::unique_ptr<ui::MainWindow> window;

    Editor(int recordCount, bool overlays) {
        test::WadBytes wad;
        wad.records.push_back(TextureRecord{});
        for (int i = 1; i < recordCount; ++i) {
            // 500 small records spread over the page, some overlapping.
            wad.records.push_back(
                MakeRecord((i * 37) % 240, (i * 53) % 240, 8 + i % 24, 8 + (i * 7) % 24, 0));
        }
        wad.pages.push_back(test::PatternPage(1));
        test::WriteFile(dir.File("bench.wad"), wad.Build());
        window = std::make_unique<ui::MainWindow>(modal);
        window->OpenFile(QString::fromStdString(dir.File("bench.wad")));
        for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
            const QString text = box->text();
            if (text == "Show Grid" || text == "Show Texture Rectangles" || text == "Show Numbers")
                box->setChecked(overlays);
        }
    }
};

void BM_RedrawCurrentPage(benchmark::State& state) {
    Editor editor(static_cast<int>(state.range(0)), state.range(1) != 0);
    if (editor.window->PageList()->count() != 1) state.SkipWithError("the file did not open");
    for (auto _ : state) editor.window->RedrawCurrentPage();
    state.SetLabel(state.range(1) ? "grid, rectangles and numbers" : "no overlays");
}
BENCHMARK(BM_RedrawCurrentPage)
    ->Args({500, 1})
    ->Args({500, 0})
    ->Args({5000, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_ShowSelectedTexture(benchmark::State& state) {
    Editor editor(500, true);
    editor.window->TextureList()->setCurrentIndex(250);
    for (auto _ : state) editor.window->ShowSelectedTexture();
}
BENCHMARK(BM_ShowSelectedTexture)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    InitImageLibrary(argv[0]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
