#pragma once

#include <cstdint>

#include "core/instance.h"

namespace pilfern {

// The colour category of a taken item, from its words and its instance name: rare (by the
// rare list, or a quest item when quest items are marked), weapon, armour and jewellery,
// books, scrolls and runes, else plain; tested in that order.
[[nodiscard]] ItemCategory ClassifyItem(const PluginSettings& settings, std::uint32_t categoryWord,
                                        std::uint32_t flagWord, const CStringA& instanceName,
                                        std::uint32_t newBalanceQuestWord);
// The category of an engine item, its words and name read from the engine.
[[nodiscard]] ItemCategory ClassifyEngineItem(Instance& instance, const oCItem& item);
// The item's text field when it has one, else its name.
[[nodiscard]] zSTRING ItemDisplayName(Engine& engine, const oCItem& item);
// The loot text of an item: its display name, " x" and its amount, such as "Gold x25".
[[nodiscard]] CStringA FormatLootText(Engine& engine, const oCItem& item);
// The text of a history row: with "(M) " before rows of items taken by key, or "(A) " before
// rows of items taken by auto-loot, as "prefixMode" says.
[[nodiscard]] CStringA PrefixLootText(const PluginSettings& settings, const CStringA& text,
                                      bool automatic);

// Queues a loot message at the end of the list.
void AddLootMessage(Instance& instance, int category, const CStringA& text);
// Puts a history row first; the history then drops its oldest row when it holds more than two
// columns' rows.
void AddHistoryRow(Instance& instance, int category, const CStringA& text, const CStringA& source);

}  // namespace pilfern
