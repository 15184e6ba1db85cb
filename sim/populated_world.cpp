#include "sim/populated_world.h"

#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <string_view>

namespace pilfern::sim {
namespace {

constexpr std::string_view kItemInstance = "ITMI_NUGGET";
constexpr std::string_view kCorpseInstance = "BDT_1013_BANDIT_L";
constexpr std::string_view kTownsfolkInstance = "VLK_4130_TOWNSFOLK";
constexpr int kBodyStateDead = 23;

void DefineNugget(SimGame& game) {
    ItemInstance& nugget = game.engine.DefineItemInstance(kItemInstance);
    nugget.name = zSTRING("Ore Nugget");
    nugget.flags = kItemFlagMulti;  // nuggets stack, as the game's scripts make them
}

// Where the `index`th of `count` objects stands: within reach in front of the hero, or on
// the far ring.
zVEC3 Spot(std::size_t index, std::size_t count, bool withinReach) {
    const double turn = 2.0 * std::numbers::pi * static_cast<double>(index) /
                        static_cast<double>(count == 0 ? 1 : count);
    if (withinReach) {
        // A fan in front of the hero, 200 to 300 units away.
        const double across = std::sin(turn) * 0.5;
        return zVEC3{static_cast<float>(across * kWithinReach), 0.0F,
                     static_cast<float>(std::cos(across) * kWithinReach)};
    }
    return zVEC3{static_cast<float>(std::sin(turn) * kFarRing), 0.0F,
                 static_cast<float>(std::cos(turn) * kFarRing)};
}

// Whether the `index`th of `count` objects is one of the `chosen` spread evenly through them.
bool Chosen(std::size_t index, std::size_t count, std::size_t chosen) {
    if (chosen == 0) {
        return false;
    }
    const std::size_t every = count / chosen;
    return every != 0 && index % every == every - 1 && index / every < chosen;
}

}  // namespace

SimNpc& PlaceHero(SimGame& game) {
    SimNpc& hero = game.engine.CreateNpc("hero", "PC_HERO");
    hero.name = "Hero";
    hero.hitpoints = 100;
    game.engine.PlaceInWorld(hero);
    game.engine.SetPlayer(&hero);
    return hero;
}

std::vector<SimItem*> ScatterItems(SimGame& game, std::size_t count, std::size_t withinReach) {
    DefineNugget(game);
    std::vector<SimItem*> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        SimItem& item = game.engine.MakeItem("item-" + std::to_string(i), kItemInstance);
        item.vob.position = Spot(i, count, Chosen(i, count, withinReach));
        game.engine.PlaceInWorld(item);
        items.push_back(&item);
    }
    return items;
}

std::vector<SimNpc*> ScatterCorpses(SimGame& game, std::size_t count,
                                    std::size_t corpsesWithinReach) {
    DefineNugget(game);
    std::vector<SimNpc*> corpses;
    corpses.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        SimNpc& npc = game.engine.CreateNpc("corpse-" + std::to_string(i), kCorpseInstance);
        npc.hitpoints = 0;
        npc.bodyState = kBodyStateDead;
        npc.dead = true;
        const bool inReach = Chosen(i, count, corpsesWithinReach);
        npc.vob.position = Spot(i, count, inReach);
        game.engine.PlaceInWorld(npc);
        if (inReach) {
            RestockCorpse(game, npc);
        }
        corpses.push_back(&npc);
    }
    return corpses;
}

void ScatterTownsfolk(SimGame& game, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        SimNpc& npc = game.engine.CreateNpc("townsfolk-" + std::to_string(i), kTownsfolkInstance);
        npc.hitpoints = 40;
        npc.vob.position = Spot(i, count, false);
        game.engine.PlaceInWorld(npc);
    }
}

void RestockCorpse(SimGame& game, SimNpc& corpse) {
    DefineNugget(game);
    game.engine.PutInInventory(corpse,
                               game.engine.MakeItem(corpse.vob.id + "-nugget", kItemInstance));
}

void SettleSteadyState(SimGame& game, SteadySwitches switches, std::uint32_t frameMs) {
    constexpr int kKeySemicolon = 39;
    constexpr int kKeyApostrophe = 40;
    constexpr int kKeyRightShift = 54;
    constexpr int kSettleFrames = 20;
    const auto press = [&game](std::set<int> keys) {
        game.HoldKeys(keys);
        game.Frame(16);
        game.HoldKeys({});
        game.Frame(16);
    };
    game.Frame(kPastQuietTimeMs);
    if (switches.autoLoot) {
        press({kKeyRightShift, kKeyApostrophe});
        game.Frame(kAutoLootStepMs);
    }
    if (switches.overlay) {
        press({kKeyRightShift, kKeySemicolon});
    }
    for (int i = 0; i < kSettleFrames; ++i) {
        game.Frame(frameMs);
    }
}

}  // namespace pilfern::sim
