#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "autoloot/corpses.h"
#include "autoloot/ground_items.h"
#include "bench/bench_game.h"
#include "bench/measures.h"
#include "bench/table.h"
#include "sim/sim_types.h"

// The auto-loot passes per object of the world, against a loop that walks the same list and
// asks the same distance and nothing else: what any pass must pay. And how many rays the
// ground pass casts against how many items could deserve one.
namespace pilfern::bench {
namespace {

constexpr std::size_t kQualifyingShare = 100;  // 1 % of the objects qualify
constexpr std::size_t kSightItems = 10000;
constexpr std::size_t kSightWithinReach = 50;
constexpr std::size_t kBlockers = 20;

struct PassSize {
    std::size_t objects;
    bool someQualify;
};

std::string PassName(const char* pass, const PassSize& size) {
    return std::string(pass) + " pass, " + std::to_string(size.objects) + " " +
           (size.someQualify ? "(1 % qualify)" : "(none qualify)");
}

std::size_t Qualifying(const PassSize& size) {
    return size.someQualify ? size.objects / kQualifyingShare : 0;
}

// The plugin's loot records of the pass, dropped between passes as frames would show and
// expire them.
void DropRecords(Instance& instance) {
    instance.lootMessages.clear();
    instance.targetMarkers.clear();
}

// Puts the taken items back on the ground, outside the timing.
void PutBack(benchmark::State& run, sim::SimEngine& engine, const std::vector<sim::SimItem*>& items,
             Instance& instance) {
    run.PauseTiming();
    for (sim::SimItem* item : items) {
        if (!engine.OnGround(item)) {
            engine.PlaceInWorld(*item);
        }
    }
    DropRecords(instance);
    run.ResumeTiming();
}

void GroundPass(benchmark::State& run, PassSize size) {
    BenchGame bench;
    const std::vector<sim::SimItem*> items =
        sim::ScatterItems(bench.Game(), size.objects, Qualifying(size));
    Instance& instance = bench.LoadPluginAndStart();
    for (auto _ : run) {
        AutoLootGroundItems(instance);
        if (size.someQualify) {
            PutBack(run, bench.Engine(), items, instance);
        }
    }
    run.counters[kUnits] = static_cast<double>(size.objects);
}

// The walk and the distance query, and the engine taking the items within reach into the
// hero's inventory: the least any pass that takes them pays. Taking unlinks an item from the
// world's singly linked list, which walks the list to it, so its cost grows with the world.
void GroundTakingBaseline(benchmark::State& run, PassSize size) {
    BenchGame bench;
    const std::vector<sim::SimItem*> items =
        sim::ScatterItems(bench.Game(), size.objects, Qualifying(size));
    Instance& instance = bench.LoadPluginAndStart();
    Engine& engine = bench.Engine();
    const int radius = instance.settings.autoLootDistance;
    for (auto _ : run) {
        oCNpc* player = engine.eng_player();
        const zCListSort<oCItem>* node =
            engine.eng_world_item_list(engine.eng_game_world(engine.eng_game()));
        while (node != nullptr) {
            const zCListSort<oCItem>* next = engine.eng_list_item_next(node);
            if (oCItem* item = engine.eng_list_item(node);
                item != nullptr &&
                static_cast<int>(engine.eng_vob_distance_to(player, item)) <= radius) {
                engine.eng_npc_take_vob(player, item);
            }
            node = next;
        }
        PutBack(run, bench.Engine(), items, instance);
    }
    run.counters[kUnits] = static_cast<double>(size.objects);
}

void GroundBaseline(benchmark::State& run, PassSize size) {
    BenchGame bench;
    sim::ScatterItems(bench.Game(), size.objects, Qualifying(size));
    const Instance& instance = bench.LoadPluginAndStart();
    Engine& engine = bench.Engine();
    const int radius = instance.settings.autoLootDistance;
    for (auto _ : run) {
        const oCNpc* player = engine.eng_player();
        int within = 0;
        for (const zCListSort<oCItem>* node =
                 engine.eng_world_item_list(engine.eng_game_world(engine.eng_game()));
             node != nullptr; node = engine.eng_list_item_next(node)) {
            if (const oCItem* item = engine.eng_list_item(node)) {
                within += static_cast<int>(engine.eng_vob_distance_to(player, item)) <= radius;
            }
        }
        benchmark::DoNotOptimize(within);
    }
    run.counters[kUnits] = static_cast<double>(size.objects);
}

void CorpsePass(benchmark::State& run, PassSize size) {
    BenchGame bench;
    const std::vector<sim::SimNpc*> corpses =
        sim::ScatterCorpses(bench.Game(), size.objects, Qualifying(size));
    Instance& instance = bench.LoadPluginAndStart();
    for (auto _ : run) {
        AutoLootCorpses(instance);
        if (size.someQualify) {
            run.PauseTiming();
            for (sim::SimNpc* corpse : corpses) {
                if (corpse->vob.position.z < sim::kFarRing / 2 &&
                    corpse->inventory.entries.Empty()) {
                    sim::RestockCorpse(bench.Game(), *corpse);
                }
            }
            DropRecords(instance);
            run.ResumeTiming();
        }
    }
    run.counters[kUnits] = static_cast<double>(size.objects);
}

void CorpseBaseline(benchmark::State& run, PassSize size) {
    BenchGame bench;
    sim::ScatterCorpses(bench.Game(), size.objects, Qualifying(size));
    const Instance& instance = bench.LoadPluginAndStart();
    Engine& engine = bench.Engine();
    const int radius = instance.settings.autoLootDistance;
    for (auto _ : run) {
        const oCNpc* player = engine.eng_player();
        int within = 0;
        for (const zCListSort<oCNpc>* node =
                 engine.eng_world_npc_list(engine.eng_game_world(engine.eng_game()));
             node != nullptr; node = engine.eng_list_npc_next(node)) {
            if (const oCNpc* npc = engine.eng_list_npc(node)) {
                within += static_cast<int>(engine.eng_vob_distance_to(player, npc)) <= radius;
            }
        }
        benchmark::DoNotOptimize(within);
    }
    run.counters[kUnits] = static_cast<double>(size.objects);
}

// A world whose items within reach stand partly behind walls, so that line of sight decides;
// the rays are cast against all the world's blockers.
BenchGame& SightWorld(BenchGame& bench) {
    sim::ScatterItems(bench.Game(), kSightItems, kSightWithinReach);
    for (std::size_t i = 0; i < kBlockers; ++i) {
        const auto offset = static_cast<float>(i) * 400.0F;
        bench.Engine().blockers.push_back(sim::Blocker{"wall-" + std::to_string(i),
                                                       zVEC3{-2000.0F + offset, -50, 3000},
                                                       zVEC3{-1800.0F + offset, 300, 3050}});
    }
    // One wall between the hero and the right half of the fan within reach.
    bench.Engine().blockers.push_back(
        sim::Blocker{"palisade", zVEC3{1, -50, 150}, zVEC3{400, 300, 170}});
    return bench;
}

// Rays the ground pass casts.
void SightQueries(benchmark::State& run) {
    BenchGame bench;
    SightWorld(bench);
    Instance& instance = bench.LoadPluginAndStart();
    std::uint64_t rays = 0;
    std::uint64_t passes = 0;
    for (auto _ : run) {
        const std::uint64_t before = bench.Engine().Calls("eng_npc_can_see");
        AutoLootGroundItems(instance);
        rays += bench.Engine().Calls("eng_npc_can_see") - before;
        ++passes;
    }
    run.counters[kCount] = static_cast<double>(rays) / static_cast<double>(passes);
}

// The items within the radius that pass every test cheaper than line of sight: the pass's
// own judgement with line of sight switched off, counted before anything is taken.
void SightCandidates(benchmark::State& run) {
    BenchGame bench;
    SightWorld(bench);
    Instance& instance = bench.LoadPluginAndStart();
    instance.settings.needDirectViewAutoloot = false;
    const oCNpc* player = bench.Engine().eng_player();
    double candidates = 0;
    for (auto _ : run) {
        int count = 0;
        for (oCItem* item : bench.Engine().WorldItems().Objects()) {
            count += JudgeGroundItem(instance, *player, *item) == GroundVerdict::Take;
        }
        candidates = count;
    }
    run.counters[kCount] = candidates;
}

}  // namespace

void RegisterPassMeasures() {
    for (const std::size_t objects : {1000, 10000, 100000}) {
        for (const bool someQualify : {false, true}) {
            const PassSize size{objects, someQualify};
            const std::string ground = PassName("ground", size);
            benchmark::RegisterBenchmark(ground.c_str(), GroundPass, size);
            benchmark::RegisterBenchmark((ground + kBaselineSuffix).c_str(), GroundBaseline, size);
        }
    }
    for (const std::size_t objects : {1000, 10000, 100000}) {
        const PassSize size{objects, true};
        const std::string ground = PassName("ground", size) + " vs engine takes";
        benchmark::RegisterBenchmark(ground.c_str(), GroundPass, size);
        benchmark::RegisterBenchmark((ground + kBaselineSuffix).c_str(), GroundTakingBaseline,
                                     size);
    }
    for (const std::size_t objects : {1000, 10000, 100000}) {
        for (const bool someQualify : {false, true}) {
            const PassSize size{objects, someQualify};
            const std::string corpse = PassName("corpse", size);
            benchmark::RegisterBenchmark(corpse.c_str(), CorpsePass, size);
            benchmark::RegisterBenchmark((corpse + kBaselineSuffix).c_str(), CorpseBaseline, size);
        }
    }
    const std::string sight = "sight: rays per ground pass, 10000 items";
    benchmark::RegisterBenchmark(sight.c_str(), SightQueries)->Iterations(1);
    benchmark::RegisterBenchmark((sight + kBaselineSuffix).c_str(), SightCandidates)->Iterations(1);
}

}  // namespace pilfern::bench
