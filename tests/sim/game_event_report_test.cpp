#include "sim/scenario/game_event_report.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/scenario_game.h"

// The game events a scenario's output shows, in the order the plugin's calls made them, in
// plain words and as JSON fields, with the game's texts in UTF-8.
namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

TEST(GameEventReport, ShowsWhatTheCallsDidInTheirOrder) {
    test::ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "containers": [{"id": "chest", "instance": "MOB_CHEST", "locked": true,
                        "condition": "Chest_Cond"}],
        "scripts": {"functions": {"CHEST_COND": 1}}}})");
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    SimContainer& chest = world.Container("chest");
    zCParser* parser = engine.eng_script_parser();

    engine.eng_script_set_instance(parser, zSTRING("SELF"), &hero);
    static_cast<void>(
        engine.eng_script_call_by_name(parser, engine.eng_mob_condition_func(&chest)));
    engine.eng_mob_set_locked(&chest, 0);
    oCMsgConversation* unlock = engine.eng_msg_conversation_create(19, zSTRING("PICKLOCK_SUCCESS"));
    engine.eng_msg_target(unlock, &chest);
    engine.eng_event_manager_on_message(engine.eng_npc_event_manager(&hero), unlock, &hero);
    engine.eng_npc_bind_mob(&hero, &chest);
    engine.eng_mob_begin_state_change(&chest, &hero, 0, 1);
    engine.eng_mob_end_state_change(&chest, &hero, 0, 1);
    engine.eng_mob_end_state_change(&chest, &hero, 0, 1);
    engine.eng_npc_bind_mob(&hero, nullptr);
    engine.eng_input_clear_key_buffer(engine.eng_input());
    // A name in the game's code page (Windows-1252 here), without a target.
    oCMsgConversation* sound = engine.eng_msg_conversation_create(2, zSTRING("SCHL\xD6SSER"));
    engine.eng_msg_flag(sound, 2);
    engine.eng_event_manager_on_message(engine.eng_npc_event_manager(&hero), sound, nullptr);

    std::vector<std::string> words;
    std::vector<ReportedEvent> reported;
    for (const GameEvent& event : engine.TakeGameEvents()) {
        reported.push_back(ReportGameEvent(world.Game(), event));
        words.push_back(reported.back().words);
    }
    EXPECT_EQ(words,
              (std::vector<std::string>{
                  "script CHEST_COND (SELF hero) answered 1",
                  "chest is unlocked (lock flags 1 \u2192 0)",
                  "hero's event manager gets PICKLOCK_SUCCESS (subtype 19, flag 0) for chest",
                  "hero is bound to chest",
                  "chest: state 0 \u2192 1 begins (hero)",
                  "chest: state 0 \u2192 1 ends (hero)",
                  "chest: state 0 \u2192 1 ends (hero); fault: it ends without its begin",
                  "hero is no longer bound to chest",
                  "the key buffer is cleared",
                  "hero's event manager gets SCHL\u00d6SSER (subtype 2, flag 2)",
              }));
    ASSERT_EQ(reported.size(), 10U);
    EXPECT_EQ(reported[0].kind, "scriptCall");
    EXPECT_EQ(reported[0].fields,
              Json::parse(R"({"function": "CHEST_COND", "result": 1, "self": "hero"})"));
    EXPECT_EQ(reported[1].kind, "mobLock");
    EXPECT_EQ(reported[1].fields,
              Json::parse(R"({"mob": "chest", "before": 1, "after": 0, "locked": false})"));
    EXPECT_EQ(reported[6].kind, "mobState");
    EXPECT_EQ(reported[6].fields, Json::parse(R"({"mob": "chest", "user": "hero", "from": 0,
        "to": 1, "phase": "end", "fault": "it ends without its begin"})"));
    EXPECT_EQ(reported[7].kind, "mobBinding");
    EXPECT_EQ(reported[7].fields,
              Json::parse(R"({"npc": "hero", "mob": null, "previous": "chest"})"));
    EXPECT_EQ(reported[9].kind, "eventMessage");
    EXPECT_EQ(reported[9].fields, Json::parse(R"({"npc": "hero", "subtype": 2,
        "name": "SCHL\u00d6SSER", "target": null, "flag": 2})"));
    EXPECT_TRUE(engine.GameEvents().empty()) << "taken";
}

}  // namespace
}  // namespace pilfern::sim
