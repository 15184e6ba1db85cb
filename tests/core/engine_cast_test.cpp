#include "core/engine_cast.h"

#include <memory>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

class Chest final : public oCMobContainer {};

TEST(EngineCast, AnswersTheObjectOnlyForItsOwnClassesAndTheirBases) {
    const test::TempFolder folder;
    sim::SimGame game(folder.Path(), 4);
    sim::SimItem& item = game.engine.CreateItem("apple", "ITFO_APPLE");
    sim::SimNpc& npc = game.engine.CreateNpc("bandit", "BDT_1013_BANDIT_L");
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
        {&npc, EngineClass::oCNpcEx, static_cast<oCNpcEx*>(&npc)},
        {&npc, EngineClass::oCItem, nullptr},
        {&chest, EngineClass::oCMobContainer, static_cast<oCMobContainer*>(&chest)},
        {&chest, EngineClass::oCNpc, nullptr},
        {nullptr, EngineClass::oCItem, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EngineCast(c.object, c.target), c.expected)
            << "class " << static_cast<int>(c.target);
    }
}

}  // namespace
}  // namespace pilfern
