// What it costs this machine to hold a large file's pages in memory at all: touching 376 MB of
// memory the process has never used (as reading a 2,000-page file into the page store does),
// right after the same amount was freed, and after a pause of three seconds. On a virtual
// machine whose guest hands freed memory back to the host, the second is much slower: every
// page is a fault in the host. `cp` never touches such memory, so this is the part of
// `pelmora-cli save` that a copy does not pay.
//
//   build/bench/bench_fresh_memory (PELMORA_FRESH_MB sets the size)

#include <benchmark/benchmark.h>
#include <sys/mman.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

size_t Megabytes() {
    const char* mb = std::getenv("PELMORA_FRESH_MB");
    return static_cast<size_t>(mb != nullptr ? std::atol(mb) : 376);
}

// Maps, touches on both cores in large pages (as the page store does) and frees the block.
void TouchFreshMemory(size_t bytes) {
    void* block =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return;
    ::madvise(block, bytes, MADV_HUGEPAGE);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    const size_t share = bytes / threads;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([=] {
            auto* bytesOfThisThread = static_cast<char*>(block) + t * share;
            std::memset(bytesOfThisThread, 1, t + 1 == threads ? bytes - t * share : share);
        });
    }
    for (std::thread& w : workers) w.join();
    benchmark::DoNotOptimize(static_cast<char*>(block)[bytes - 1]);
    ::munmap(block, bytes);
}

void BM_FreshMemoryRightAfterFreeing(benchmark::State& state) {
    const size_t bytes = Megabytes() << 20;
    TouchFreshMemory(bytes);
    for (auto _ : state) TouchFreshMemory(bytes);
    state.counters["MB"] = static_cast<double>(Megabytes());
}

void BM_FreshMemoryAfterAPause(benchmark::State& state) {
    const size_t bytes = Megabytes() << 20;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        state.ResumeTiming();
        TouchFreshMemory(bytes);
    }
    state.counters["MB"] = static_cast<double>(Megabytes());
}

BENCHMARK(BM_FreshMemoryRightAfterFreeing)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_FreshMemoryAfterAPause)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
