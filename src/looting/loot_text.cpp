#include "looting/loot_text.h"

#include <array>
#include <string_view>

#include "config/item_lists.h"
#include "feedback/history_overlay.h"

namespace pilfern {
namespace {

// Flag and category bits of the game's item scripts.
constexpr std::uint32_t kFlagMission = 0x1000;
constexpr std::uint32_t kNewBalanceQuestMark = 0x80000;

// Category word bits and the colour category they give, tested in this order.
struct CategoryRule {
    std::uint32_t bits;
    ItemCategory category;
};
constexpr std::array<CategoryRule, 3> kCategoryRules{{
    {0x2U | 0x4U, kCategoryWeapon},              // melee and ranged weapons
    {0x10U | 0x80000000U, kCategoryArmorRings},  // armour, rings and amulets
    {0x40U | 0x200U, kCategoryBooksScrolls},     // documents, scrolls and runes
}};

// The two prefixes of history rows, by "prefixMode"; other values put none.
struct PrefixRule {
    int mode;
    std::string_view byKey;
    std::string_view byAutoLoot;
};
constexpr std::array<PrefixRule, 3> kPrefixRules{{
    {1, "(M) ", ""},
    {2, "", "(A) "},
    {3, "(M) ", "(A) "},
}};

bool IsQuestItem(const PluginSettings& settings, std::uint32_t flagWord,
                 std::uint32_t newBalanceQuestWord) {
    if (!settings.allowMarkQuestItems) {
        return false;
    }
    // NewBalance marks its quest items in a word of its own.
    return settings.newBalanceMode ? (newBalanceQuestWord & kNewBalanceQuestMark) != 0
                                   : (flagWord & kFlagMission) != 0;
}

}  // namespace

ItemCategory ClassifyItem(const PluginSettings& settings, std::uint32_t categoryWord,
                          std::uint32_t flagWord, const CStringA& instanceName,
                          std::uint32_t newBalanceQuestWord) {
    if (IsRareItemName(settings, instanceName) ||
        IsQuestItem(settings, flagWord, newBalanceQuestWord)) {
        return kCategoryRare;
    }
    for (const CategoryRule& rule : kCategoryRules) {
        if ((categoryWord & rule.bits) != 0) {
            return rule.category;
        }
    }
    return kCategoryPlain;
}

ItemCategory ClassifyEngineItem(Instance& instance, const oCItem& item) {
    Engine& engine = instance.engine;
    return ClassifyItem(
        instance.settings, engine.eng_item_category(&item), engine.eng_item_flags(&item),
        ToCString(engine.eng_object_instance_name(&item)), engine.eng_item_nb_quest_word(&item));
}

zSTRING ItemDisplayName(Engine& engine, const oCItem& item) {
    zSTRING text = engine.eng_item_text_field(&item);
    if (text.HasBuffer() && !engine.eng_string_is_empty(text)) {
        return text;
    }
    return engine.eng_item_name(&item);
}

CStringA FormatLootText(Engine& engine, const oCItem& item) {
    CStringA text = ToCString(ItemDisplayName(engine, item));
    text += CStringA(" x");
    text += CStringA(engine.eng_item_amount(&item), 10);
    return text;
}

CStringA PrefixLootText(const PluginSettings& settings, const CStringA& text, bool automatic) {
    for (const PrefixRule& rule : kPrefixRules) {
        if (rule.mode == settings.prefixMode) {
            return CStringA(automatic ? rule.byAutoLoot : rule.byKey) + text;
        }
    }
    return text;
}

void AddLootMessage(Instance& instance, int category, const CStringA& text) {
    const MessageData& message =
        instance.lootMessages.emplace_back(MessageData{text, category, std::nullopt});
    if (instance.lootWatcher != nullptr) {
        instance.lootWatcher->OnLootMessage(message);
    }
}

void AddHistoryRow(Instance& instance, int category, const CStringA& text, const CStringA& source) {
    std::vector<HistoryEntity>& history = instance.lootHistory;
    history.insert(history.begin(), HistoryEntity{text, source, category});
    if (instance.lootWatcher != nullptr) {
        instance.lootWatcher->OnHistoryRow(history.front());
    }
    // One row out per row in: a longer list, as a savegame may bring, shrinks one row at a
    // time.
    const std::int64_t limit = std::int64_t{2} * HistoryRowsPerColumn(instance.settings);
    if (static_cast<std::int64_t>(history.size()) > limit) {
        history.pop_back();
    }
}

}  // namespace pilfern
