// What the undo history holds and costs for the large steps: adding 500 pieces (one step for
// the whole run) to a file of 1 or 200 pages, and many small writes to one page. Counters:
// the bytes the step keeps, the pages afterwards; the time is ending the step plus one undo
// and one redo.
//
//   build/bench/bench_edit_history

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "base/edit_history.h"
#include "base/image_io.h"
#include "base/paths.h"
#include "edit/add_pieces.h"
#include "edit/single_image.h"

namespace {

using namespace pelmora;

Image Noise(int width, int height, std::mt19937& random) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, static_cast<Colour>(random() & 0xFFFFFF));
    return image;
}

// A project of pages pages of noise.
void WithPages(Project& project, int pages) {
    NewProject(project, "/nonexistent/bench.plm");
    project.pages.ClearBitmaps();
    std::mt19937 random(3);
    for (int k = 0; k < pages; ++k) project.pages.AddBitmapHandle(Noise(256, 256, random));
}

// 500 pieces of 8 to 96 pixels a side, as PNG files in a folder of their own.
struct PieceFiles {
    PieceFiles() {
        std::string pattern = TempFolder() + "pelmora-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) folder = pattern;
        std::mt19937 random(7);
        for (int i = 0; i < 500; ++i) {
            const std::string path = folder + "/piece" + std::to_string(i) + ".png";
            const int w = 8 + static_cast<int>(random() % 89);
            const int h = 8 + static_cast<int>(random() % 89);
            SaveImageFile(Noise(w, h, random), path);
            files.push_back(path);
        }
    }
    ~PieceFiles() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
    std::vector<std::string> files;
};

void BM_AddPiecesStep(benchmark::State& state) {
    static PieceFiles pieces;
    const std::vector<std::string>& files = pieces.files;
    size_t held = 0;
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Project project;
        WithPages(project, static_cast<int>(state.range(0)));
        EditHistory history;
        history.BeginStep(project, "Add Pieces");
        std::atomic<bool> stop{false};
        AddPiecesFromFiles(project, files, FileSortOrder::Name, stop);
        state.ResumeTiming();
        history.EndStep(project);
        history.Undo(project);
        history.Redo(project);
        held = history.BytesHeld();
        pages = project.PageCount();
    }
    state.counters["held_MB"] = static_cast<double>(held) / (1 << 20);
    state.counters["pages"] = pages;
}
BENCHMARK(BM_AddPiecesStep)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);

// Painting hundreds of small marks into one page of a large file keeps one page twice.
void BM_ManyWritesToOnePage(benchmark::State& state) {
    Project project;
    WithPages(project, 500);
    EditHistory history;
    size_t held = 0;
    for (auto _ : state) {
        history.BeginStep(project, "Apply Numbers");
        for (int i = 0; i < state.range(0); ++i) {
            project.pages.WriteBitmap(
                42, [&](const BitmapHeader& h) { h.bits[(i * 97) % kPageBytes] ^= 0xFF; });
        }
        history.EndStep(project);
        held = history.BytesHeld();
        history.Clear();
    }
    state.counters["held_KB"] = static_cast<double>(held) / 1024;
}
BENCHMARK(BM_ManyWritesToOnePage)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
