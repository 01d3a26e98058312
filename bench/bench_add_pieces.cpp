// Placement alone: the pieces of a real icon set (bench/make_icon_set.sh), in natural name
// order, placed first-fit onto a new project's pages, through the placement index and
// through the straightforward scan. The straightforward run also checks that both give the
// same records.
//
//   bench/make_icon_set.sh /tmp/pelmora-icons 5000
//   PELMORA_ICON_SET=/tmp/pelmora-icons build/bench/bench_add_pieces

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "edit/add_pieces.h"
#include "edit/placement_oracle.h"
#include "base/image_io.h"

namespace {

using namespace pelmora;
using Sizes = std::vector<std::pair<int, int>>;

std::string IconFolder() {
    const char* folder = std::getenv("PELMORA_ICON_SET");
    return folder != nullptr ? folder : "/tmp/pelmora-icons";
}

// The fitted sizes of the set's images in the order adding would take them.
const Sizes& IconSizes() {
    static const Sizes sizes = [] {
        std::vector<std::string> files;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(IconFolder(), ec))
            if (entry.path().extension() == ".png") files.push_back(entry.path().string());
        std::sort(files.begin(), files.end(), NaturalNameLess);
        Sizes out;
        for (const std::string& file : files) {
            if (const auto image = LoadImage(file)) {
                int w = 0, h = 0;
                FitToPage(image->Width(), image->Height(), w, h);
                if (w > 0 && h > 0) out.emplace_back(w, h);
            }
        }
        return out;
    }();
    return sizes;
}

Sizes FirstPieces(benchmark::State& state) {
    const Sizes& all = IconSizes();
    const auto n = static_cast<size_t>(state.range(0));
    if (all.size() < n) {
        state.SkipWithError("not enough icons: run bench/make_icon_set.sh first");
        return {};
    }
    return Sizes(all.begin(), all.begin() + n);
}

std::map<int64_t, std::vector<TextureRecord>> indexedResults;

void BM_PlacementIndexed(benchmark::State& state) {
    const Sizes sizes = FirstPieces(state);
    if (sizes.empty()) return;
    std::vector<TextureRecord> records;
    int pages = 1;
    for (auto _ : state) {
        records = {TextureRecord{}};
        pages = 1;
        test::IndexedPlaceAll(records, pages, sizes);
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["pages"] = pages;
    indexedResults[state.range(0)] = records;
}

void BM_PlacementStraightforward(benchmark::State& state) {
    const Sizes sizes = FirstPieces(state);
    if (sizes.empty()) return;
    std::vector<TextureRecord> records;
    int pages = 1;
    for (auto _ : state) {
        records = {TextureRecord{}};
        pages = 1;
        test::StraightforwardPlaceAll(records, pages, sizes);
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["pages"] = pages;
    const auto indexed = indexedResults.find(state.range(0));
    if (indexed == indexedResults.end() || indexed->second != records)
        state.SkipWithError("the index and the straightforward scan gave different records");
}

BENCHMARK(BM_PlacementIndexed)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlacementStraightforward)
    ->Arg(2000)
    ->Arg(5000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
