#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/engine_versions.h"
#include "support/scenario_game.h"

// The engine's focus: its settings in each focus mode, the object it chooses, its choice every
// frame, and objects that leave the world.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

constexpr int kVobTypeMob = 128;
constexpr int kVobTypeItem = 129;
constexpr int kVobTypeNpc = 130;

// A distance in world units; the engine is asked with it squared, as eng_vob_distance
// answers it.
struct RangeCase {
    int vobType;
    float distance;
    int inRange;
};

void ExpectInRange(SimEngine& engine, const std::vector<RangeCase>& cases,
                   const std::string& mode) {
    const oCNpcFocus* settings = engine.eng_focus_settings();
    for (const RangeCase& c : cases) {
        EXPECT_EQ(engine.eng_focus_in_range(settings, c.vobType, c.distance * c.distance),
                  c.inRange)
            << mode << ": vob type " << c.vobType << " at " << c.distance;
    }
}

TEST(Focus, TheSettingsAreThoseOfThePlayersFightMode) {
    ScenarioGame world(R"({"world": {"player": {"id": "hero", "instance": "PC_HERO"}}})");
    SimEngine& engine = world.Engine();
    // Focus_Normal: items 400, NPCs 300, chests 350.
    ExpectInRange(engine,
                  {{kVobTypeItem, 400.0F, 1},
                   {kVobTypeItem, 400.5F, 0},
                   {kVobTypeNpc, 300.0F, 1},
                   {kVobTypeNpc, 300.5F, 0},
                   {kVobTypeMob, 350.0F, 1},
                   {kVobTypeMob, 350.5F, 0},
                   {0, 1.0F, 0}},
                  "normal");
    // A weapon drawn: only NPCs are focused.
    for (const char* fightMode : {"1", "3", "5", "6", "7"}) {
        world.Step(std::string(R"({"npcs": [{"id": "hero", "lootBlock": )") + fightMode + "}]}");
        EXPECT_EQ(engine.eng_focus_settings(),
                  &engine.Focus(SimEngine::FocusModeOf(world.Npc("hero"))));
        ExpectInRange(engine,
                      {{kVobTypeItem, 10.0F, 0}, {kVobTypeMob, 10.0F, 0}, {kVobTypeNpc, 400.0F, 1}},
                      std::string("fight mode ") + fightMode);
    }
    // A scenario's ranges are those of the normal mode; the kinds not named keep theirs.
    world.Step(R"({"npcs": [{"id": "hero", "lootBlock": 0}], "focusRanges": {"mobs": 250}})");
    ExpectInRange(engine,
                  {{kVobTypeMob, 250.0F, 1}, {kVobTypeMob, 251.0F, 0}, {kVobTypeItem, 400.0F, 1}},
                  "normal, chests at 250");
}

// The hero stands at the origin and looks along +z; `objects` lie around him. What does the
// engine focus?
struct ChoiceCase {
    std::string what;
    std::string objects;  // the world's "items", "npcs" and "containers" fields
    std::optional<std::string> focus;
    std::string hero = R"("id": "hero", "instance": "PC_HERO")";
    int engineVersion = 4;
};

// A point `distance` units from the origin, `degrees` to the side of +z.
std::string At(double distance, double degrees) {
    constexpr double kPi = 3.14159265358979323846;
    const double radians = degrees * kPi / 180.0;
    return "[" + std::to_string(distance * std::sin(radians)) + ", 0, " +
           std::to_string(distance * std::cos(radians)) + "]";
}

std::string Item(const std::string& id, const std::string& at, const std::string& more = "") {
    return R"({"id": ")" + id + R"(", "instance": "ITMI_)" + id + R"(", "position": )" + at + more +
           "}";
}
std::string Npc(const std::string& id, const std::string& at) {
    return R"({"id": ")" + id + R"(", "instance": "BDT_)" + id + R"(", "position": )" + at + "}";
}
std::string Chest(const std::string& id, const std::string& at) {
    return R"({"id": ")" + id + R"(", "instance": "MOB_CHEST", "position": )" + at + "}";
}

