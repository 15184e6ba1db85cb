#pragma once

#include <string>
#include <string_view>

#include "sim/scenario/scenario.h"
#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern::test {

// A game built from a scenario's world and game data, written as JSON.
class ScenarioGame {
public:
    explicit ScenarioGame(const std::string& json, int engineVersion = 4);

    [[nodiscard]] sim::SimGame& Game() { return game_; }
    [[nodiscard]] const sim::SimGame& Game() const { return game_; }
    [[nodiscard]] sim::SimEngine& Engine() { return game_.engine; }
    [[nodiscard]] sim::SimNpc& Npc(std::string_view id) const { return *game_.engine.FindNpc(id); }
    [[nodiscard]] sim::SimItem& Item(std::string_view id) const {
        return *game_.engine.FindItem(id);
    }
    [[nodiscard]] sim::SimContainer& Container(std::string_view id) const {
        return *game_.engine.FindContainer(id);
    }
    // Plays one world step, written as the scenario's timeline would have it.
    void Step(const std::string& worldStepJson);

private:
    std::string json_;
    TempFolder folder_;
    sim::Scenario scenario_;
    sim::SimGame game_;
};

}  // namespace pilfern::test
