#include "core/engine_cast.h"

#include <memory>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

class Chest final : public oCMobContainer {};

// The plugin's checked conversion and the engine's own class test agree on every object: an
// NPC is an extended NPC only when the engine made it one.
TEST(EngineCast, AnswersTheObjectOnlyForItsOwnClassesAndTheirBases) {
    const test::TempFolder folder;
    sim::SimGame game(folder.Path(), 4);
    sim::SimItem& item = game.engine.CreateItem("apple", "ITFO_APPLE");
    sim::SimNpc& npc = game.engine.CreateNpc("bandit", "BDT_1013_BANDIT_L");
    sim::SimNpc& extended = game.engine.CreateNpc("guard", "PAL_200_HAGEN", true);
    Chest chest;

    const struct {
        zCObject* object;
        EngineClass target;
        void* expected;
    } cases[] = {
        {&item, EngineClass::oCItem, static_cast<oCItem*>(&item)},
        {&item, EngineClass::oCNpc, nullptr},
        {&item, EngineClass::oCMobContainer, nullptr},
        {&npc, EngineClass::oCNpc, static_cast<oCNpc*>(&npc)},
        {&npc, EngineClass::oCNpcEx, nullptr},
        {&npc, EngineClass::oCItem, nullptr},
        {&extended, EngineClass::oCNpc, static_cast<oCNpc*>(&extended)},
        {&extended, EngineClass::oCNpcEx, dynamic_cast<oCNpcEx*>(&extended)},
        {&chest, EngineClass::oCMobContainer, static_cast<oCMobContainer*>(&chest)},
        {&chest, EngineClass::oCNpc, nullptr},
        {nullptr, EngineClass::oCItem, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(game.engine.Describe(c.object) + " as " + game.engine.Describe(c.target));
        EXPECT_EQ(EngineCast(c.object, c.target), c.expected);
        EXPECT_EQ(game.engine.eng_object_class_is(c.object, c.target), c.expected != nullptr);
    }
    EXPECT_NE(dynamic_cast<oCNpcEx*>(&extended), nullptr);
}

}  // namespace
}  // namespace pilfern
