#pragma once

#include <string_view>
#include <vector>

#include "core/settings.h"
#include "host/cstring.h"

namespace pilfern {

// The pieces of "quickLootRareListNew" split at "|", as written: no trimming, no change of
// letter case, empty pieces and duplicates kept.
[[nodiscard]] std::vector<CStringA> SplitRareItemNames(const CStringA& option);
// Empties the list and appends the six ground items auto-loot leaves alone.
void FillAutoLootExcludedNames(std::vector<CStringA>& names);
// Empties the list and appends the 38 conjured items, each upper-cased.
void FillSummonedItemNames(std::vector<CStringA>& names);

// Whether an item instance name is in `rareItemNames`, ignoring letter case: the default
// entries are written in lower case while the engine reports instance names in upper case.
[[nodiscard]] bool IsRareItemName(const PluginSettings& settings, const CStringA& instanceName);
// Whether auto-loot leaves a ground item of this instance name where it lies (exact match).
[[nodiscard]] bool IsAutoLootExcludedName(const PluginSettings& settings,
                                          std::string_view instanceName);
// Whether an item of this instance name is a conjured one; the name is upper-cased before the
// comparison, as every entry is.
[[nodiscard]] bool IsSummonedItemName(const PluginSettings& settings, const CStringA& instanceName);

}  // namespace pilfern
