#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"

namespace pilfern::sim {
namespace {

std::vector<nlohmann::json> PlayExample(const std::string& name) {
    const Scenario scenario = LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / name);
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

TEST(Examples, TheDemoScenarioPlaysToTheEnd) {
    const auto events = PlayExample("bandit-camp.json");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().at("registered"), true);
    EXPECT_TRUE(events.back().contains("state"));
}

}  // namespace
}  // namespace pilfern::sim
