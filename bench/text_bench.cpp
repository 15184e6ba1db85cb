#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "bench/measures.h"
#include "bench/table.h"

// A message row of 40 characters printed as the plugin prints its rows, through the engine's
// text path with the plugin's patches in it, against the same path without them.
namespace pilfern::bench {
namespace {

constexpr int kViewKind = 2;
constexpr std::string_view kLine = "(A) Ore Nugget x12 (Bandit of the camp.)";
static_assert(kLine.size() == 40);

void PrintRow(Engine& engine, zCView* view, const zSTRING& line) {
    engine.eng_screen_insert(view, 0);
    engine.eng_view_clear_text(view);
    engine.eng_view_print(view, 800, 5950, line);
    engine.eng_view_blit(view);
    engine.eng_view_draw(view);
    engine.eng_screen_remove(view);
}

// A full-screen view with the screen's font, as the plugin makes its message view.
zCView* RowView(Engine& engine) {
    zCView* view = engine.eng_view_construct_rect(0, 0, 8192, 8192, kViewKind);
    engine.eng_view_set_font(view, engine.eng_view_get_font_name(engine.eng_screen()));
    return view;
}

void PatchedPath(benchmark::State& run, float multiplier) {
    BenchGame bench;
    Instance& instance = bench.LoadPluginAndStart();
    instance.settings.fontMultiplier = multiplier;
    zCView* view = RowView(bench.Engine());
    const zSTRING line(kLine);
    for (auto _ : run) {
        instance.text.scaledPrintActive = true;
        PrintRow(bench.Engine(), view, line);
        instance.text.scaledPrintActive = false;
        bench.Engine().ClearDrawRecords();
    }
}

// The same game without the plugin: the engine's own text path.
void UnpatchedPath(benchmark::State& run, float /*multiplier*/) {
    BenchGame bench;
    bench.Game().Init();
    zCView* view = RowView(bench.Engine());
    const zSTRING line(kLine);
    for (auto _ : run) {
        PrintRow(bench.Engine(), view, line);
        bench.Engine().ClearDrawRecords();
    }
}

}  // namespace

void RegisterTextMeasures() {
    for (const float multiplier : {1.0F, 2.0F}) {
        const std::string name = "text: 40-character line, multiplier " +
                                 std::string(multiplier == 1.0F ? "1.0" : "2.0");
        benchmark::RegisterBenchmark(name.c_str(), PatchedPath, multiplier);
        benchmark::RegisterBenchmark((name + kBaselineSuffix).c_str(), UnpatchedPath, multiplier);
    }
}

}  // namespace pilfern::bench