TEST(Focus, TheEngineChoosesByKindDistanceAngleFlagsAndPriority) {
    const std::vector<ChoiceCase> cases{
        {"an item at its range", R"("items": [)" + Item("gold", At(400, 0)) + "]", "gold"},
        {"an item past its range", R"("items": [)" + Item("gold", At(401, 0)) + "]", std::nullopt},
        {"an item within its angle", R"("items": [)" + Item("gold", At(300, 39)) + "]", "gold"},
        {"an item past its angle", R"("items": [)" + Item("gold", At(300, 41)) + "]", std::nullopt},
        {"an item behind", R"("items": [)" + Item("gold", At(100, 180)) + "]", std::nullopt},
        {"an item in no world",
         R"("items": [)" + Item("gold", At(100, 0), R"(, "inWorld": false)") + "]", std::nullopt},
        {"an item not focusable",
         R"("items": [)" + Item("gold", At(100, 0), R"(, "flags": "0x800000")") + "]",
         std::nullopt},
        {"Gothic Sequel's staff flag",
         R"("items": [)" + Item("staff", At(100, 0), R"(, "flags": "0x800000")") + "]", "staff",
         R"("id": "hero", "instance": "PC_HERO")", test::kGothicOneAddon},
        {"Gothic Sequel's not-focusable flag",
         R"("items": [)" + Item("gold", At(100, 0), R"(, "flags": "0x1000000")") + "]",
         std::nullopt, R"("id": "hero", "instance": "PC_HERO")", test::kGothicOneAddon},
        {"an NPC at its range", R"("npcs": [)" + Npc("bandit", At(300, 0)) + "]", "bandit"},
        {"an NPC past its range", R"("npcs": [)" + Npc("bandit", At(301, 0)) + "]", std::nullopt},
        {"an NPC within its angle", R"("npcs": [)" + Npc("bandit", At(200, 44)) + "]", "bandit"},
        {"an NPC past its angle", R"("npcs": [)" + Npc("bandit", At(200, 46)) + "]", std::nullopt},
        {"an NPC in focus, within the long range", R"("npcs": [)" + Npc("bandit", At(500, 0)) + "]",
         "bandit", R"("id": "hero", "instance": "PC_HERO", "focus": "bandit")"},
        {"an NPC in focus, past the long range", R"("npcs": [)" + Npc("bandit", At(501, 0)) + "]",
         std::nullopt, R"("id": "hero", "instance": "PC_HERO", "focus": "bandit")"},
        {"a chest at its range", R"("containers": [)" + Chest("chest", At(350, 0)) + "]", "chest"},
        {"a chest past its range", R"("containers": [)" + Chest("chest", At(351, 0)) + "]",
         std::nullopt},
        {"an item before a nearer NPC",
         R"("items": [)" + Item("gold", At(390, 0)) + R"(], "npcs": [)" +
             Npc("bandit", At(100, 0)) + "]",
         "gold"},
        {"an item before a nearer chest",
         R"("items": [)" + Item("gold", At(399, 10)) + R"(], "containers": [)" +
             Chest("chest", At(50, 0)) + "]",
         "gold"},
        {"the nearer of an NPC and a chest",
         R"("npcs": [)" + Npc("bandit", At(200, 0)) + R"(], "containers": [)" +
             Chest("chest", At(150, 5)) + "]",
         "chest"},
        {"the nearer of two items",
         R"("items": [)" + Item("gold", At(300, 0)) + ", " + Item("apple", At(200, -20)) + "]",
         "apple"},
        {"a melee weapon drawn: no item",
         R"("items": [)" + Item("gold", At(100, 0)) + R"(], "npcs": [)" +
             Npc("bandit", At(390, 0)) + "]",
         "bandit", R"("id": "hero", "instance": "PC_HERO", "lootBlock": 3)"},
        {"a bow ready: no chest", R"("containers": [)" + Chest("chest", At(100, 0)) + "]",
         std::nullopt, R"("id": "hero", "instance": "PC_HERO", "lootBlock": 5)"},
    };
    for (const ChoiceCase& c : cases) {
        ScenarioGame world(R"({"world": {"player": {)" + c.hero + "}, " + c.objects + "}}",
                           c.engineVersion);
        SimEngine& engine = world.Engine();
        SimNpc& hero = world.Npc("hero");
        engine.CollectPlayerFocus();
        const zCVob* focus = engine.eng_npc_focus_vob(&hero);
        EXPECT_EQ(focus == nullptr ? std::nullopt : std::optional(engine.Describe(focus)), c.focus)
            << c.what;
        EXPECT_EQ(hero.focusField, hero.focusVob) << c.what << ": the choice sets both";
    }
}

// What the hero focuses after the engine's refresh, after each world step.
std::optional<std::string> Refreshed(ScenarioGame& world, SimNpc& npc) {
    SimEngine& engine = world.Engine();
    engine.eng_npc_refresh_focus(&npc, 1);
    const zCVob* focus = engine.eng_npc_focus_vob(&npc);
    return focus == nullptr ? std::nullopt : std::optional(engine.Describe(focus));
}

const std::string kWorld = R"({"world": {
    "player": {"id": "hero", "instance": "PC_HERO"},
    "npcs": [{"id": "bandit", "instance": "BDT_1", "position": [200, 0, 180]}],
    "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, -100]},
              {"id": "ring", "instance": "ITRI_PROT_POINT_01", "position": [0, 0, 50],
               "inWorld": false},
              {"id": "gold", "instance": "ITMI_GOLD", "position": [100, 0, 300]}],
    "containers": [{"id": "chest", "instance": "MOB_CHEST", "position": [-100, 0, 200]}]}})";

