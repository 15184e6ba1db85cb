#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "host/zstring.h"

namespace pilfern::sim {

// The engine's flag of an item an NPC wears (equipped: a weapon, armour, a ring). The engine
// sets it when the NPC puts the item on and clears it when the NPC takes it off.
inline constexpr std::uint32_t kItemFlagWorn = 0x40000000;
// The scripts' ITEM_MULTI: items of an instance with it share one inventory entry, a stack;
// every other item is an entry of its own.
inline constexpr std::uint32_t kItemFlagMulti = 0x200000;

// Gothic I keeps an inventory's items in nine lists by their main category. The first row
// whose bits the item's category word has decides its list; a word of no category at all goes
// to list 0, and a word of none of these bits to the last with everything else: plain things
// such as gold and keys (ITEM_KAT_NONE, 0x1), lights (ITEM_KAT_LIGHT, 0x100).
inline constexpr std::size_t kNoCategoryList = 0;
inline constexpr std::size_t kOtherList = 8;
inline constexpr std::array<std::pair<std::uint32_t, std::size_t>, 9> kGothicOneCategoryLists{{
    {0x00000002, 1},  // melee weapons (ITEM_KAT_NF)
    {0x00000004, 1},  // ranged weapons (ITEM_KAT_FF)
    {0x00000008, 1},  // munition (ITEM_KAT_MUN)
    {0x00000010, 2},  // armour (ITEM_KAT_ARMOR)
    {0x00000200, 3},  // runes (ITEM_KAT_RUNE)
    {0x80000000, 4},  // magic: rings and amulets (ITEM_KAT_MAGIC)
    {0x00000020, 5},  // food (ITEM_KAT_FOOD)
    {0x00000080, 6},  // potions (ITEM_KAT_POTIONS)
    {0x00000040, 7},  // documents (ITEM_KAT_DOCS)
}};

constexpr std::size_t GothicOneCategoryList(std::uint32_t category) {
    if (category == 0) {
        return kNoCategoryList;
    }
    const auto* row = std::find_if(
        kGothicOneCategoryLists.begin(), kGothicOneCategoryLists.end(),
        [category](const auto& candidate) { return (category & candidate.first) != 0; });
    return row == kGothicOneCategoryLists.end() ? kOtherList : row->second;
}

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
