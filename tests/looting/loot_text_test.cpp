#include "looting/loot_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/item_lists.h"
#include "support/hero_game.h"

namespace pilfern {
namespace {

constexpr std::uint32_t kQuestFlag = 0x1000;
constexpr std::uint32_t kNewBalanceQuestMark = 0x80000;

struct CategoryCase {
    std::string name;
    std::uint32_t categoryWord;
    std::uint32_t flagWord;
    std::string instanceName;
    std::uint32_t questWord;
    bool markQuestItems;
    bool newBalance;
    ItemCategory expected;
};

void PrintTo(const CategoryCase& c, std::ostream* out) {
    *out << c.name;
}

class ItemCategories : public ::testing::TestWithParam<CategoryCase> {};

// Rare beats quest beats weapon beats armour beats books; the rest is plain.
TEST_P(ItemCategories, FollowTheRulesInTheirOrder) {
    const CategoryCase& c = GetParam();
    PluginSettings settings;
    settings.rareItemNames = SplitRareItemNames(CStringA("itpl_perm_herb|itpo_megadrink"));
    settings.allowMarkQuestItems = c.markQuestItems;
    settings.newBalanceMode = c.newBalance;
    EXPECT_EQ(
        ClassifyItem(settings, c.categoryWord, c.flagWord, CStringA(c.instanceName), c.questWord),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ItemCategories,
    ::testing::Values(
        CategoryCase{"Plain", 0x1, 0, "ITFO_APPLE", 0, true, false, kCategoryPlain},
        CategoryCase{"RareByListIgnoringCase", 0x1, 0, "ITPL_PERM_HERB", 0, true, false,
                     kCategoryRare},
        CategoryCase{"RareWeaponIsRare", 0x2, 0, "ITPO_MEGADRINK", 0, true, false, kCategoryRare},
        CategoryCase{"QuestWeaponIsRare", 0x2, kQuestFlag, "ITMW_SWORD", 0, true, false,
                     kCategoryRare},
        CategoryCase{"QuestWeaponUnmarkedIsWeapon", 0x2, kQuestFlag, "ITMW_SWORD", 0, false, false,
                     kCategoryWeapon},
        CategoryCase{"RangedWeapon", 0x4, 0, "ITRW_BOW", 0, true, false, kCategoryWeapon},
        CategoryCase{"WeaponBeatsArmour", 0x2 | 0x10, 0, "ITAR_ODD", 0, true, false,
                     kCategoryWeapon},
        CategoryCase{"Armour", 0x10, 0x10, "ITAR_LEATHER", 0, true, false, kCategoryArmorRings},
        CategoryCase{"Jewellery", 0x80000000, 0, "ITRI_RING", 0, true, false, kCategoryArmorRings},
        CategoryCase{"ArmourBeatsBooks", 0x10 | 0x40, 0, "ITAR_ODD", 0, true, false,
                     kCategoryArmorRings},
        CategoryCase{"Document", 0x40, 0, "ITWR_MAP", 0, true, false, kCategoryBooksScrolls},
        CategoryCase{"Rune", 0x200, 0, "ITRU_LIGHT", 0, true, false, kCategoryBooksScrolls},
        // NewBalance marks quest items in a word of its own; the flag word is not asked then.
        CategoryCase{"NewBalanceQuestWord", 0x1, 0, "ITMI_PACKET", kNewBalanceQuestMark, true, true,
                     kCategoryRare},
        CategoryCase{"NewBalanceIgnoresTheQuestFlag", 0x1, kQuestFlag, "ITMI_PACKET", 0, true, true,
                     kCategoryPlain},
        CategoryCase{"QuestWordOutsideNewBalance", 0x1, 0, "ITMI_PACKET", kNewBalanceQuestMark,
                     true, false, kCategoryPlain}),
    [](const auto& tested) { return tested.param.name; });

TEST(LootText, IsTheDisplayNameAndAlwaysTheAmount) {
    test::HeroGame game;
    sim::SimItem& gold = game.Engine().CreateItem("gold", "ITMI_GOLD");
    gold.name = zSTRING("Gold");
    gold.amount = 25;
    EXPECT_EQ(FormatLootText(game.Engine(), gold), CStringA("Gold x25"));

    sim::SimItem& note = game.Engine().CreateItem("note", "ITWR_NOTE");
    note.name = zSTRING("Note");
    note.textField = zSTRING("");  // an empty text field shows the name
    note.amount = 1;
    EXPECT_EQ(FormatLootText(game.Engine(), note), CStringA("Note x1"));
    note.textField = zSTRING("Letter to Lares");
    EXPECT_EQ(FormatLootText(game.Engine(), note), CStringA("Letter to Lares x1"));
}

TEST(LootText, HistoryPrefixesFollowThePrefixMode) {
    PluginSettings settings;
    const CStringA text("Gold x25");
    const struct {
        int mode;
        std::string byKey;
        std::string byAutoLoot;
    } cases[] = {
        {1, "(M) Gold x25", "Gold x25"},     {2, "Gold x25", "(A) Gold x25"},
        {3, "(M) Gold x25", "(A) Gold x25"}, {0, "Gold x25", "Gold x25"},
        {4, "Gold x25", "Gold x25"},         {-1, "Gold x25", "Gold x25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        settings.prefixMode = c.mode;
        EXPECT_EQ(PrefixLootText(settings, text, false), CStringA(c.byKey));
        EXPECT_EQ(PrefixLootText(settings, text, true), CStringA(c.byAutoLoot));
    }
}

// Counts the records as they are made.
class CountingWatcher final : public LootWatcher {
public:
    void OnLootMessage(const MessageData& /*message*/) override { ++messages; }
    void OnHistoryRow(const HistoryEntity& row) override { rows.emplace_back(row.text.Str()); }
    int messages = 0;
    std::vector<std::string> rows;
};

TEST(LootHistory, KeepsTwoColumnsOfRowsNewestFirst) {
    test::HeroGame game;
    Instance& plugin = game.Plugin();
    ASSERT_EQ(plugin.settings.historyCntRowsInColumn, 30);
    for (int i = 1; i <= 61; ++i) {
        AddHistoryRow(plugin, kCategoryPlain, CStringA("Row " + std::to_string(i)), CStringA());
    }
    ASSERT_EQ(plugin.lootHistory.size(), 60U);
    EXPECT_EQ(plugin.lootHistory.front().text, CStringA("Row 61"));
    EXPECT_EQ(plugin.lootHistory.back().text, CStringA("Row 2")) << "the 61st pushed out the 1st";
}

TEST(LootHistory, ALongerListShrinksByOneRowPerNewRow) {
    test::HeroGame game;
    Instance& plugin = game.Plugin();
    plugin.settings.historyCntRowsInColumn = 2;
    plugin.lootHistory.assign(7, HistoryEntity{CStringA("old"), CStringA(), kCategoryPlain});
    AddHistoryRow(plugin, kCategoryRare, CStringA("new"), CStringA("Bandit"));
    EXPECT_EQ(plugin.lootHistory.size(), 7U);
    EXPECT_EQ(plugin.lootHistory.front().source, CStringA("Bandit"));
}

TEST(LootHistory, EveryRecordIsToldOnceAlsoWhenTheLimitDropsARow) {
    test::HeroGame game;
    Instance& plugin = game.Plugin();
    plugin.settings.historyCntRowsInColumn = 1;
    CountingWatcher watcher;
    plugin.lootWatcher = &watcher;
    AddLootMessage(plugin, kCategoryPlain, CStringA("Gold x1"));
    AddHistoryRow(plugin, kCategoryPlain, CStringA("Gold x1"), CStringA());
    AddHistoryRow(plugin, kCategoryPlain, CStringA("Gold x1"), CStringA());
    AddHistoryRow(plugin, kCategoryPlain, CStringA("Gold x1"), CStringA());
    plugin.lootWatcher = nullptr;
    EXPECT_EQ(plugin.lootHistory.size(), 2U);
    EXPECT_EQ(watcher.messages, 1);
    EXPECT_EQ(watcher.rows, (std::vector<std::string>{"Gold x1", "Gold x1", "Gold x1"}));
    ASSERT_EQ(plugin.lootMessages.size(), 1U);
    EXPECT_FALSE(plugin.lootMessages.front().shownAt.has_value());
}

}  // namespace
}  // namespace pilfern
