#include "autoloot/corpses.h"

#include "core/engine_cast.h"
#include "core/world_units.h"
#include "host/engine_lists.h"
#include "looting/corpse_looting.h"

namespace pilfern {
namespace {

constexpr int kBodyStateDead = 23;
constexpr int kSightMode = 1;

// NewBalance marks NPCs that must not be looted in its extended NPC record; an NPC that is no
// extended NPC has none.
bool MarkedByNewBalance(Engine& engine, const oCNpc& npc) {
    const oCNpcEx* extended = ExtendedNpcOf(engine, npc);
    return extended != nullptr &&
           (engine.eng_npc_ex_marker_1(extended) == 1 || engine.eng_npc_ex_marker_2(extended) == 1);
}

}  // namespace

CorpseVerdict JudgeCorpse(Instance& instance, const oCNpc& player, const oCNpc& npc) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    if (engine.eng_npc_hitpoints(&npc) > 0) {
        return CorpseVerdict::Alive;
    }
    if (&npc == &player) {
        return CorpseVerdict::Player;
    }
    // Whole world units, cut toward zero: 600.5 is within a radius of 600.
    if (!WithinRadius(engine.eng_vob_distance_to(&player, &npc), settings.autoLootDistance)) {
        return CorpseVerdict::TooFar;
    }
    if (!ShowsDeathAnimation(engine, npc)) {
        return CorpseVerdict::NoDeathAnimation;
    }
    if (engine.eng_npc_body_state(&npc) != kBodyStateDead) {
        return CorpseVerdict::NotDeadBodyState;
    }
    const zVEC3 at = engine.eng_vob_position(&npc);
    if (at.x == 0.0F && at.y == 0.0F && at.z == 0.0F) {
        return CorpseVerdict::AtOrigin;
    }
    if (settings.newBalanceMode && MarkedByNewBalance(engine, npc)) {
        return CorpseVerdict::NewBalanceMarked;
    }
    if (settings.needDirectViewAutoloot && !engine.eng_npc_can_see(&player, &npc, kSightMode)) {
        return CorpseVerdict::NotInView;
    }
    if (!LooterTakesOn(instance, npc, player)) {
        return CorpseVerdict::LooterRefuses;
    }
    if (!HoldsSomethingToGiveUp(instance, npc)) {
        return CorpseVerdict::NothingToTake;
    }
    return CorpseVerdict::Take;
}

void AutoLootCorpses(Instance& instance) {
    Engine& engine = instance.engine;
    const oCNpc* player = engine.eng_player();
    if (player == nullptr) {
        return;
    }
    oCNpc* chosen = nullptr;
    ForEachWorldNpc(engine, [&](oCNpc& npc) {
        // Once a corpse is chosen the others wait for the next pass; only a watcher hears of
        // them.
        CorpseVerdict verdict = CorpseVerdict::NotExamined;
        if (chosen == nullptr) {
            verdict = JudgeCorpse(instance, *player, npc);
            if (verdict == CorpseVerdict::Take) {
                chosen = &npc;
            }
        } else if (instance.lootWatcher == nullptr) {
            return true;
        }
        if (instance.lootWatcher != nullptr) {
            instance.lootWatcher->OnCorpseJudged(npc, verdict);
        }
        return false;
    });
    if (chosen == nullptr) {
        return;
    }
    LootCorpseOfEngine(instance, chosen, true);
}

}  // namespace pilfern
