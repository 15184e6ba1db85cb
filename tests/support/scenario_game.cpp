#include "support/scenario_game.h"

#include <nlohmann/json.hpp>

#include "sim/scenario/world_builder.h"

namespace pilfern::test {

ScenarioGame::ScenarioGame(const std::string& json, int engineVersion)
    : json_(json),
      scenario_(sim::ParseScenario(json, "answers.json")),
      game_(folder_.Path(), engineVersion) {
    sim::SetUpGame(game_, scenario_);
}

void ScenarioGame::Step(const std::string& worldStepJson) {
    nlohmann::json withStep = nlohmann::json::parse(json_);
    withStep["timeline"] = {{{"world", nlohmann::json::parse(worldStepJson)}}};
    const sim::Scenario steps = sim::ParseScenario(withStep.dump(), "answers.json");
    sim::ApplyWorldStep(game_, std::get<sim::WorldStep>(steps.timeline.front()));
}

}  // namespace pilfern::test
