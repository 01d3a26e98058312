// Export All (pages) as PNG against the plain way of doing it: one GraphicsMagick encode and
// write after the other. Both write the same 2,000 files into a scratch folder.
//
//   build/bench/bench_export --benchmark_counters_tabular=true
//
// The ratio of the two real times is the speed-up quoted in the README. The "cores" counter
// tells whether the run had the machine to itself: the export should show about 2 on two
// cores, the loop 1; anything less means other work shared the cores and the ratio is off.
#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "export/bulk_export.h"
#include "base/image_io.h"
#include "base/paths.h"

namespace {

using namespace pelmora;

constexpr int kPages = 2000;

// A scratch folder that goes with everything in it.
struct ScratchFolder {
    ScratchFolder() {
        std::string pattern = TempFolder() + "pelmora-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// Pages that compress like real textures do: smooth shapes under some grain.
struct Fixture {
    Fixture() {
        project.filePath = folder.File("level.wad");
        std::mt19937 random(1);
        for (int p = 0; p < kPages; ++p) {
            Image page(256, 256);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const int grain = static_cast<int>(random() % 24);
                    page.SetPixel(x, y,
                                  MakeColour(static_cast<uint8_t>((x * (p % 7 + 1)) / 4 + grain),
                                             static_cast<uint8_t>((y + p) / 2 + grain),
                                             static_cast<uint8_t>(((x ^ y) & 0x40) + grain)));
                }
            project.pages.AddBitmapHandle(std::move(page));
        }
    }
    ScratchFolder folder;
    Project project;
};

// Seconds of processor time the whole process has used, on all its threads.
double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// How many cores the loop kept busy on average: process CPU time over wall time.
class CoresUsed {
public:
    CoresUsed() : cpu_(ProcessCpuSeconds()), wall_(std::chrono::steady_clock::now()) {}
    double Value() const {
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_;
        return (ProcessCpuSeconds() - cpu_) / wall.count();
    }

private:
    double cpu_;
    std::chrono::steady_clock::time_point wall_;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_ExportAllPagesPng(benchmark::State& state) {
    Fixture& f = Shared();
    ExportOptions options;
    options.folder = f.folder.path;
    options.format = ImageFormat::Png;
    const CoresUsed cores;
    for (auto _ : state) {
        const Outcome result = ExportAllPages(f.project, options);
        if (!result.IsDone()) state.SkipWithError(result.message.c_str());
    }
    state.counters["cores"] = cores.Value();
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(kPages),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_GraphicsMagickLoopPng(benchmark::State& state) {
    Fixture& f = Shared();
    const CoresUsed cores;
    for (auto _ : state) {
        for (int i = 0; i < kPages; ++i) {
            const auto page = f.project.pages.GetBitmap(i);
            const auto rgb = page->PackedRgb();
            Magick::Image image(256, 256, "RGB", Magick::CharPixel, rgb.data());
            image.magick("PNG");
            image.write(f.folder.File("Page" + std::to_string(i + 1) + ".png"));
        }
    }
    state.counters["cores"] = cores.Value();
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(kPages),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ExportAllPagesPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_GraphicsMagickLoopPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
