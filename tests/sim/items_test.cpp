#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/death_tests.h"
#include "support/engine_versions.h"
#include "support/item_census.h"
#include "support/temp_folder.h"

// Items as the game makes and moves them: made from their script instance, stacked, worn,
// created, removed and put into inventories, and Gothic I's category lists.
namespace pilfern::sim {
namespace {

using test::kGothicOneClassic;
using test::kGothicTwoAddon;

constexpr std::uint32_t kCategoryMelee = 0x2;
constexpr std::uint32_t kCategoryRanged = 0x4;
constexpr std::uint32_t kCategoryMunition = 0x8;
constexpr std::uint32_t kCategoryArmour = 0x10;
constexpr std::uint32_t kCategoryMagic = 0x80000000;
constexpr std::uint32_t kFlagBow = 0x80000;
constexpr std::uint32_t kFlagRing = 0x800;
constexpr std::uint32_t kFlagMulti = 0x200000;

// A game with the hero and a dead bandit, and the scripts' item instances: a bow that shoots
// arrows, arrows, a sword, a plain armour and a ring.
class ItemsGame : public ::testing::Test {
protected:
    explicit ItemsGame(int engineVersion = kGothicTwoAddon)
        : game(folder.Path(), engineVersion),
          engine(game.engine),
          hero(engine.CreateNpc("hero", "PC_HERO")),
          bandit(engine.CreateNpc("bandit", "BDT_1013_BANDIT_L")) {
        engine.SetPlayer(&hero);
        engine.PlaceInWorld(hero);
        engine.PlaceInWorld(bandit);
        Define("ITRW_ARROW", "Arrow", kCategoryMunition, kFlagMulti);
        ItemInstance& bow = Define("ITRW_BOW_L_01", "Short Bow", kCategoryRanged, kFlagBow);
        bow.text = zSTRING("Damage");
        bow.displayName = zSTRING("a short bow");
        bow.arrowText = zSTRING("Arrows");
        bow.questWord = 0x1000;
        bow.munition = engine.InstanceIndex("ITRW_ARROW");
        Define("ITMW_1H_SWORD", "Sword", kCategoryMelee, 0x4000);
        Define("ITAR_BDT_M", "Bandit Armour", kCategoryArmour, 0).armorWord = 35;
        Define("ITRI_PROT_POINT_01", "Ring of Iron Skin", kCategoryMagic, kFlagRing);
    }

    ItemInstance& Define(std::string_view instance, std::string_view name, std::uint32_t category,
                         std::uint32_t flags) {
        ItemInstance& definition = engine.DefineItemInstance(instance);
        definition.name = zSTRING(name);
        definition.category = category;
        definition.flags = flags;
        return definition;
    }

    // `amount` of an item of the instance in the NPC's inventory, worn when asked.
    SimItem& Give(SimNpc& npc, std::string id, std::string_view instance, int amount = 1,
                  bool worn = false) {
        SimItem& item = engine.MakeItem(std::move(id), instance, amount);
        if (worn) {
            SimEngine::Wear(item);
        }
        return engine.PutInInventory(npc, item);
    }

    SimItem& OnGround(std::string id, std::string_view instance, int amount = 1) {
        SimItem& item = engine.MakeItem(std::move(id), instance, amount);
        engine.PlaceInWorld(item);
        return item;
    }

    [[nodiscard]] std::vector<std::string> Inventory(const SimNpc& npc) const {
        std::vector<std::string> entries;
        for (const oCItem* held : npc.inventory.entries.Objects()) {
            const auto* item = dynamic_cast<const SimItem*>(held);
            entries.push_back(item->vob.instanceName + " x" + std::to_string(item->amount) +
                              ((item->flags & kItemFlagWorn) != 0 ? " worn" : ""));
        }
        return entries;
    }

