#include "bench/table.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace pilfern::bench {
namespace {

std::string Unit(const std::string& measure) {
    for (const auto& [part, unit] :
         std::initializer_list<std::pair<std::string_view, const char*>>{{"frame:", "ns/frame"},
                                                                         {"sight:", "rays"},
                                                                         {"pass", "ns/object"},
                                                                         {"line", "ns/line"},
                                                                         {"rows", "ns/row"}}) {
        if (measure.find(part) != std::string::npos) {
            return unit;
        }
    }
    return "ns";
}

std::string Counter(const std::map<std::string, double>& counters, const char* name) {
    const auto found = counters.find(name);
    if (found == counters.end()) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", found->second);
    return text;
}

}  // namespace

bool TableReporter::ReportContext(const Context& context) {
    std::fprintf(stderr, "running on %d CPUs at %.0f MHz\n", context.cpu_info.num_cpus,
                 context.cpu_info.cycles_per_second / 1e6);
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) {
            std::fprintf(stderr, "%s: %s\n", run.benchmark_name().c_str(),
                         run.error_message.c_str());
            continue;
        }
        Figure figure;
        for (const auto& [name, counter] : run.counters) {
            figure.counters[name] = counter.value;
        }
        const double units = figure.counters.contains(kUnits) ? figure.counters[kUnits] : 1.0;
        if (figure.counters.contains(kCount)) {
            figure.isCount = true;
            figure.value = figure.counters[kCount];
        } else {
            const double nanoseconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            figure.value = nanoseconds / units;
        }
        const std::string name = run.run_name.function_name;
        if (!figures_.contains(name)) {
            order_.push_back(name);
        }
        figures_[name] = figure;
    }
}

void TableReporter::Finalize() {
    const std::string suffix = kBaselineSuffix;
    std::printf("%-58s %-10s %12s %12s %7s %9s %9s\n", "measure", "unit", "pilfern", "baseline",
                "ratio", "calls/u", "allocs/u");
    for (const std::string& name : order_) {
        if (name.ends_with(suffix)) {
            continue;
        }
        const Figure& own = figures_.at(name);
        const auto baseline = figures_.find(name + suffix);
        std::string base = "-";
        std::string ratio = "-";
        if (baseline != figures_.end()) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", baseline->second.value);
            base = text;
            if (baseline->second.value > 0) {
                std::snprintf(text, sizeof text, "%.2f", own.value / baseline->second.value);
                ratio = text;
            }
        }
        std::printf("%-58s %-10s %12.1f %12s %7s %9s %9s\n", name.c_str(), Unit(name).c_str(),
                    own.value, base.c_str(), ratio.c_str(), Counter(own.counters, kCalls).c_str(),
                    Counter(own.counters, kAllocations).c_str());
    }
}

}  // namespace pilfern::bench
