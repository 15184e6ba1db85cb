#include "sim/scenario/explain.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "sim/scenario/state_dump.h"

namespace pilfern::sim {
namespace {

// What the explanation of one decision may say about the object and the player.
struct Context {
    const SimGame& game;
    const VobData& player;
    const VobData& object;
    const zCVob& playerVob;
    const zCVob& objectVob;
    int radius = 0;
    int distance = 0;  // truncated toward zero, as the passes compare
};

using Words = std::string (*)(const Context& context);

std::string Room(const Context& context, const VobData& vob) {
    return vob.roomName ? Utf8(context.game, *vob.roomName) : std::string("outside");
}

// Words shared by ground items and corpses.
std::string TooFar(const Context& c) {
    return "too far (" + std::to_string(c.distance) + " > " + std::to_string(c.radius) + ")";
}

// Names the wall the player's line of sight enters first, as far as the game knows one.
std::string NotInView(const Context& c) {
    const auto blocker = c.game.engine.BlockerBetween(c.playerVob, c.objectVob);
    return "not in direct view" + (blocker ? " (" + *blocker + ")" : std::string());
}

// An item in someone's hand is worn too; the player is told whose hand holds it.
std::string Worn(const Context& c) {
    const auto* item = dynamic_cast<const SimItem*>(&c.objectVob);
    if (item != nullptr && item->inHandOf != nullptr) {
        return "in the hand of " + item->inHandOf->vob.id;
    }
    return "someone wears it";
}

struct GroundReason {
    GroundVerdict verdict;
    std::string_view reason;
    Words words;
};

// The words of every decision to leave a ground item.
const std::array<GroundReason, 16> kGroundReasons{{
    {GroundVerdict::Worn, "worn", Worn},
    {GroundVerdict::NotPlaced, "notPlaced",
     [](const Context&) { return std::string("not placed in the world"); }},
    {GroundVerdict::TooFar, "tooFar", TooFar},
    {GroundVerdict::NoInstance, "noInstance",
     [](const Context&) { return std::string("no script instance"); }},
    {GroundVerdict::NotOnGround, "notOnGround",
     [](const Context&) {
         return std::string("the game does not count it as lying on the ground");
     }},
    {GroundVerdict::NotFocusable, "notFocusable",
     [](const Context&) { return std::string("it cannot be focused"); }},
    {GroundVerdict::NoName, "noName", [](const Context&) { return std::string("it has no name"); }},
    {GroundVerdict::PlayerOutside, "playerOutside",
     [](const Context& c) {
         return "in a room while you are outside (item: " + Room(c, c.object) + ")";
     }},
    {GroundVerdict::OtherRoom, "otherRoom",
     [](const Context& c) {
         return "in another room (you: " + Room(c, c.player) + ", item: " + Room(c, c.object) + ")";
     }},
    {GroundVerdict::RecordedRoom, "recordedRoom",
     [](const Context& c) {
         return "in a room the game keeps a record of (" + Room(c, c.object) + ")";
     }},
    {GroundVerdict::QuestItemInRoom, "questItemInRoom",
     [](const Context& c) { return "a quest item in a room (" + Room(c, c.object) + ")"; }},
    {GroundVerdict::GothicOneRoom, "gothicOneRoom",
     [](const Context& c) {
         return "in a room (" + Room(c, c.object) + "): Gothic I never auto-loots from rooms";
     }},
    {GroundVerdict::Excluded, "excluded",
     [](const Context&) { return std::string("auto-loot never takes it"); }},
    {GroundVerdict::NpcArrow, "npcArrow",
     [](const Context&) { return std::string("an arrow an NPC shot"); }},
    {GroundVerdict::OffScreen, "offScreen",
     [](const Context&) { return std::string("not on screen"); }},
    {GroundVerdict::NotInView, "notInView", NotInView},
}};

struct CorpseReason {
    CorpseVerdict verdict;
    std::string_view reason;
    Words words;
};

// The words of every decision to leave an NPC. Living NPCs and the player are never
// explained: nobody asks why auto-loot left them.
const std::array<CorpseReason, 9> kCorpseReasons{{
    {CorpseVerdict::NotExamined, "notExamined",
     [](const Context&) { return std::string("waits: one corpse a period, another went first"); }},
    {CorpseVerdict::TooFar, "tooFar", TooFar},
    {CorpseVerdict::NoDeathAnimation, "noDeathAnimation",
     [](const Context&) { return std::string("not lying dead yet (no death animation)"); }},
    {CorpseVerdict::NotDeadBodyState, "notDeadBodyState",
     [](const Context&) { return std::string("not lying dead yet (body state)"); }},
    {CorpseVerdict::AtOrigin, "atOrigin",
     [](const Context&) { return std::string("not placed yet"); }},
    {CorpseVerdict::NewBalanceMarked, "newBalanceMarked",
     [](const Context&) { return std::string("NewBalance keeps it from being looted"); }},
    {CorpseVerdict::NotInView, "notInView", NotInView},
    {CorpseVerdict::LooterRefuses, "looterRefuses",
     [](const Context&) {
         return std::string(
             "the looter refuses it (not dead to the engine yet, or an inventory "
             "is open)");
     }},
    {CorpseVerdict::NothingToTake, "nothingToTake",
     [](const Context&) { return std::string("nothing left to take"); }},
}};

template <class Reason, class Verdict, std::size_t N>
const Reason* Find(const std::array<Reason, N>& reasons, Verdict verdict) {
    for (const Reason& reason : reasons) {
        if (reason.verdict == verdict) {
            return &reason;
        }
    }
    return nullptr;
}

// "ITMI_GOLD (Gold)", or the instance alone when the item shows no other name.
std::string ItemLabel(const SimGame& game, const SimItem& item) {
    const std::string name = Utf8(game, item.name.Text());
    return name.empty() || name == item.vob.instanceName
               ? item.vob.instanceName
               : item.vob.instanceName + " (" + name + ")";
}

std::string CorpseLabel(const SimGame& game, const SimNpc& npc) {
    const std::string name = Utf8(game, npc.name);
    return "corpse " + npc.vob.instanceName +
           (name.empty() || name == npc.vob.instanceName ? "" : " (" + name + ")");
}

}  // namespace

std::vector<ReportedEvent> ExplainAutoLootStep(const SimGame& game, const Instance& plugin,
                                               const std::vector<AutoLootDecision>& decisions) {
    std::vector<ReportedEvent> explained;
    const SimNpc* player = game.engine.Player();
    if (player == nullptr) {
        return explained;
    }
    const int radius = plugin.settings.autoLootDistance;
    for (const AutoLootDecision& decision : decisions) {
        const VobData* object = SimEngine::Vob(decision.object);
        if (object == nullptr) {
            continue;
        }
        const float dx = object->position.x - player->vob.position.x;
        const float dy = object->position.y - player->vob.position.y;
        const float dz = object->position.z - player->vob.position.z;
        const int distance = static_cast<int>(std::sqrt(dx * dx + dy * dy + dz * dz));
        if (distance > 2 * radius) {
            continue;
        }
        const Context context{game,   player->vob, *object, *player, *decision.object,
                              radius, distance};
        std::string label;
        std::string reason;
        std::string words;
        if (decision.ground) {
            const auto* item = dynamic_cast<const SimItem*>(decision.object);
            label = ItemLabel(game, *item);
            if (*decision.ground == GroundVerdict::Take) {
                if (!game.engine.OnGround(item)) {
                    continue;
                }
                reason = "takeRefused";
                words = "accepted, but the taking left it (conjured, or nobody to receive it)";
            } else if (const GroundReason* found = Find(kGroundReasons, *decision.ground)) {
                reason = found->reason;
                words = found->words(context);
            }
        } else if (decision.corpse) {
            const auto* npc = dynamic_cast<const SimNpc*>(decision.object);
            if (const CorpseReason* found = Find(kCorpseReasons, *decision.corpse)) {
                label = CorpseLabel(game, *npc);
                reason = found->reason;
                words = found->words(context);
            }
        }
        if (reason.empty()) {
            continue;
        }
        explained.push_back(
            {"autoLootLeft",
             {{"object", object->id}, {"label", label}, {"reason", reason}, {"words", words}},
             "auto-loot left " + label + ": " + words});
    }
    return explained;
}

}  // namespace pilfern::sim