    test::TempFolder folder;
    SimGame game;
    SimEngine& engine;
    SimNpc& hero;
    SimNpc& bandit;
};

TEST_F(ItemsGame, EveryItemOfAnInstanceIsMadeAsItsScriptSaysWithTheCategoryBitInItsFlags) {
    SimItem& first = OnGround("bow-1", "itrw_bow_l_01");
    SimItem& second = Give(bandit, "bow-2", "ITRW_BOW_L_01");
    for (const SimItem* bow : {&first, &second}) {
        SCOPED_TRACE(bow->vob.id);
        EXPECT_EQ(engine.eng_item_instance(bow), engine.InstanceIndex("ITRW_BOW_L_01"));
        EXPECT_EQ(engine.eng_object_instance_name(bow).Text(), "ITRW_BOW_L_01");
        EXPECT_EQ(engine.eng_item_name(bow).Text(), "Short Bow");
        EXPECT_EQ(engine.eng_item_text_field(bow).Text(), "Damage");
        EXPECT_EQ(engine.eng_item_display_name(bow).Text(), "a short bow");
        EXPECT_EQ(engine.eng_item_arrow_text(bow).Text(), "Arrows");
        EXPECT_EQ(engine.eng_item_category(bow), kCategoryRanged);
        EXPECT_EQ(engine.eng_item_flags(bow), kFlagBow | kCategoryRanged);
        EXPECT_TRUE(engine.eng_item_has_flag(bow, kCategoryRanged));
        EXPECT_EQ(engine.eng_item_nb_quest_word(bow), 0x1000U);
        EXPECT_EQ(engine.eng_item_munition(bow), engine.InstanceIndex("ITRW_ARROW"));
    }
    // A plain armour has no script flags: its flag word is its category bit alone.
    const SimItem& armour = Give(hero, "armour", "ITAR_BDT_M");
    EXPECT_EQ(engine.eng_item_flags(&armour), kCategoryArmour);
    EXPECT_TRUE(engine.eng_item_has_flag(&armour, kCategoryArmour));
    EXPECT_FALSE(engine.eng_item_has_flag(&armour, kItemFlagWorn));
    EXPECT_EQ(engine.eng_item_armor_word(&armour), 35);
}

TEST_F(ItemsGame, InstanceNumbersGivenAreKeptAndNeverHandedOutAgain) {
    ASSERT_TRUE(engine.NumberInstance("ItMi_Gold", 7));
    EXPECT_TRUE(engine.NumberInstance("ITMI_GOLD", 7)) << "the same number again";
    EXPECT_FALSE(engine.NumberInstance("ITMI_GOLD", 9)) << "a second number";
    EXPECT_FALSE(engine.NumberInstance("ITMI_NUGGET", 7)) << "another instance's number";
    EXPECT_FALSE(engine.NumberInstance("ITMI_NUGGET", 1)) << "a number handed out before";
    std::vector<int> numbers;
    for (const char* name :
         {"ITRW_ARROW", "ITRW_BOW_L_01", "ITMI_NUGGET", "ITMI_OREBAR", "itmi_gold"}) {
        numbers.push_back(engine.InstanceIndex(name));
    }
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 6, 8, 7}));
    EXPECT_EQ(engine.FindItemInstance(2), engine.FindItemInstance("itrw_bow_l_01"));
    EXPECT_EQ(engine.FindItemInstance(6), nullptr) << "numbered, never defined";
}

TEST_F(ItemsGame, WornWeaponsAreTheNpcsWeaponsUntilTakenOff) {
    SimItem& sword = Give(bandit, "sword", "ITMW_1H_SWORD", 1, true);
    SimItem& bow = Give(bandit, "bow", "ITRW_BOW_L_01", 1, true);
    engine.Hold(bandit, SimEngine::Hand::Right, &sword);
    bandit.rangedWeapon = &bow;
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&bandit), &sword);
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&bandit), &bow);
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&hero), nullptr);
    EXPECT_EQ(engine.eng_item_flags(&bow), kFlagBow | kCategoryRanged | kItemFlagWorn);

    engine.eng_npc_unequip(&hero, &sword);
    EXPECT_TRUE(engine.eng_item_has_flag(&sword, kItemFlagWorn)) << "not the hero's to take off";
    engine.eng_npc_unequip(&bandit, &bow);
    EXPECT_FALSE(engine.eng_item_has_flag(&bow, kItemFlagWorn));
    EXPECT_EQ(engine.eng_item_flags(&bow), kFlagBow | kCategoryRanged);
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&bandit), nullptr);
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&bandit), &sword);
    engine.eng_npc_unequip(&bandit, &sword);
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&bandit), nullptr);
    EXPECT_EQ(Inventory(bandit), (std::vector<std::string>{"ITMW_1H_SWORD x1", "ITRW_BOW_L_01 x1"}))
        << "taken off, still held";
}

