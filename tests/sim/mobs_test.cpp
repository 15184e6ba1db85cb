#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/engine_cast.h"
#include "support/scenario_game.h"

// Chests as the game has them: world objects with an item list, lock flags, a key, a script
// condition and interaction states; the NPCs bound to them and the messages the engine's
// event managers receive.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

constexpr int kVobTypeMob = 128;
constexpr int kPicklockSuccess = 19;

const std::string kWorld = R"({"world": {
    "player": {"id": "hero", "instance": "PC_HERO"},
    "npcs": [{"id": "bandit", "instance": "BDT_1013_BANDIT_L", "position": [0, 0, 400]}],
    "containers": [
        {"id": "chest", "instance": "mob_chest", "name": "Chest", "position": [0, 0, 300],
         "locked": true, "key": "ItKe_Bandit_01", "condition": "Chest_Cond", "room": "cave",
         "items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25},
                   {"id": "ring", "instance": "ITRI_PROT_POINT_01", "inWorld": true},
                   {"id": "apple", "instance": "ITFO_APPLE"}]},
        {"id": "crate", "instance": "MOB_CRATE", "states": 2}],
    "scripts": {"functions": {"CHEST_COND": 1}}}})";

std::vector<std::string> Ids(const SimEngine& engine, const zCListSort<oCItem>* node) {
    std::vector<std::string> ids;
    for (; node != nullptr; node = node->next) {
        ids.push_back(engine.Describe(node->data));
    }
    return ids;
}

template <class Event>
std::vector<Event> TakeEvents(SimEngine& engine) {
    std::vector<Event> taken;
    for (const GameEvent& event : engine.TakeGameEvents()) {
        if (const auto* wanted = std::get_if<Event>(&event)) {
            taken.push_back(*wanted);
        }
    }
    return taken;
}

TEST(Chests, AreWorldObjectsOfTheirOwnClass) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    EXPECT_EQ(engine.eng_vob_type(&chest), kVobTypeMob);
    EXPECT_TRUE(engine.eng_object_class_is(&chest, EngineClass::oCMobContainer));
    EXPECT_FALSE(engine.eng_object_class_is(&chest, EngineClass::oCItem));
    EXPECT_EQ(EngineCast(engine, &chest, EngineClass::oCMobContainer), &chest);
    EXPECT_EQ(engine.eng_object_instance_name(&chest).Text(), "MOB_CHEST");
    EXPECT_EQ(engine.eng_vob_position(&chest).z, 300.0F);
    EXPECT_EQ(engine.eng_vob_distance(&world.Npc("hero"), &chest), 300.0F * 300.0F);  // squared
    EXPECT_EQ(engine.eng_vob_room_name(&chest).Text(), "cave");
    EXPECT_NE(engine.eng_vob_home_world(&chest), nullptr);

    world.Step(R"({"remove": ["chest"]})");
    EXPECT_EQ(engine.eng_vob_home_world(&chest), nullptr);
    world.Step(R"({"containers": [{"id": "chest", "inWorld": true}]})");
    EXPECT_NE(engine.eng_vob_home_world(&chest), nullptr);
}

TEST(Chests, TheItemListIsTheChestsOwnAndRemovingUnlinksOneNode) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    EXPECT_EQ(Ids(engine, engine.eng_container_item_list(&chest)),
              (std::vector<std::string>{"gold", "ring", "apple"}));
    EXPECT_EQ(engine.eng_container_item_list(&world.Container("crate")), nullptr);
    // Items in a chest may be placed in a world or not; neither lies on the ground.
    EXPECT_NE(engine.eng_vob_home_world(&world.Item("ring")), nullptr);
    EXPECT_EQ(engine.eng_vob_home_world(&world.Item("gold")), nullptr);
    EXPECT_TRUE(engine.WorldItems().Empty());

    engine.eng_container_remove_item(&chest, &world.Item("ring"));
    EXPECT_EQ(Ids(engine, engine.eng_container_item_list(&chest)),
              (std::vector<std::string>{"gold", "apple"}));
    // What a chest does not hold stays where it is.
    engine.eng_container_remove_item(&chest, &world.Item("ring"));
    engine.eng_container_remove_item(&world.Container("crate"), &world.Item("apple"));
    EXPECT_EQ(Ids(engine, engine.eng_container_item_list(&chest)),
              (std::vector<std::string>{"gold", "apple"}));

    engine.eng_container_remove_item(&chest, &world.Item("apple"));
    engine.eng_container_remove_item(&chest, &world.Item("gold"));
    EXPECT_EQ(engine.eng_container_item_list(&chest), nullptr);
    EXPECT_EQ(engine.eng_item_amount(&world.Item("gold")), 25) << "the item itself lives on";
}

