// The one main of the core benchmarks: the imaging library must be set up before any
// benchmark decodes or encodes, and a mistyped flag should stop the run, not be ignored.
#include <benchmark/benchmark.h>

#include "base/image_io.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