// Looting a corpse as the plugin does: each of its items made anew for the player, then
// removed from the corpse. Nothing is gained or lost, and every item is in one place.
TEST_F(ItemsGame, CopyingACorpsesItemsMovesEveryAmountOnceAndStacks) {
    Give(hero, "hero-arrows", "ITRW_ARROW", 5);
    Give(hero, "hero-ring", "ITRI_PROT_POINT_01", 1, true);
    Give(bandit, "arrows", "ITRW_ARROW", 20);
    Give(bandit, "bow", "ITRW_BOW_L_01", 1, true);
    Give(bandit, "ring", "ITRI_PROT_POINT_01");
    const test::ItemCensus before = test::TakeCensus(engine);

    for (oCItem* item : bandit.inventory.entries.Objects()) {
        engine.eng_npc_unequip(&bandit, item);
        engine.eng_npc_create_items(&hero, engine.eng_item_instance(item),
                                    engine.eng_item_amount(item));
        engine.eng_npc_remove_items(&bandit, item, engine.eng_item_amount(item));
    }

    const test::ItemCensus after = test::TakeCensus(engine);
    EXPECT_EQ(after.amounts, before.amounts);
    EXPECT_EQ(after.InSeveralPlaces(), std::vector<std::string>{});
    EXPECT_EQ(Inventory(bandit), std::vector<std::string>{});
    // The arrows join the hero's stack; the ring does not join the one the hero wears.
    EXPECT_EQ(Inventory(hero),
              (std::vector<std::string>{"ITRW_ARROW x25", "ITRI_PROT_POINT_01 x1 worn",
                                        "ITRW_BOW_L_01 x1", "ITRI_PROT_POINT_01 x1"}));
    // A made copy is the instance's item, not worn as the corpse's was.
    const auto* copy = dynamic_cast<const SimItem*>(hero.inventory.entries.Objects().at(2));
    EXPECT_EQ(engine.eng_item_name(copy).Text(), "Short Bow");
    EXPECT_EQ(engine.eng_item_flags(copy), kFlagBow | kCategoryRanged);
}

TEST_F(ItemsGame, RemovingTakesFromTheStackAndTheStackGoesWhenNothingIsLeft) {
    SimItem& arrows = Give(bandit, "arrows", "ITRW_ARROW", 20);
    SimItem& bow = Give(bandit, "bow", "ITRW_BOW_L_01", 1, true);
    bandit.rangedWeapon = &bow;

    engine.eng_npc_remove_items(&bandit, &arrows, 3);
    EXPECT_EQ(engine.eng_item_amount(&arrows), 17);
    engine.eng_npc_remove_items(&hero, &arrows, 17);
    EXPECT_EQ(engine.eng_item_amount(&arrows), 17) << "not in the hero's inventory";
    engine.eng_npc_remove_items(&bandit, &arrows, 0);
    engine.eng_npc_remove_items(&bandit, &arrows, 99);
    engine.eng_npc_remove_items(&bandit, &bow, 1);
    EXPECT_EQ(Inventory(bandit), std::vector<std::string>{});
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&bandit), nullptr) << "a weapon gone is no weapon";
    EXPECT_TRUE(test::TakeCensus(engine).amounts.empty());
}

