// The whole of adding pieces against its floor: `pelmora-cli add-pieces` of an icon set into
// a new file (open, decode, scale, place, save), and just decoding and scaling the same
// images on all cores, which is the part that cannot be made faster here.
//
//   bench/make_icon_set.sh /tmp/pelmora-icons-2000 2000
//   PELMORA_ICON_SET=/tmp/pelmora-icons-2000 build/bench/bench_add_pieces_cli
//
// pelmora-cli is looked for beside the build folder's bench/ folder, or at $PELMORA_CLI.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "edit/piece_loader.h"
#include "base/image_io.h"

extern char** environ;

namespace {

using namespace pelmora;
namespace fs = std::filesystem;

std::string IconFolder() {
    const char* folder = std::getenv("PELMORA_ICON_SET");
    return folder != nullptr ? folder : "/tmp/pelmora-icons-2000";
}

const std::vector<std::string>& IconFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(IconFolder(), ec))
            if (entry.path().extension() == ".png") out.push_back(entry.path().string());
        return out;
    }();
    return files;
}

std::string CliPath() {
    if (const char* path = std::getenv("PELMORA_CLI")) return path;
    std::error_code ec;
    return (fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path() / "pelmora-cli")
        .string();
}

// User + system seconds used so far by this process (all threads) or its waited-for children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs pelmora-cli with its output thrown away; its exit status.
int RunCli(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = CliPath();
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Decodes and scales every icon with one thread per core, as the loader does, and nothing else.
void DecodeAllOnAllCores(const std::vector<std::string>& files) {
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    std::atomic<size_t> pixels{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (size_t i = next++; i < files.size(); i = next++) {
                if (const auto piece = PieceLoader::LoadPiece(files[i]))
                    pixels += static_cast<size_t>(piece->Width()) * piece->Height();
            }
        });
    }
    for (std::thread& w : workers) w.join();
    benchmark::DoNotOptimize(pixels.load());
}

struct CliRun {
    fs::path dir = fs::temp_directory_path() / "pelmora-bench-add-pieces";
    std::string target = (dir / "icons.plm").string();
    std::vector<std::string> args;

    explicit CliRun(const std::vector<std::string>& files) {
        fs::create_directories(dir);
        args = {"add-pieces", target};
        args.insert(args.end(), files.begin(), files.end());
    }
    ~CliRun() { fs::remove_all(dir); }
    bool Prepare() {
        fs::remove(target);
        return RunCli({"new", target}) == 0;
    }
    bool Add() { return RunCli(args) == 0; }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeAndScaleOnAllCores(benchmark::State& state) {
    const auto& files = IconFiles();
    if (files.empty()) return state.SkipWithError("no icons: run bench/make_icon_set.sh first");
    SetImageLibraryThreads(1);
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state) DecodeAllOnAllCores(files);
    // CPU time does not depend on what else the machine is running, unlike the wall time.
    state.counters["cpu_s"] = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / state.iterations();
    state.counters["images"] = static_cast<double>(files.size());
    state.counters["threads"] = std::max(1u, std::thread::hardware_concurrency());
}

void BM_CliAddPiecesIntoNewFile(benchmark::State& state) {
    const auto& files = IconFiles();
    if (files.empty()) return state.SkipWithError("no icons: run bench/make_icon_set.sh first");
    CliRun run(files);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!run.Prepare()) return state.SkipWithError("pelmora-cli new failed");
        const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
        state.ResumeTiming();
        if (!run.Add()) return state.SkipWithError("pelmora-cli add-pieces failed");
        cpu += CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    }
    state.counters["cpu_s"] = cpu / state.iterations();
    state.counters["file_MB"] = static_cast<double>(fs::file_size(run.target)) / 1e6;
}

// The two above taken in turns, so that both see the same machine: on a shared virtual
// machine the speed drifts over seconds, and measuring one a minute after the other skews
// their ratio. The ratio is that of the medians.
void BM_CliAgainstDecodingInTurns(benchmark::State& state) {
    const auto& files = IconFiles();
    if (files.empty()) return state.SkipWithError("no icons: run bench/make_icon_set.sh first");
    SetImageLibraryThreads(1);
    CliRun run(files);
    std::vector<double> decode, cli;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        DecodeAllOnAllCores(files);
        decode.push_back(SecondsSince(start));
        state.PauseTiming();
        if (!run.Prepare()) return state.SkipWithError("pelmora-cli new failed");
        state.ResumeTiming();
        start = std::chrono::steady_clock::now();
        if (!run.Add()) return state.SkipWithError("pelmora-cli add-pieces failed");
        cli.push_back(SecondsSince(start));
    }
    state.counters["decode_ms"] = Median(decode) * 1e3;
    state.counters["cli_ms"] = Median(cli) * 1e3;
    state.counters["ratio"] = Median(cli) / Median(decode);
}

BENCHMARK(BM_DecodeAndScaleOnAllCores)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CliAddPiecesIntoNewFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CliAgainstDecodingInTurns)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(8);

}  // namespace
