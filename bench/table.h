#pragma once

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace pilfern::bench {

// The name of a measure's baseline benchmark: the measure's own name with this suffix.
inline constexpr const char* kBaselineSuffix = " [baseline]";

// Counters a benchmark sets for the table. Every figure is per unit: per frame, per item, per
// line, per row.
inline constexpr const char* kUnits = "units";         // units one iteration handles
inline constexpr const char* kCount = "count";         // a count instead of a time
inline constexpr const char* kCalls = "calls";         // engine calls per unit
inline constexpr const char* kAllocations = "allocs";  // framework heap allocations per unit

// Collects every run and prints one table at the end: for each measure the project's
// figure, its baseline from the same run, and their ratio.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Figure {
        double value = 0;  // nanoseconds per unit, or a count
        bool isCount = false;
        std::map<std::string, double> counters;
    };
    std::vector<std::string> order_;
    std::map<std::string, Figure> figures_;
};

}  // namespace pilfern::bench
