#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/item_census.h"
#include "support/looting_game.h"

// One hour of play at 60 frames a second with auto-loot on in a camp where items and corpses
// keep appearing. The plugin's memory (the framework's heap) must stay flat once its lists are
// full, and every save must load back as it was written.
namespace pilfern::test {
namespace {

using Json = nlohmann::json;

constexpr int kKeyRShift = 54;
constexpr int kKeyApostrophe = 40;
constexpr std::uint32_t kFrameMs = 16;  // 60 frames a second, as near as whole milliseconds go
constexpr std::uint32_t kHourMs = 60U * 60U * 1000U;
constexpr std::uint32_t kWarmUpMs = 10U * 60U * 1000U;

Json CampScenario() {
    return Json::parse(R"({
        "instances": {
            "ITMI_GOLD": {"name": "Gold", "flags": "0x200000"},
            "ITFO_APPLE": {"name": "Apple", "flags": "0x200000"},
            "ITMW_1H_BAU_MACE": {"name": "Club", "category": "0x2"},
            "ITAR_BDT_M": {"name": "Bandit's Armour", "category": "0x10"}
        },
        "world": {"player": {"id": "hero", "instance": "PC_HERO", "name": "Hero",
                             "animations": ["S_RUN"]}}
    })");
}

class Camp {
public:
    explicit Camp(LootingGame& game) : game_(game) {}

    // Every two seconds something lies down near the hero; every half minute a bandit falls.
    void Populate(std::uint32_t now) {
        if (now >= nextItemAt_) {
            nextItemAt_ += 2000;
            const int n = ++items_;
            static const std::vector<std::string> kInstances{"ITMI_GOLD", "ITFO_APPLE",
                                                             "ITMW_1H_BAU_MACE"};
            Json item{{"id", "item-" + std::to_string(n)},
                      {"instance", kInstances.at(static_cast<std::size_t>(n) % 3)},
                      {"amount", 1 + n % 17},
                      {"position", {(n % 7) * 40 - 120, 0, 100 + (n % 5) * 40}}};
            game_.Step(Json{{"spawn", {{"items", {item}}}}}.dump());
        }
        if (now >= nextCorpseAt_) {
            nextCorpseAt_ += 30000;
            const int n = ++corpses_;
            Json npc{{"id", "bandit-" + std::to_string(n)},
                     {"instance", "BDT_" + std::to_string(1000 + n)},
                     {"name", "Bandit"},
                     {"position", {(n % 5) * 60 - 120, 0, 250}},
                     {"hitpoints", 0},
                     {"bodyState", 23},
                     {"dead", true},
                     {"animations", {"S_DEADB"}},
                     {"inventory",
                      {{{"id", "loot-" + std::to_string(n)},
                        {"instance", "ITMI_GOLD"},
                        {"amount", n % 50 + 1}},
                       {{"id", "armour-" + std::to_string(n)},
                        {"instance", "ITAR_BDT_M"},
                        {"worn", true}}}}};
            game_.Step(Json{{"spawn", {{"npcs", {npc}}}}}.dump());
        }
    }

    [[nodiscard]] int Items() const { return items_; }
    [[nodiscard]] int Corpses() const { return corpses_; }

private:
    LootingGame& game_;
    std::uint32_t nextItemAt_ = 0;
    std::uint32_t nextCorpseAt_ = 0;
    int items_ = 0;
    int corpses_ = 0;
};

bool SameRows(const std::vector<HistoryEntity>& a, const std::vector<HistoryEntity>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const HistoryEntity& x, const HistoryEntity& y) {
            return x.text == y.text && x.source == y.source && x.category == y.category;
        });
}

TEST(Soak, AnHourOfAutoLootKeepsThePluginsMemoryFlatAndEverySaveLoadsBack) {
    LootingGame game(CampScenario().dump());
    game.Frame({kKeyRShift, kKeyApostrophe});
    game.Frame();
    ASSERT_TRUE(game.Plugin().autoLootActive);
    Camp camp(game);

    const std::uint32_t start = game.Game().clock;
    std::int64_t warmUpPeak = 0;
    std::int64_t laterPeak = 0;
    int frames = 0;
    int roundTrips = 0;
    for (std::uint32_t played = 0; played < kHourMs; played += kFrameMs, ++frames) {
        camp.Populate(played);
        game.Frame({}, kFrameMs);
        const std::int64_t inUse = game.Game().LastStepHeap().bytesInUse;
        std::int64_t& peak = played < kWarmUpMs ? warmUpPeak : laterPeak;
        peak = std::max(peak, inUse);
        if (played % 300000 < kFrameMs && played > 0) {  // every five minutes
            const std::vector<HistoryEntity> before = game.Plugin().lootHistory;
            game.Game().Save(1);
            game.Game().Load(1);
            ASSERT_TRUE(SameRows(game.Plugin().lootHistory, before)) << "at " << played << " ms";
            ++roundTrips;
            if (!game.Plugin().autoLootActive) {
                game.Frame({kKeyRShift, kKeyApostrophe});
                game.Frame();
            }
        }
        ASSERT_TRUE(TakeCensus(game.Engine()).InSeveralPlaces().empty()) << played << " ms";
    }
    const std::size_t takes = game.Records().size() / 2;
    std::cout << "soak: " << frames << " frames, " << camp.Items() << " items and "
              << camp.Corpses() << " corpses placed, " << takes << " takes, " << roundTrips
              << " save and load round trips, plugin heap peak " << warmUpPeak
              << " bytes in the first ten minutes, " << laterPeak << " after\n";
    EXPECT_GE(game.Game().clock - start, kHourMs);
    EXPECT_GT(takes, static_cast<std::size_t>(camp.Items()) / 2) << "the camp is looted";
    EXPECT_LE(laterPeak, warmUpPeak) << "the plugin's memory grows after its lists are full";
    EXPECT_EQ(roundTrips, 11);
}

}  // namespace
}  // namespace pilfern::test