TEST(Chests, NameKeyAndConditionAreTheLevelsTextsOrNone) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    SimContainer& crate = world.Container("crate");
    EXPECT_EQ(engine.eng_mob_name(&chest), zSTRING("Chest"));
    EXPECT_EQ(engine.eng_mob_key_instance(&chest), zSTRING("ItKe_Bandit_01")) << "as written";
    EXPECT_EQ(engine.eng_mob_condition_func(&chest), zSTRING("Chest_Cond"));
    EXPECT_EQ(engine.eng_mob_state_count(&chest), 1);
    EXPECT_EQ(engine.eng_mob_name(&crate), zSTRING()) << "without character buffer";
    EXPECT_EQ(engine.eng_mob_key_instance(&crate), zSTRING("")) << "empty, with a buffer";
    EXPECT_EQ(engine.eng_mob_condition_func(&crate), zSTRING()) << "without character buffer";
    EXPECT_EQ(engine.eng_mob_state_count(&crate), 2);

    world.Step(R"({"containers": [{"id": "chest", "name": null, "key": null, "condition": null,
                                    "states": 3, "state": 2}]})");
    EXPECT_EQ(engine.eng_mob_name(&chest), zSTRING());
    EXPECT_EQ(engine.eng_mob_key_instance(&chest), zSTRING(""));
    EXPECT_EQ(engine.eng_mob_condition_func(&chest), zSTRING());
    EXPECT_EQ(engine.eng_mob_state_count(&chest), 3);
    EXPECT_EQ(chest.state, 2);
}

TEST(Chests, SettingTheLockKeepsTheOtherFlagsAndEverySetIsAGameEvent) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    EXPECT_EQ(engine.eng_mob_lock_flags(&chest), 1U);
    engine.eng_mob_set_locked(&chest, 0);
    EXPECT_EQ(engine.eng_mob_lock_flags(&chest), 0U);
    engine.eng_mob_set_lock_flags(&chest, 6);
    engine.eng_mob_set_locked(&chest, 1);
    EXPECT_EQ(engine.eng_mob_lock_flags(&chest), 7U);
    engine.eng_mob_set_locked(&chest, 0);
    engine.eng_mob_set_locked(&chest, 0);
    EXPECT_EQ(engine.eng_mob_lock_flags(&chest), 6U);

    std::vector<std::pair<std::uint32_t, std::uint32_t>> sets;
    for (const MobLockSet& set : TakeEvents<MobLockSet>(engine)) {
        EXPECT_EQ(set.mob, "chest");
        sets.emplace_back(set.before, set.after);
    }
    EXPECT_EQ(sets, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                        {1, 0}, {0, 6}, {6, 7}, {7, 6}, {6, 6}}));
}

std::string Described(const GameEvent& event) {
    if (const auto* bound = std::get_if<MobBound>(&event)) {
        return bound->npc + " bound to " + bound->mob.value_or("nothing") + " after " +
               bound->previous.value_or("nothing");
    }
    const auto& change = std::get<MobStateChanged>(event);
    return change.mob + " " + std::to_string(change.from) + ">" + std::to_string(change.to) +
           (change.phase == StatePhase::Begin ? " begins by " : " ends by ") + change.user +
           (change.fault.empty() ? "" : ": " + change.fault);
}

TEST(Chests, StateChangesGoUpAndDownWithTheBoundNpcInCallOrder) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    SimNpc& hero = world.Npc("hero");
    engine.eng_npc_bind_mob(&hero, &chest);
    EXPECT_EQ(engine.UserOf(chest), &hero);
    EXPECT_EQ(engine.eng_npc_interaction_a(&hero), &chest) << "one record of the binding";
    engine.eng_mob_begin_state_change(&chest, &hero, 0, 1);
    EXPECT_EQ(chest.state, 0) << "a change takes effect when it ends";
    engine.eng_mob_end_state_change(&chest, &hero, 0, 1);
    EXPECT_EQ(chest.state, 1);
    engine.eng_mob_begin_state_change(&chest, &hero, 1, 0);
    engine.eng_mob_end_state_change(&chest, &hero, 1, 0);
    EXPECT_EQ(chest.state, 0);
    engine.eng_npc_bind_mob(&hero, &world.Container("crate"));
    engine.eng_npc_bind_mob(&hero, nullptr);
    EXPECT_EQ(engine.UserOf(chest), nullptr);
    EXPECT_EQ(engine.UserOf(world.Container("crate")), nullptr);
    EXPECT_EQ(engine.eng_npc_interaction_a(&hero), nullptr);
    EXPECT_FALSE(chest.changing.has_value());

    std::vector<std::string> events;
    for (const GameEvent& event : engine.TakeGameEvents()) {
        events.push_back(Described(event));
    }
    EXPECT_EQ(events,
              (std::vector<std::string>{
                  "hero bound to chest after nothing", "chest 0>1 begins by hero",
                  "chest 0>1 ends by hero", "chest 1>0 begins by hero", "chest 1>0 ends by hero",
                  "hero bound to crate after chest", "hero bound to nothing after crate"}));
}