TEST_F(ItemsGame, PuttingAndTakingStackAndLeaveTheGround) {
    Give(hero, "hero-arrows", "ITRW_ARROW", 5);
    SimItem& made = engine.MakeItem("made-arrows", "ITRW_ARROW", 7);
    engine.eng_npc_put_in_inventory(&hero, &made);
    SimItem& ground = OnGround("ground-arrows", "ITRW_ARROW", 3);
    engine.eng_npc_take_vob(&hero, &ground);
    engine.eng_npc_create_items(&hero, engine.InstanceIndex("ITRW_ARROW"), 10);
    engine.eng_npc_create_items(&hero, engine.InstanceIndex("ITMW_1H_SWORD"), 0);
    // Only stackable instances stack: swords and rings are entries of their own.
    engine.eng_npc_create_items(&hero, engine.InstanceIndex("ITMW_1H_SWORD"), 2);
    engine.eng_npc_put_in_inventory(&hero, &engine.MakeItem("ring-1", "ITRI_PROT_POINT_01"));
    engine.eng_npc_put_in_inventory(&hero, &engine.MakeItem("ring-2", "ITRI_PROT_POINT_01"));

    EXPECT_EQ(Inventory(hero),
              (std::vector<std::string>{"ITRW_ARROW x25", "ITMW_1H_SWORD x1", "ITMW_1H_SWORD x1",
                                        "ITRI_PROT_POINT_01 x1", "ITRI_PROT_POINT_01 x1"}));
    const test::ItemCensus census = test::TakeCensus(engine);
    EXPECT_EQ(census.AmountIn("ground", "ITRW_ARROW"), 0);
    EXPECT_EQ(census.InSeveralPlaces(), std::vector<std::string>{});
    EXPECT_FALSE(ground.vob.inWorld);
    EXPECT_EQ(ground.joinedStack, "hero-arrows") << "freed by the game, not to be asked again";
}

// The game's operations that would leave an item in two places, or make an item its scripts do
// not define, stop the simulated game naming the fault.
struct Fault {
    std::string name;
    std::function<void()> act;
    std::string message;
};

using ItemsGameDeathTest = ItemsGame;

