#pragma once

#include <cstdint>

namespace pilfern {

// What an auto-loot pass decides about a ground item: that it takes it, or the first of its
// tests the item fails.
enum class GroundVerdict : std::uint8_t {
    Take,
    Worn,           // someone wears it
    NotPlaced,      // in no world, or without a visual
    TooFar,         // beyond the auto-loot radius
    NoInstance,     // no script instance
    NotOnGround,    // the engine's ground query says no
    NotFocusable,   // the engine never focuses it (its not-focusable flag)
    NoName,         // neither a name nor a display text
    PlayerOutside,  // the item lies in a room, the player stands outside
    OtherRoom,      // player and item stand in rooms of different names
    RecordedRoom,   // the game keeps a record of the room both stand in
    QuestItemInRoom,
    GothicOneRoom,  // Gothic I never auto-loots an item in a room
    Excluded,       // one of the items auto-loot never takes
    NpcArrow,       // an arrow an NPC shot, of the player's munition
    OffScreen,      // not on screen, or nearer than the near plane
    NotInView,      // the player cannot see it
};

// What an auto-loot pass decides about an NPC: that it loots its corpse, or why not.
enum class CorpseVerdict : std::uint8_t {
    Take,
    Alive,
    Player,
    NotExamined,  // another corpse was chosen first in this pass
    TooFar,
    NoDeathAnimation,
    NotDeadBodyState,
    AtOrigin,  // still at (0, 0, 0): not placed yet
    NewBalanceMarked,
    NotInView,
    LooterRefuses,  // the engine does not count it dead, or an inventory is open
    NothingToTake,
};

}  // namespace pilfern
