#include <benchmark/benchmark.h>

#include "bench/measures.h"
#include "bench/table.h"

// Runs every measure and prints the one table of figures, baselines and ratios.
int main(int argc, char** argv) {
    pilfern::bench::RegisterFrameMeasures();
    pilfern::bench::RegisterPassMeasures();
    pilfern::bench::RegisterTextMeasures();
    pilfern::bench::RegisterHistoryMeasures();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    pilfern::bench::TableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    return 0;
}
