#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/death_tests.h"
#include "support/scenario_game.h"

// The game's scripts: functions by name (compared ignoring case) and by symbol index, in one
// symbol table with the scripts' variables; what a function sees as SELF; and a call the
// scripts cannot answer stopping the game.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

const std::string kWorld = R"({"world": {
    "player": {"id": "hero", "instance": "PC_HERO"},
    "npcs": [{"id": "bandit", "instance": "BDT_1013_BANDIT_L"}],
    "symbols": {"RX_UpdateVersionValue": 7},
    "scripts": {"functions": {"Chest_Cond": 1, "CHEST_COND_S1": 0}}}})";

std::vector<ScriptCalled> Calls(SimEngine& engine) {
    std::vector<ScriptCalled> calls;
    for (const GameEvent& event : engine.TakeGameEvents()) {
        if (const auto* call = std::get_if<ScriptCalled>(&event)) {
            calls.push_back(*call);
        }
    }
    return calls;
}

TEST(Scripts, FunctionsAnswerByNameIgnoringCaseAndByTheirSymbolIndex) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    zCParser* parser = engine.eng_script_parser();
    EXPECT_EQ(engine.eng_script_call_by_name(parser, zSTRING("chest_cond")), 1);
    EXPECT_EQ(engine.eng_script_call_by_name(parser, zSTRING("CHEST_COND_S1")), 0);

    const int condition = engine.eng_script_symbol_index(parser, zSTRING("Chest_Cond"));
    const int variable = engine.eng_script_symbol_index(parser, zSTRING("rx_updateversionvalue"));
    EXPECT_GT(condition, 0) << "the scripts' own symbols come first";
    EXPECT_GT(variable, 0);
    EXPECT_NE(condition, variable);
    EXPECT_EQ(engine.eng_script_symbol_index(parser, zSTRING("CHEST_COND_S2")), -1);
    EXPECT_EQ(engine.eng_script_call_by_index(parser, condition), 1);
    // Functions and variables share the table: the variable still reads as before.
    EXPECT_EQ(engine.eng_script_symbol_int(
                  engine.eng_script_find_symbol(parser, zSTRING("RX_UPDATEVERSIONVALUE"))),
              7);

    world.Step(R"({"scripts": {"functions": {"CHEST_COND": 0}}})");
    EXPECT_EQ(engine.eng_script_call_by_index(parser, condition), 0);
    EXPECT_EQ(engine.eng_script_symbol_index(parser, zSTRING("CHEST_COND")), condition);

    std::vector<std::pair<std::string, int>> calls;
    for (const ScriptCalled& call : Calls(engine)) {
        calls.emplace_back(call.function, call.result);
    }
    EXPECT_EQ(calls,
              (std::vector<std::pair<std::string, int>>{
                  {"CHEST_COND", 1}, {"CHEST_COND_S1", 0}, {"CHEST_COND", 1}, {"CHEST_COND", 0}}));
}

TEST(Scripts, ACalledFunctionSeesTheInstanceSetAsSelf) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    zCParser* parser = engine.eng_script_parser();
    const auto selfOfCall = [&] {
        static_cast<void>(engine.eng_script_call_by_name(parser, zSTRING("CHEST_COND")));
        return Calls(engine).at(0).self;
    };
    EXPECT_EQ(selfOfCall(), "none");
    engine.eng_script_set_instance(parser, zSTRING("SELF"), &world.Npc("hero"));
    EXPECT_EQ(selfOfCall(), "hero");
    engine.eng_script_set_instance(parser, zSTRING("other"), &world.Npc("bandit"));
    EXPECT_EQ(selfOfCall(), "hero") << "another instance variable";
    engine.eng_script_set_instance(parser, zSTRING("self"), &world.Npc("bandit"));
    EXPECT_EQ(selfOfCall(), "bandit");
    engine.eng_script_set_instance(parser, zSTRING("SELF"), nullptr);
    EXPECT_EQ(selfOfCall(), "none");
}

// A call of a function the scripts do not have is a fault of the game's data: the game stops,
// naming what was asked for.
TEST(ScriptsDeathTest, ACallTheScriptsCannotAnswerStopsTheGame) {
    test::UseTheSafestDeathTestStyle();
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    zCParser* parser = engine.eng_script_parser();
    const int self = engine.eng_script_symbol_index(parser, zSTRING("SELF"));
    const std::vector<std::pair<std::function<int()>, std::string>> cases{
        {[&] { return engine.eng_script_call_by_name(parser, zSTRING("CHEST_COND_S2")); },
         "no function \"CHEST_COND_S2\""},
        {[&] { return engine.eng_script_call_by_name(parser, zSTRING()); },
         "no function \\(a name without character buffer\\)"},
        {[&] { return engine.eng_script_call_by_name(parser, zSTRING("RX_UpdateVersionValue")); },
         "RX_UpdateVersionValue is no function"},
        {[&] { return engine.eng_script_call_by_index(parser, -1); },
         "no symbol with the index -1"},
        {[&] { return engine.eng_script_call_by_index(parser, self); },
         "symbol " + std::to_string(self) + " \\(SELF\\) is no function"},
    };
    for (const auto& [call, message] : cases) {
        EXPECT_DEATH(static_cast<void>(call()), "the game's scripts cannot answer: .*" + message);
    }
}

}  // namespace
}  // namespace pilfern::sim
