#include "sim/scenario/state_dump.h"

#include <algorithm>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

Json Inventory(const SimGame& game, const SimNpc& npc) {
    Json items = Json::array();
    for (const oCItem* held : npc.inventory.items.Objects()) {
        if (const auto* item = dynamic_cast<const SimItem*>(held)) {
            items.push_back({{"instance", Utf8(game, item->vob.instanceName)}, {"amount", item->amount}});
        }
    }
    return items;
}

// The files the game wrote during the run.
Json Files(const SimGame& game) {
    Json files = Json::object();
    for (const std::string& path : game.WrittenFiles()) {
        const auto content = game.ReadGameFile(path);
        if (!content) {
            continue;  // removed since, by someone other than the game
        }
        // Files the plugin writes are UTF-8; the game's own files are in its code page.
        files[path] = IsUtf8(*content) ? *content : Utf8(game, *content);
    }
    return files;
}

}  // namespace

std::string Utf8(const SimGame& game, const std::string& text) {
    return platform::CodePageToUtf8(text, game.framework.codePage);
}

Json DumpState(const SimGame& game, const Instance* instance) {
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
            markers.push_back({{"createdAt", marker.createdAt}, {"x", marker.x}, {"y", marker.y}, {"z", marker.z}});
        }
    }
    Json inventories = Json::object();
    for (const auto& npc : game.engine.Npcs()) {
        inventories[npc->vob.id] = Inventory(game, *npc);
    }
    Json worldItems = Json::array();
    for (const oCItem* listed : game.engine.WorldItems().Objects()) {
        if (const auto* item = dynamic_cast<const SimItem*>(listed)) {
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
    state["containers"] = Json::object();
    state["files"] = Files(game);
    return Json{{"state", state}};
}

}  // namespace pilfern::sim
