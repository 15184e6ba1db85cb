#include "sim/scenario/state_dump.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/platform.h"
#include "sim/scenario/base64.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// The lead bytes of well-formed UTF-8, with the length of their sequence and the range the
// second byte must lie in: the shortest form only, no surrogate halves, nothing past U+10FFFF.
struct Utf8Lead {
    unsigned char first;
    unsigned char last;
    std::size_t length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

constexpr std::array<Utf8Lead, 8> kUtf8Leads{{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

bool IsUtf8(std::string_view text) {
    const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = at(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const auto* found = std::find_if(
            kUtf8Leads.begin(), kUtf8Leads.end(),
            [lead](const Utf8Lead& range) { return lead >= range.first && lead <= range.last; });
        if (found == kUtf8Leads.end() || i + found->length > text.size() ||
            at(i + 1) < found->secondLow || at(i + 1) > found->secondHigh) {
            return false;
        }
        for (std::size_t k = 2; k < found->length; ++k) {
            if ((at(i + k) & 0xC0U) != 0x80U) {
                return false;
            }
        }
        i += found->length;
    }
    return true;
}

// An NPC's inventory: its entries, then the items it keeps packed, each marked so.
Json Inventory(const SimGame& game, const SimNpc& npc) {
    Json items = Json::array();
    for (const oCItem* held : npc.inventory.Held()) {
        if (const auto* item = dynamic_cast<const SimItem*>(held)) {
            Json entry{{"instance", Utf8(game, item->vob.instanceName)}, {"amount", item->amount}};
            if (npc.inventory.packedItems.Contains(item)) {
                entry["packed"] = true;
            }
            items.push_back(std::move(entry));
        }
    }
    return items;
}

// A chest: its items in list order, whether it is locked, its state, the NPC bound to it and
// the state change begun and not ended, if any.
Json Container(const SimGame& game, const SimContainer& chest) {
    constexpr std::uint32_t kLockedBit = 1;
    Json items = Json::array();
    for (const oCItem* held : chest.items.Objects()) {
        if (const auto* item = dynamic_cast<const SimItem*>(held)) {
            items.push_back({{"id", item->vob.id},
                             {"instance", Utf8(game, item->vob.instanceName)},
                             {"amount", item->amount}});
        }
    }
    const SimNpc* user = game.engine.UserOf(chest);
    Json changing = nullptr;
    if (chest.changing) {
        changing = {{"user", game.engine.Describe(chest.changing->user)},
                    {"from", chest.changing->from},
                    {"to", chest.changing->to}};
    }
    return {{"items", items},
            {"locked", (chest.lockFlags & kLockedBit) != 0},
            {"state", chest.state},
            {"user", user == nullptr ? Json(nullptr) : Json(game.engine.Describe(user))},
            {"changing", changing}};
}

// The files the game wrote during the run. Their content is shown as it is: as text when it
// is UTF-8, else as its bytes, since guessing an encoding would show something no file holds.
Json Files(const SimGame& game) {
    Json files = Json::object();
    for (const std::string& path : game.WrittenFiles()) {
        const auto content = game.ReadGameFile(path);
        if (!content) {
            continue;  // removed since, by someone other than the game
        }
        files[path] = IsUtf8(*content) ? Json(*content) : Json{{"bytes", Base64(*content)}};
    }
    return files;
}

}  // namespace

std::string Utf8(const SimGame& game, std::string_view text) {
    return platform::CodePageToUtf8(text, game.framework.codePage);
}

Json DumpState(const SimGame& game, const Instance* instance, bool calls) {
    Json history = Json::array();
    Json messages = Json::array();
    Json markers = Json::array();
    if (instance != nullptr) {
        for (const HistoryEntity& row : instance->lootHistory) {
            history.push_back({{"text", Utf8(game, row.text.Str())},
                               {"source", Utf8(game, row.source.Str())},
                               {"category", row.category}});
        }
        for (const MessageData& message : instance->lootMessages) {
            messages.push_back({{"text", Utf8(game, message.text.Str())},
                                {"category", message.category},
                                {"shownAt", message.shownAt ? Json(*message.shownAt) : Json(-1)}});
        }
        for (const TargetData& marker : instance->targetMarkers) {
            markers.push_back({{"createdAt", marker.createdAt},
                               {"x", marker.x},
                               {"y", marker.y},
                               {"z", marker.z}});
        }
    }
    Json inventories = Json::object();
    for (const auto& npc : game.engine.Npcs()) {
        inventories[npc->vob.id] = Inventory(game, *npc);
    }
    Json worldItems = Json::array();
    for (const oCItem* listed : game.engine.WorldItems().Objects()) {
        const auto* item = dynamic_cast<const SimItem*>(listed);
        if (item != nullptr && game.engine.OnGround(item)) {
            worldItems.push_back({{"id", item->vob.id},
                                  {"instance", Utf8(game, item->vob.instanceName)},
                                  {"amount", item->amount}});
        }
    }
    Json state;
    state["lootHistory"] = history;
    state["lootMessages"] = messages;
    state["targetMarkers"] = markers;
    state["autoLootActive"] = instance != nullptr && instance->autoLootActive;
    state["historyVisible"] = instance != nullptr && instance->historyVisible;
    state["inventories"] = inventories;
    state["worldItems"] = worldItems;
    Json containers = Json::object();
    for (const auto& chest : game.engine.Containers()) {
        containers[chest->vob.id] = Container(game, *chest);
    }
    state["containers"] = containers;
    state["files"] = Files(game);
    if (calls) {
        Json engineCalls = Json::object();
        for (std::size_t op = 0; op < kEngineOperationCount; ++op) {
            if (const std::uint64_t count = game.engine.Calls(kEngineOperations.at(op))) {
                engineCalls[std::string(kEngineOperations.at(op))] = count;
            }
        }
        const HeapFigures heap = game.HeapSinceStart();
        state["engineCalls"] = engineCalls;
        state["heap"] = {{"allocations", heap.allocations},
                         {"releases", heap.releases},
                         {"bytesInUse", heap.bytesInUse}};
    }
    return Json{{"state", state}};
}

}  // namespace pilfern::sim
