#include "core/engine_cast.h"

#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/forwarding_engine.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

class Chest final : public oCMobContainer {};

// A simulated game with an item, an NPC, an extended NPC, and a chest of the plugin's own
// classes that the engine never made.
class EngineCastWorld : public ::testing::Test {
protected:
    const test::TempFolder folder;
    sim::SimGame game{folder.Path(), 4};
    sim::SimItem& item = game.engine.CreateItem("apple", "ITFO_APPLE");
    sim::SimNpc& npc = game.engine.CreateNpc("bandit", "BDT_1013_BANDIT_L");
    sim::SimNpc& extended = game.engine.CreateNpc("guard", "PAL_200_HAGEN", true);
    Chest chest;
};

// The plugin's checked conversion answers as the engine's own class test does on every
// object: an NPC is an extended NPC only when the engine made it one.
TEST_F(EngineCastWorld, AnswersTheObjectOnlyForItsOwnClassesAndTheirBases) {
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
        {&extended, EngineClass::oCNpcEx, static_cast<oCNpcEx*>(&extended)},
        {&chest, EngineClass::oCMobContainer, static_cast<oCMobContainer*>(&chest)},
        {&chest, EngineClass::oCNpc, nullptr},
        {nullptr, EngineClass::oCItem, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(game.engine.Describe(c.object) + " as " + game.engine.Describe(c.target));
        EXPECT_EQ(EngineCast(game.engine, c.object, c.target), c.expected);
        EXPECT_EQ(game.engine.eng_object_class_is(c.object, c.target), c.expected != nullptr);
    }
}

// An engine whose class test gives the answers a test sets, for the objects it names, and
// the simulated engine's answers otherwise; it counts the questions.
class OverruledClassTest final : public test::ForwardingEngine {
public:
    using ForwardingEngine::ForwardingEngine;

    void Answer(const zCObject* object, EngineClass engineClass, bool is) {
        answers_[{object, engineClass}] = is;
    }
    [[nodiscard]] int Asked() const { return asked_; }

    bool eng_object_class_is(const zCObject* object, EngineClass engineClass) override {
        ++asked_;
        if (const auto answer = answers_.find({object, engineClass}); answer != answers_.end()) {
            return answer->second;
        }
        return ForwardingEngine::eng_object_class_is(object, engineClass);
    }

private:
    std::map<std::pair<const zCObject*, EngineClass>, bool> answers_;
    int asked_ = 0;
};

// The conversion knows an object only through the engine's class test: where the engine
// answers otherwise than the object's C++ class would, the engine's answer is the one the
// plugin gets, both ways.
TEST_F(EngineCastWorld, FollowsTheEnginesClassTestAndNeverTheCppClass) {
    OverruledClassTest engine(game.engine);

    // Objects that are of the class in C++, which the engine says are not.
    engine.Answer(&item, EngineClass::oCItem, false);
    engine.Answer(&extended, EngineClass::oCNpcEx, false);
    engine.Answer(&npc, EngineClass::oCNpc, false);
    EXPECT_EQ(EngineCast(engine, &item, EngineClass::oCItem), nullptr);
    EXPECT_EQ(EngineCast(engine, &extended, EngineClass::oCNpcEx), nullptr);
    EXPECT_EQ(ExtendedNpcOf(engine, extended), nullptr);
    EXPECT_EQ(EngineCast(engine, &npc, EngineClass::oCNpc), nullptr);

    // Objects the engine says are of a class the simulator did not make them: the object's
    // own address, read as that class.
    engine.Answer(&npc, EngineClass::oCNpcEx, true);
    engine.Answer(&item, EngineClass::oCMobContainer, true);
    EXPECT_EQ(EngineCast(engine, &npc, EngineClass::oCNpcEx), static_cast<void*>(&npc));
    EXPECT_EQ(ExtendedNpcOf(engine, npc), static_cast<const oCNpcEx*>(&npc));
    EXPECT_EQ(EngineCast(engine, &item, EngineClass::oCMobContainer), static_cast<void*>(&item));

    // Every conversion of an object asked the engine, once; none is asked about no object.
    EXPECT_EQ(engine.Asked(), 7);
    EXPECT_EQ(EngineCast(engine, nullptr, EngineClass::oCItem), nullptr);
    EXPECT_EQ(engine.Asked(), 7);
}

// The engine's object and the plugin's view of it as any engine class it is share one
// address, as the conversion assumes (host/engine.h): an NPC and its extended NPC are one
// object at one address, in the simulator as in the game.
TEST_F(EngineCastWorld, AnEngineObjectHasOneAddressWhateverClassItIsSeenAs) {
    for (sim::SimNpc* each : {&npc, &extended}) {
        const void* address = each;
        EXPECT_EQ(static_cast<void*>(static_cast<zCObject*>(each)), address);
        EXPECT_EQ(static_cast<void*>(static_cast<zCVob*>(each)), address);
        EXPECT_EQ(static_cast<void*>(static_cast<oCNpc*>(each)), address);
        EXPECT_EQ(static_cast<void*>(static_cast<oCNpcEx*>(each)), address);
        oCNpc* asNpc = each;
        EXPECT_EQ(static_cast<void*>(static_cast<oCNpcEx*>(asNpc)), address);
    }
    EXPECT_EQ(static_cast<void*>(static_cast<zCObject*>(&item)), static_cast<void*>(&item));
    EXPECT_EQ(static_cast<void*>(static_cast<oCItem*>(&item)), static_cast<void*>(&item));
    EXPECT_EQ(static_cast<void*>(static_cast<zCObject*>(&chest)), static_cast<void*>(&chest));
    EXPECT_EQ(static_cast<void*>(static_cast<oCMobLockable*>(&chest)), static_cast<void*>(&chest));
}

}  // namespace
}  // namespace pilfern