TEST_F(ItemsGameDeathTest, FaultsOfTheGameStopItNamingThem) {
    test::UseTheSafestDeathTestStyle();
    const std::vector<Fault> faults{
        {"creating items of an instance the scripts do not define",
         [this] { engine.eng_npc_create_items(&hero, engine.InstanceIndex("ITMI_NUGGET"), 1); },
         "items of instance 6 \\(ITMI_NUGGET\\), which the game's scripts do not define"},
        {"creating items of a number no instance has",
         [this] { engine.eng_npc_create_items(&hero, 4711, 1); }, "items of instance 4711, which"},
        {"putting an item of the ground into an inventory",
         [this] { engine.eng_npc_put_in_inventory(&hero, &OnGround("bow", "ITRW_BOW_L_01")); },
         "put bow, which lies in the world, into the inventory of hero"},
        {"putting an item another inventory holds",
         [this] { engine.eng_npc_put_in_inventory(&hero, &Give(bandit, "bow", "ITRW_BOW_L_01")); },
         "put bow into an inventory while the inventory of bandit holds it"},
        {"using an item that joined a stack, which the game freed",
         [this] {
             Give(hero, "hero-arrows", "ITRW_ARROW", 5);
             SimItem& more = engine.MakeItem("more-arrows", "ITRW_ARROW", 3);
             engine.eng_npc_put_in_inventory(&hero, &more);
             static_cast<void>(engine.eng_item_amount(&more));
         },
         "eng_item_amount was called with the item more-arrows, which joined the stack "
         "hero-arrows and was freed by the game"},
        {"taking an item another inventory holds",
         [this] { engine.eng_npc_take_vob(&hero, &Give(bandit, "bow", "ITRW_BOW_L_01")); },
         "eng_npc_take_vob was asked to put bow into an inventory while the inventory of bandit"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        EXPECT_DEATH(fault.act(), fault.message);
    }
}

// Gothic I keeps an inventory's items in nine lists by category as well.
class GothicOneItems : public ItemsGame {
protected:
    GothicOneItems() : ItemsGame(kGothicOneClassic) {
        Define("ITMI_GOLD", "Gold", 0x1, kFlagMulti);
        Define("ITLSTORCH", "Torch", 0x100, 0);
        Define("ITRU_LIGHT", "Light", 0x200, 0);
        Define("ITFO_APPLE", "Apple", 0x20, kFlagMulti);
        Define("ITPO_HEALTH_01", "Essence of Healing", 0x80, kFlagMulti);
        Define("ITWR_MAP", "Map", 0x40, 0);
        Define("ITMI_NOTHING", "Nothing", 0, 0);
        Define("ITMI_ODD", "Odd", 0x8000, 0);
    }

    [[nodiscard]] std::vector<std::vector<std::string>> Lists(const SimNpc& npc) {
        std::vector<std::vector<std::string>> lists;
        for (const zCListSort<oCItem>* node : engine.eng_inventory_category_lists(&npc.inventory)) {
            std::vector<std::string>& ids = lists.emplace_back();
            for (; node != nullptr; node = engine.eng_list_item_next(node)) {
                ids.push_back(engine.Describe(engine.eng_list_item(node)));
            }
        }
        return lists;
    }
};

TEST_F(GothicOneItems, CategoryListsHoldTheInventorysItemsOfEachCategoryInInventoryOrder) {
    for (const auto& [id, instance] :
         std::vector<std::pair<std::string, std::string>>{{"odd", "ITMI_ODD"},
                                                          {"apple", "ITFO_APPLE"},
                                                          {"ring", "ITRI_PROT_POINT_01"},
                                                          {"arrows", "ITRW_ARROW"},
                                                          {"map", "ITWR_MAP"},
                                                          {"gold", "ITMI_GOLD"},
                                                          {"sword", "ITMW_1H_SWORD"},
                                                          {"potion", "ITPO_HEALTH_01"},
                                                          {"rune", "ITRU_LIGHT"},
                                                          {"armour", "ITAR_BDT_M"},
                                                          {"nothing", "ITMI_NOTHING"},
                                                          {"bow", "ITRW_BOW_L_01"},
                                                          {"torch", "ITLSTORCH"}}) {
        Give(bandit, id, instance);
    }
    using Ids = std::vector<std::string>;
    EXPECT_EQ(Lists(bandit), (std::vector<Ids>{{"nothing"},
                                               {"arrows", "sword", "bow"},
                                               {"armour"},
                                               {"rune"},
                                               {"ring"},
                                               {"apple"},
                                               {"potion"},
                                               {"map"},
                                               {"odd", "gold", "torch"}}));
    EXPECT_EQ(Lists(hero), std::vector<Ids>(9));

    // The lists follow the inventory; nodes of items still there stay the game's.
    const zCListSort<oCItem>* firstWeapon =
        engine.eng_inventory_category_lists(&bandit.inventory)[1];
    engine.eng_npc_remove_items(&bandit, engine.FindItem("sword"), 1);
    engine.eng_npc_remove_items(&bandit, engine.FindItem("gold"), 1);
    Give(bandit, "hammer", "ITMW_1H_SWORD");
    EXPECT_EQ(Lists(bandit)[1], (Ids{"arrows", "bow", "hammer"}));
    EXPECT_EQ(Lists(bandit)[8], (Ids{"odd", "torch"}));
    EXPECT_EQ(engine.eng_inventory_category_lists(&bandit.inventory)[1], firstWeapon);
}

TEST_F(ItemsGameDeathTest, AGothicTwoInventoryHasNoCategoryListsToAnswer) {
    test::UseTheSafestDeathTestStyle();
    EXPECT_DEATH(static_cast<void>(engine.eng_inventory_category_lists(&hero.inventory)),
                 "eng_inventory_category_lists: an inventory of Gothic_II_Addon has no category "
                 "lists; only Gothic I keeps one list per category");
}

}  // namespace
}  // namespace pilfern::sim
