#include "config/item_lists.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pilfern {
namespace {

constexpr std::array<std::string_view, 6> kAutoLootExcludedNames{
    "ITMI_ORNAMENTEFFEKT_FOREST_ADDON",
    "ITMI_ORNAMENTEFFEKT_BIGFARM_ADDON",
    "ITMI_ORNAMENTEFFEKT_FARM_ADDON",
    "ITMI_AMBOSSEFFEKT_ADDON",
    "ITMW_DS_MW_KARAKUS",
    "ITMW_DS_MONWEAPON",
};

// As the scripts of the games and mods spell them; stored upper-cased.
constexpr std::array<std::string_view, 38> kSummonedItemNames{
    "itmw_1h_misc_sword_sum",
    "itmw_1h_misc_sword_str",
    "itmw_1h_misc_sword_mst",
    "itmw_2h_draconsword_dead_sum",
    "itmw_ds_monweapon",
    "itmw_ds_monweapon_exelite",
    "itmw_ds_monweapon_elite",
    "itmw_ds_monweapon_med",
    "itmw_ds_monweapon_spelite",
    "bdmn_vob",
    "Bdmn_vob_Summon",
    "ItMw_2H_Summon",
    "ItMw_2H_SummonStrong",
    "ItMw_2H_SummonStrongElite",
    "ITMW_STAFF_SUMMONED",
    "ItAr_Shield_02_Damn_Summoned",
    "ITMW_1H_DOOMSWORD_Elite_Summoned",
    "ItRw_UndeadSummon",
    "ItRw_UndeadSummon_1",
    "ItRw_UndeadSummon_2",
    "ItRw_UndeadSummon_3",
    "ItMw_2H_SummonSpear",
    "ItMw_2H_SummonSpear_2",
    "ItMw_2H_SummonSpear_3",
    "ItMw_1h_MISC_Dagger_Sum",
    "ItMw_1h_MISC_Sword_Sum_Scroll",
    "ItMw_1h_MISC_Sword_Sum_Sid",
    "ItMw_ChiefRapier_Cursed_Sum",
    "ITMW_1H_DUAL_STEEL_LEFT_Sum",
    "ITMW_1H_DUAL_STEEL_RIGHT_Sum",
    "ItMw_1H_Ancient_Left_Sum",
    "ItMw_1H_Ancient_Right_Sum",
    "ItMw_1h_MISC_Axe_Sum",
    "ItMw_Halleberde_Cursed_Sum",
    "ITMW_AXE_Cursed_Sum",
    "ItRw_ArrowSummon",
    "ItRw_ArrowSummonEdge",
    "ITMW_1H_DOOMSWORD_NOKARMA",
};

bool Contains(const std::vector<CStringA>& names, const CStringA& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::vector<CStringA> SplitRareItemNames(const CStringA& option) {
    return option.Split(CStringA("|"));
}

void FillAutoLootExcludedNames(std::vector<CStringA>& names) {
    names.clear();
    for (const std::string_view name : kAutoLootExcludedNames) {
        names.emplace_back(name);
    }
}

void FillSummonedItemNames(std::vector<CStringA>& names) {
    names.clear();
    for (const std::string_view name : kSummonedItemNames) {
        names.push_back(CStringA(name).Upper());
    }
}

bool IsRareItemName(const PluginSettings& settings, const CStringA& instanceName) {
    return std::any_of(
        settings.rareItemNames.begin(), settings.rareItemNames.end(),
        [&instanceName](const CStringA& entry) { return entry.CompareI(instanceName); });
}

bool IsAutoLootExcludedName(const PluginSettings& settings, std::string_view instanceName) {
    const auto& names = settings.autoLootExcludedNames;
    return std::any_of(names.begin(), names.end(),
                       [instanceName](const CStringA& name) { return name.Str() == instanceName; });
}

bool IsSummonedItemName(const PluginSettings& settings, const CStringA& instanceName) {
    CStringA upper = instanceName;
    return Contains(settings.summonedItemNames, upper.Upper());
}

}  // namespace pilfern
