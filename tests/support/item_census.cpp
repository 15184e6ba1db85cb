#include "support/item_census.h"

#include <array>

namespace pilfern::test {
namespace {

// One place that holds items, with what it holds.
struct Place {
    std::string name;
    std::vector<const sim::SimItem*> items;
};

std::vector<const sim::SimItem*> SimItems(const std::vector<oCItem*>& listed) {
    std::vector<const sim::SimItem*> items;
    for (const oCItem* item : listed) {
        if (const auto* sim = dynamic_cast<const sim::SimItem*>(item)) {
            items.push_back(sim);
        }
    }
    return items;
}

// What an NPC holds in its hand is in the world's item list too, but it is the NPC's: it is
// counted in the inventory, not on the ground.
std::vector<Place> Ground(const sim::SimEngine& engine) {
    std::vector<const sim::SimItem*> ground;
    for (const sim::SimItem* item : SimItems(engine.WorldItems().Objects())) {
        if (engine.OnGround(item)) {
            ground.push_back(item);
        }
    }
    return {{"ground", ground}};
}

std::vector<Place> Inventories(const sim::SimEngine& engine) {
    std::vector<Place> places;
    for (const auto& npc : engine.Npcs()) {
        places.push_back({"inventory of " + npc->vob.id, SimItems(npc->inventory.Held())});
    }
    return places;
}

std::vector<Place> Chests(const sim::SimEngine& engine) {
    std::vector<Place> places;
    for (const auto& chest : engine.Containers()) {
        places.push_back({"chest " + chest->vob.id, SimItems(chest->items.Objects())});
    }
    return places;
}

// Every kind of place an item can be in.
using PlaceLister = std::vector<Place> (*)(const sim::SimEngine&);
constexpr std::array<PlaceLister, 3> kPlaceKinds{&Ground, &Inventories, &Chests};

}  // namespace

ItemCensus TakeCensus(const sim::SimEngine& engine) {
    ItemCensus census;
    for (const PlaceLister list : kPlaceKinds) {
        for (const Place& place : list(engine)) {
            for (const sim::SimItem* item : place.items) {
                census.amounts[item->vob.instanceName] += item->amount;
                census.places[item].push_back(place.name);
            }
        }
    }
    return census;
}

std::vector<std::string> ItemCensus::InSeveralPlaces() const {
    std::vector<std::string> found;
    for (const auto& [item, in] : places) {
        if (in.size() > 1) {
            std::string text = item->vob.id + " in";
            for (const std::string& place : in) {
                text += " [" + place + "]";
            }
            found.push_back(text);
        }
    }
    return found;
}

int ItemCensus::AmountIn(const std::string& place, const std::string& instance) const {
    int amount = 0;
    for (const auto& [item, in] : places) {
        for (const std::string& name : in) {
            if (name == place && item->vob.instanceName == instance) {
                amount += item->amount;
            }
        }
    }
    return amount;
}

}  // namespace pilfern::test
