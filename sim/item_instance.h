#pragma once

#include <cstdint>
#include <string>

#include "host/zstring.h"

namespace pilfern::sim {

// The engine's flag of an item an NPC wears (equipped: a weapon, armour, a ring). The engine
// sets it when the NPC puts the item on and clears it when the NPC takes it off.
inline constexpr std::uint32_t kItemFlagWorn = 0x40000000;
// The scripts' ITEM_MULTI: items of an instance with it share one inventory entry, a stack;
// every other item is an entry of its own.
inline constexpr std::uint32_t kItemFlagMulti = 0x200000;

// An item script instance: what the game's scripts give every item of the instance. The game
// makes an item by running its instance, so all items of one instance start alike; the engine
// then adds the instance's main category bit to the item's flag word.
struct ItemInstance {
    std::string instanceName;  // upper case, as the script parser keeps every symbol
    zSTRING name;
    zSTRING text;
    zSTRING displayName;
    zSTRING arrowText;
    std::uint32_t category = 0;  // the main category word
    std::uint32_t flags = 0;     // the script's flags, without the category bit
    std::uint32_t questWord = 0;
    int munition = 0;  // the instance number of the munition the item shoots
    int armorWord = 0;
};

}  // namespace pilfern::sim
