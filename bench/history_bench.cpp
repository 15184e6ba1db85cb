#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "bench/measures.h"
#include "bench/table.h"
#include "persistence/save_file.h"
#include "persistence/save_state.h"
#include "platform/platform.h"

// The loot history saved with a savegame and loaded again, against writing and reading the
// same bytes with nothing made of them.
namespace pilfern::bench {
namespace {

constexpr int kSlot = 1;

std::vector<HistoryEntity> Rows(std::size_t count) {
    std::vector<HistoryEntity> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows.push_back(HistoryEntity{CStringA("(A) Ore Nugget x" + std::to_string(i % 50 + 1)),
                                     CStringA("Bandit"), 1});
    }
    return rows;
}

// A game with the plugin holding `count` rows, saved once to slot 1.
struct SavedGame {
    explicit SavedGame(std::size_t count) : instance(bench.LoadPluginAndStart()) {
        instance.lootHistory = Rows(count);
        // From the save on, the framework's record names the slot, as the benchmark's saves
        // and loads need it.
        bench.Game().Save(kSlot);
        path = std::string(GetSaveSlotFolder(instance, kSlot).Text()) + std::string(kSaveFileName);
    }
    BenchGame bench;
    Instance& instance;
    std::string path;
};

void Save(benchmark::State& run, std::size_t count) {
    SavedGame saved(count);
    for (auto _ : run) {
        SaveLootState(saved.instance);
    }
    run.counters[kUnits] = static_cast<double>(count);
}

void WriteSameBytes(benchmark::State& run, std::size_t count) {
    SavedGame saved(count);
    const CStringA content = SaveFileContent(saved.instance.lootHistory);
    const CStringA path(saved.path);
    for (auto _ : run) {
        benchmark::DoNotOptimize(
            saved.bench.Game().framework.WriteToFileUTF8(content, path, kAnsiCodePageDefault));
    }
    run.counters[kUnits] = static_cast<double>(count);
}

void Load(benchmark::State& run, std::size_t count) {
    SavedGame saved(count);
    for (auto _ : run) {
        LoadLootState(saved.instance);
    }
    if (saved.instance.lootHistory.size() != count) {
        run.SkipWithError("the history did not come back whole");
    }
    run.counters[kUnits] = static_cast<double>(count);
}

void ReadSameBytes(benchmark::State& run, std::size_t count) {
    SavedGame saved(count);
    for (auto _ : run) {
        const std::optional<std::string> bytes = platform::ReadWholeFile(saved.path);
        std::size_t lines = 0;
        for (const char c : *bytes) {
            lines += c == '\n';
        }
        benchmark::DoNotOptimize(lines);
    }
    run.counters[kUnits] = static_cast<double>(count);
}

}  // namespace

void RegisterHistoryMeasures() {
    for (const std::size_t count : {60, 100000}) {
        const std::string rows = std::to_string(count) + " rows";
        benchmark::RegisterBenchmark(("history: save " + rows).c_str(), Save, count);
        benchmark::RegisterBenchmark(("history: save " + rows + kBaselineSuffix).c_str(),
                                     WriteSameBytes, count);
        benchmark::RegisterBenchmark(("history: load " + rows).c_str(), Load, count);
        benchmark::RegisterBenchmark(("history: load " + rows + kBaselineSuffix).c_str(),
                                     ReadSameBytes, count);
    }
}

}  // namespace pilfern::bench
