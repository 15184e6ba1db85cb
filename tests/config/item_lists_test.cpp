#include "config/item_lists.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/plugin_fixture.h"

namespace pilfern {
namespace {

std::vector<std::string> Texts(const std::vector<CStringA>& names) {
    std::vector<std::string> texts;
    for (const CStringA& name : names) {
        texts.emplace_back(name.Str());
    }
    return texts;
}

// The lists as a started game holds them.
class ItemLists : public ::testing::Test {
protected:
    void Start(std::string_view section = "") {
        fixture.WriteGameIni("[VARKO_UNION_PILFERN]\n" + std::string(section));
        fixture.Load();
        fixture.Game().Init();
    }
    const PluginSettings& Settings() { return fixture.Running().settings; }

    test::PluginFixture fixture;
};

TEST_F(ItemLists, DefaultRareListHoldsTwelveNamesInOrder) {
    Start();
    EXPECT_EQ(
        Texts(Settings().rareItemNames),
        (std::vector<std::string>{"itpl_perm_herb", "itpl_strength_herb_01", "itpl_dex_herb_01",
                                  "itpo_megadrink", "itpo_perm_str", "itpo_perm_dex",
                                  "itpo_perm_mana", "itpo_perm_health", "itat_heartdemon",
                                  "itat_waranfiretongue", "itat_shadowhorn", "itat_dragonblood"}));
}

TEST_F(ItemLists, RareNamesAreFoundWhateverTheirLetterCase) {
    Start("quickLootRareListNew=itpo_megadrink|ItMi_GoldRing|itpo_megadrink\n");
    EXPECT_EQ(Settings().rareItemNames.size(), 3U);  // the duplicate is kept
    for (const char* name : {"ITPO_MEGADRINK", "itpo_megadrink", "ITMI_GOLDRING"}) {
        EXPECT_TRUE(IsRareItemName(Settings(), CStringA(name))) << name;
    }
    for (const char* name : {"ITPO_MEGADRIN", "ITPO_MEGADRINK2", "ITPL_PERM_HERB", ""}) {
        EXPECT_FALSE(IsRareItemName(Settings(), CStringA(name))) << name;
    }
}

TEST_F(ItemLists, FixedListsAreExactAndRebuiltOnEveryLoad) {
    Start();
    fixture.Game().Init();
    fixture.Game().Init();
    EXPECT_EQ(Texts(Settings().autoLootExcludedNames),
              (std::vector<std::string>{"ITMI_ORNAMENTEFFEKT_FOREST_ADDON",
                                        "ITMI_ORNAMENTEFFEKT_BIGFARM_ADDON",
                                        "ITMI_ORNAMENTEFFEKT_FARM_ADDON", "ITMI_AMBOSSEFFEKT_ADDON",
                                        "ITMW_DS_MW_KARAKUS", "ITMW_DS_MONWEAPON"}));
    const std::vector<std::string> summoned = Texts(Settings().summonedItemNames);
    ASSERT_EQ(summoned.size(), 38U);
    EXPECT_EQ(summoned.front(), "ITMW_1H_MISC_SWORD_SUM");
    EXPECT_EQ(summoned.back(), "ITMW_1H_DOOMSWORD_NOKARMA");
    for (const std::string& name : summoned) {
        EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << name;
    }
}

TEST_F(ItemLists, MembershipTestsOfTheFixedLists) {
    Start();
    // The excluded names are compared exactly, as the engine reports instance names.
    EXPECT_TRUE(IsAutoLootExcludedName(Settings(), "ITMW_DS_MONWEAPON"));
    EXPECT_FALSE(IsAutoLootExcludedName(Settings(), "ITMW_DS_MONWEAPON_MED"));
    // Summoned names are upper-cased before the comparison, so letter case never matters.
    for (const char* name : {"ITMW_2H_SUMMONSPEAR_2", "ItMw_2H_SummonSpear_2", "bdmn_vob_summon",
                             "itmw_ds_monweapon"}) {
        EXPECT_TRUE(IsSummonedItemName(Settings(), CStringA(name))) << name;
    }
    EXPECT_FALSE(IsSummonedItemName(Settings(), CStringA("ITMW_2H_SUMMONSPEAR_4")));
}

TEST(RareListSplit, PiecesAreKeptAsWritten) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"itpo_megadrink", {"itpo_megadrink"}},
        {"a|b", {"a", "b"}},
        {"a||b|", {"a", "", "b", ""}},
        {" a | B ", {" a ", " B "}},
        {"", {""}},
    };
    for (const auto& [option, pieces] : cases) {
        EXPECT_EQ(Texts(SplitRareItemNames(CStringA(option))), pieces) << option;
    }
}

}  // namespace
}  // namespace pilfern
