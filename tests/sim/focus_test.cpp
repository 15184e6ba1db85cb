#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/scenario_game.h"

// The engine's focus: whether a distance is within the focus range of a kind of object, and
// the next focus the engine chooses for an NPC.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

constexpr int kVobTypeMob = 128;
constexpr int kVobTypeItem = 129;
constexpr int kVobTypeNpc = 130;

struct RangeCase {
    int vobType;
    float distance;
    int inRange;
};

TEST(Focus, ADistanceIsInRangeByTheFocusRangeOfItsKind) {
    ScenarioGame world(R"({})");
    SimEngine& engine = world.Engine();
    const oCNpcFocus* settings = engine.eng_focus_settings();
    ASSERT_EQ(settings, &engine.focus);
    const auto answers = [&](const std::vector<RangeCase>& cases) {
        for (const RangeCase& c : cases) {
            EXPECT_EQ(engine.eng_focus_in_range(settings, c.vobType, c.distance), c.inRange)
                << "vob type " << c.vobType << " at " << c.distance;
        }
    };
    answers({{kVobTypeItem, 700.0F, 1},
             {kVobTypeItem, 700.5F, 0},
             {kVobTypeNpc, 1000.0F, 1},
             {kVobTypeNpc, 1000.5F, 0},
             {kVobTypeMob, 700.0F, 1},
             {kVobTypeMob, 700.5F, 0},
             {0, 1.0F, 0}});
    // The game's settings, as a scenario gives them; the kinds not named keep theirs.
    world.Step(R"({"focusRanges": {"mobs": 250, "npcs": 2000}})");
    answers({{kVobTypeMob, 250.0F, 1},
             {kVobTypeMob, 251.0F, 0},
             {kVobTypeNpc, 2000.0F, 1},
             {kVobTypeItem, 700.0F, 1},
             {kVobTypeItem, 701.0F, 0}});
}

// What the hero focuses after a refresh, after each world step.
struct RefreshCase {
    std::string step;
    std::optional<std::string> focus;
};

std::optional<std::string> Focused(ScenarioGame& world, SimNpc& npc) {
    SimEngine& engine = world.Engine();
    engine.eng_npc_refresh_focus(&npc, 1);
    EXPECT_EQ(npc.focusField, npc.focusVob) << "the refresh sets both";
    const zCVob* focus = engine.eng_npc_focus_vob(&npc);
    return focus == nullptr ? std::nullopt : std::optional(engine.Describe(focus));
}

// The hero stands at the origin and looks along +z. Nearer than everything in front lie an
// apple behind him, a bandit 50 degrees to his side and a ring that is in no world.
const std::string kWorld = R"({"world": {
    "player": {"id": "hero", "instance": "PC_HERO", "focus": "bandit"},
    "npcs": [{"id": "bandit", "instance": "BDT_1", "position": [250, 0, 210]}],
    "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, -100]},
              {"id": "ring", "instance": "ITRI_PROT_POINT_01", "position": [0, 0, 50],
               "inWorld": false},
              {"id": "gold", "instance": "ITMI_GOLD", "position": [100, 0, 500]}],
    "containers": [{"id": "chest", "instance": "MOB_CHEST", "position": [-200, 0, 300]}]}})";

TEST(Focus, TheRefreshPicksTheNearestFocusableObjectInFront) {
    ScenarioGame world(kWorld);
    SimNpc& hero = world.Npc("hero");
    const std::vector<RefreshCase> cases{
        {R"({})", "chest"},
        {R"({"remove": ["chest"]})", "gold"},
        {R"({"items": [{"id": "gold", "position": [100, 0, 800]}]})", std::nullopt},
        {R"({"npcs": [{"id": "hero", "facing": [1, 0, 1]}]})", "bandit"},
        {R"({"npcs": [{"id": "hero", "facing": [0, 5, -1]}]})", "apple"},
        {R"({"focusRanges": {"items": 99}})", std::nullopt},
    };
    for (const RefreshCase& c : cases) {
        world.Step(c.step);
        EXPECT_EQ(Focused(world, hero), c.focus) << "after " << c.step;
    }
    // Another NPC focuses what is in front of it, never itself.
    world.Step(R"({"npcs": [{"id": "bandit", "facing": [-1, 0, -1]}]})");
    EXPECT_EQ(Focused(world, world.Npc("bandit")), "hero");
}

TEST(Focus, TheRefreshTakesTheListedObjectsInTurnWhileTheyAreInTheWorld) {
    ScenarioGame world(kWorld);
    world.Step(R"({"npcs": [{"id": "hero", "focusList": ["apple", "chest", "ring", "bandit"]}]})");
    SimNpc& hero = world.Npc("hero");
    EXPECT_EQ(Focused(world, hero), "apple") << "behind him, but listed";
    world.Step(R"({"remove": ["chest"]})");
    EXPECT_EQ(Focused(world, hero), "bandit") << "the chest and the ring are in no world";
    EXPECT_EQ(Focused(world, hero), std::nullopt) << "the list is used up";
    EXPECT_EQ(Focused(world, hero), std::nullopt);
}

}  // namespace
}  // namespace pilfern::sim
