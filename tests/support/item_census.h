#pragma once

#include <map>
#include <string>
#include <vector>

#include "sim/sim_engine.h"

namespace pilfern::test {

// What the game holds in items, counted over every place an item can be: the ground and each
// inventory. Moving items must keep the amounts per instance (or change them by what the game
// made or removed on purpose) and leave every item in one place.
struct ItemCensus {
    // Amount per instance name, over all places.
    std::map<std::string, int> amounts;
    // The places each item object is in ("ground", "inventory of hero"), by the item.
    std::map<const sim::SimItem*, std::vector<std::string>> places;

    // The ids of the items found in more than one place, each with its places.
    [[nodiscard]] std::vector<std::string> InSeveralPlaces() const;
    // The amount of an instance found in one place, such as "inventory of hero".
    [[nodiscard]] int AmountIn(const std::string& place, const std::string& instance) const;
};

[[nodiscard]] ItemCensus TakeCensus(const sim::SimEngine& engine);

}  // namespace pilfern::test