TEST(Focus, AFocusListIsTakenInTurnByEachRefreshAndKeptByTheFrames) {
    ScenarioGame world(kWorld);
    world.Step(R"({"npcs": [{"id": "hero", "focusList": ["apple", "chest", "ring", "bandit"]}]})");
    SimNpc& hero = world.Npc("hero");
    world.Game().Frame(16);
    EXPECT_EQ(hero.focusVob, nullptr) << "the frames do not take from the list";
    EXPECT_EQ(Refreshed(world, hero), "apple") << "behind him, but listed";
    world.Game().Frame(16);
    EXPECT_EQ(hero.focusVob, &world.Item("apple")) << "kept while it is in the world";
    world.Step(R"({"remove": ["apple", "chest"]})");
    EXPECT_EQ(hero.focusVob, nullptr) << "the apple left the world";
    EXPECT_EQ(Refreshed(world, hero), "bandit") << "the chest and the ring are in no world";
    EXPECT_EQ(Refreshed(world, hero), std::nullopt) << "the list is used up";
}

TEST(Focus, TheEngineCollectsThePlayersFocusEveryFrame) {
    ScenarioGame world(kWorld);
    SimGame& game = world.Game();
    SimNpc& hero = world.Npc("hero");
    game.Frame(16);
    EXPECT_EQ(hero.focusVob, &world.Item("gold")) << "no one asked for a refresh";
    world.Step(R"({"remove": ["gold"]})");
    game.Frame(16);
    EXPECT_EQ(hero.focusVob, &world.Container("chest"));
    world.Step(R"({"npcs": [{"id": "hero", "facing": [1, 0, 1]}]})");
    game.Frame(16);
    EXPECT_EQ(hero.focusVob, &world.Npc("bandit"));
    EXPECT_EQ(game.engine.Calls("eng_npc_refresh_focus"), 0U)
        << "the engine's own choice is no call of the plugin";
}

// Ways an object leaves the world; none of them leaves it anyone's focus.
struct LeavingCase {
    std::string what;
    std::string focused;
    std::string step;
};

TEST(Focus, AnObjectThatLeavesTheWorldIsNoOnesFocus) {
    const std::string kStackWorld = R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "npcs": [{"id": "bandit", "instance": "BDT_1", "position": [0, 0, 300],
                  "focus": "gold",
                  "inventory": [{"id": "purse", "instance": "ITMI_GOLD", "flags": "0x200000"},
                                {"id": "torch", "instance": "ITLSTORCHBURNING", "worn": true}],
                  "leftHand": "torch"}],
        "items": [{"id": "gold", "instance": "ITMI_GOLD", "position": [0, 0, 100]}],
        "containers": [{"id": "chest", "instance": "MOB_CHEST", "position": [0, 0, 200]}]}})";
    const std::vector<LeavingCase> cases{
        {"an item removed", "gold", R"({"remove": ["gold"]})"},
        {"a chest removed", "chest", R"({"remove": ["chest"]})"},
        {"an NPC removed", "bandit", R"({"remove": ["bandit"]})"},
        {"an NPC out of the world", "bandit", R"({"npcs": [{"id": "bandit", "inWorld": false}]})"},
        {"an item in no world", "gold", R"({"items": [{"id": "gold", "inWorld": false}]})"},
    };
    for (const LeavingCase& c : cases) {
        ScenarioGame world(kStackWorld);
        SimEngine& engine = world.Engine();
        SimNpc& hero = world.Npc("hero");
        world.Step(R"({"npcs": [{"id": "hero", "focus": ")" + c.focused + R"("}]})");
        ASSERT_NE(hero.focusVob, nullptr) << c.what;
        world.Step(c.step);
        EXPECT_EQ(engine.eng_npc_focus_vob(&hero), nullptr) << c.what;
        EXPECT_EQ(engine.eng_npc_focus_object_field(&hero), nullptr) << c.what;
    }
    // Taken into an inventory, the gold joins the bandit's purse and is freed: neither the
    // hero's focus nor the bandit's own may still hand it out.
    ScenarioGame world(kStackWorld);
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    SimNpc& bandit = world.Npc("bandit");
    world.Step(R"({"npcs": [{"id": "hero", "focus": "gold"}]})");
    engine.eng_npc_take_vob(&bandit, &world.Item("gold"));
    ASSERT_TRUE(world.Item("gold").joinedStack.has_value());
    EXPECT_EQ(engine.eng_npc_focus_vob(&hero), nullptr);
    EXPECT_EQ(engine.eng_npc_focus_vob(&bandit), nullptr);
    EXPECT_EQ(engine.eng_npc_focus_object_field(&bandit), nullptr);
}

}  // namespace
}  // namespace pilfern::sim
