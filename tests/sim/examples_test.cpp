#include <map>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"

namespace pilfern::sim {
namespace {

// The events of a bundled scenario played to its end, or, without its timeline, only its
// start.
std::vector<nlohmann::json> PlayExample(const std::string& name, bool withTimeline = true) {
    Scenario scenario = LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / name);
    if (!withTimeline) {
        scenario.timeline.clear();
    }
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, std::nullopt}, out);
    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        events.push_back(nlohmann::json::parse(line));
    }
    return events;
}

// What the player sees change in the run: the two switches, ESC reaching the game, loot.
std::vector<std::string> Changes(const std::vector<nlohmann::json>& events) {
    std::vector<std::string> changes;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        if (kind == "historyOverlay") {
            changes.push_back(event.at("visible").get<bool>() ? "overlay shown" : "overlay hidden");
        } else if (kind == "autoLoot") {
            changes.push_back(event.at("active").get<bool>() ? "auto-loot on" : "auto-loot off");
        } else if (kind == "gameKey" || kind == "loot") {
            changes.push_back(kind);
        }
    }
    return changes;
}

TEST(Examples, HotKeysToggleTheOverlayAndAutoLootWithoutLootingAnything) {
    const auto events = PlayExample("hot-keys.json");
    EXPECT_EQ(Changes(events), (std::vector<std::string>{"overlay shown", "overlay hidden",
                                                         "gameKey", "auto-loot on", "auto-loot off",
                                                         "overlay shown", "overlay hidden"}));
    EXPECT_TRUE(events.back().at("state").at("lootHistory").empty());
}

// The amount of each instance over every place an item can be, from a state dump.
std::map<std::string, int> Amounts(const nlohmann::json& state) {
    std::map<std::string, int> amounts;
    const auto add = [&amounts](const nlohmann::json& items) {
        for (const nlohmann::json& item : items) {
            amounts[item.at("instance").get<std::string>()] += item.at("amount").get<int>();
        }
    };
    add(state.at("worldItems"));
    for (const auto& [npc, items] : state.at("inventories").items()) {
        add(items);
    }
    for (const auto& [chest, content] : state.at("containers").items()) {
        add(content.at("items"));
    }
    return amounts;
}

// Looting moves items and makes none: every item that left the ground, a corpse or a chest
// arrived in the hero's inventory, and each stack taken has one message and one history row.
void ExpectLootingConserved(const std::string& example) {
    SCOPED_TRACE(example);
    const auto start = PlayExample(example, false);
    const auto events = PlayExample(example);
    EXPECT_EQ(Amounts(events.back().at("state")), Amounts(start.back().at("state")));
    int rows = 0;
    int messages = 0;
    int stacksLeft = 0;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        rows += kind == "loot" ? 1 : 0;
        messages += kind == "message" ? 1 : 0;
        const bool lost =
            (kind == "inventory" || kind == "container") && event.at("change").get<int>() < 0;
        stacksLeft += (lost || kind == "itemGone") ? 1 : 0;
    }
    EXPECT_GT(rows, 0);
    EXPECT_EQ(rows, stacksLeft);
    EXPECT_EQ(messages, stacksLeft);
}

TEST(Examples, LootingByKeyMovesEveryItemOnceWithOneMessageAndOneRow) {
    ExpectLootingConserved("khorinis-looting.json");
    ExpectLootingConserved("colony-looting.json");
}

TEST(Examples, TheGothicOneCorpseKeepsItsArmourAndGivesUpItsWornSword) {
    const auto state = PlayExample("colony-looting.json").back().at("state");
    EXPECT_EQ(state.at("inventories").at("guard"),
              nlohmann::json::parse(R"([{"instance": "ITAR_GRD_L", "amount": 1}])"));
    EXPECT_TRUE(state.at("containers").at("ore-chest").at("items").empty());
}

TEST(Examples, TheDemoScenarioPlaysToTheEnd) {
    const auto events = PlayExample("bandit-camp.json");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().at("registered"), true);
    EXPECT_TRUE(events.back().contains("state"));
}

}  // namespace
}  // namespace pilfern::sim