// Begins and ends that do not pair up, or changes the chest cannot make: the game plays them
// all the same (a change ends in the state it goes to), and the events say what is wrong.
struct UnpairedChange {
    std::string name;
    std::vector<std::tuple<StatePhase, std::string, int, int>> calls;  // phase, user, from, to
    std::string fault;                                                 // of the last call
    int state = 0;
    bool stillChanging = false;
};

void PrintTo(const UnpairedChange& change, std::ostream* out) {
    *out << change.name;
}

class UnpairedStateChange : public ::testing::TestWithParam<UnpairedChange> {};

TEST_P(UnpairedStateChange, IsPlayedAndShownAsAFault) {
    const UnpairedChange& change = GetParam();
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    for (const auto& [phase, user, from, to] : change.calls) {
        if (phase == StatePhase::Begin) {
            engine.eng_mob_begin_state_change(&chest, &world.Npc(user), from, to);
        } else {
            engine.eng_mob_end_state_change(&chest, &world.Npc(user), from, to);
        }
    }
    const auto events = TakeEvents<MobStateChanged>(engine);
    ASSERT_EQ(events.size(), change.calls.size());
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i].fault, "") << "call " << i;
    }
    EXPECT_EQ(events.back().fault, change.fault);
    EXPECT_EQ(chest.state, change.state);
    EXPECT_EQ(chest.changing.has_value(), change.stillChanging);
}

constexpr auto kBegin = StatePhase::Begin;
constexpr auto kEnd = StatePhase::End;

INSTANTIATE_TEST_SUITE_P(
    Chests, UnpairedStateChange,
    ::testing::Values(
        UnpairedChange{"end_without_begin", {{kEnd, "hero", 0, 1}}, "it ends without its begin", 1},
        UnpairedChange{"begin_twice",
                       {{kBegin, "hero", 0, 1}, {kBegin, "hero", 0, 1}},
                       "it begins while 0 \u2192 1 has not ended",
                       0,
                       true},
        UnpairedChange{"end_of_another_change",
                       {{kBegin, "hero", 0, 1}, {kEnd, "hero", 1, 0}},
                       "it ends without its begin (the change begun is 0 \u2192 1)",
                       0,
                       true},
        UnpairedChange{"end_by_another_npc",
                       {{kBegin, "hero", 0, 1}, {kEnd, "bandit", 0, 1}},
                       "it ends without its begin (the change begun is 0 \u2192 1)",
                       1,
                       true},
        UnpairedChange{"begin_left_open", {{kBegin, "hero", 0, 1}}, "", 0, true},
        UnpairedChange{"begin_from_another_state",
                       {{kBegin, "hero", 1, 0}},
                       "the chest is in state 0, not 1",
                       0,
                       true},
        UnpairedChange{"begin_beyond_the_last_state",
                       {{kBegin, "hero", 0, 2}},
                       "the chest has no state 2 (its states are 0 to 1)",
                       0,
                       true}),
    [](const ::testing::TestParamInfo<UnpairedChange>& change) { return change.param.name; });

TEST(EngineMessages, ReachTheEventManagerOfTheirOwnNpc) {
    ScenarioGame world(kWorld);
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    SimNpc& bandit = world.Npc("bandit");
    zCEventManager* heroEvents = engine.eng_npc_event_manager(&hero);
    ASSERT_NE(heroEvents, nullptr);
    EXPECT_NE(heroEvents, engine.eng_npc_event_manager(&bandit));

    engine.LogCalls(true);
    oCMsgConversation* message =
        engine.eng_msg_conversation_create(kPicklockSuccess, zSTRING("PICKLOCK_SUCCESS"));
    engine.eng_msg_target(message, &world.Container("chest"));
    engine.eng_msg_flag(message, 1);
    engine.eng_event_manager_on_message(heroEvents, message, &hero);

    ASSERT_EQ(hero.events.received.size(), 1U);
    EXPECT_EQ(hero.events.received.front().message, message);
    EXPECT_EQ(hero.events.received.front().source, &hero);
    EXPECT_TRUE(bandit.events.received.empty());
    const auto received = TakeEvents<MessageReceived>(engine);
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received.front().npc, "hero");
    EXPECT_EQ(received.front().subtype, kPicklockSuccess);
    EXPECT_EQ(received.front().name, "PICKLOCK_SUCCESS");
    EXPECT_EQ(received.front().target, "chest");
    EXPECT_EQ(received.front().flag, 1);
    EXPECT_EQ(CallText(engine.CallLog().back()),
              "eng_event_manager_on_message(event manager of hero, message 1, hero)");
}

}  // namespace
}  // namespace pilfern::sim
