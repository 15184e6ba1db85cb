#include "sim/scenario/scenario.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "config/key_names.h"
#include "host/engine_profile.h"
#include "sim/sim_engine.h"
#include "sim/sim_framework.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::json;

// The last of the savegame slots the game's menu offers.
constexpr int kLastSaveSlot = 20;

// Reads the fields of one JSON object, naming each by its path in errors, and refuses
// fields it does not know, so that a misspelt field is reported instead of ignored.
class Fields {
public:
    Fields(const Json& object, std::string path, const std::string& file)
        : object_(object), path_(std::move(path)), file_(file) {
        if (!object_.is_object()) {
            Fail(path_, "expected an object");
        }
    }
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;
    Fields(Fields&&) = delete;
    Fields& operator=(Fields&&) = delete;
    ~Fields() = default;

    [[noreturn]] void Fail(const std::string& field, const std::string& problem) const {
        throw ScenarioError(file_, field, problem);
    }
    [[nodiscard]] std::string PathOf(const std::string& key) const {
        return path_.empty() ? key : path_ + "." + key;
    }
    [[nodiscard]] const std::string& File() const { return file_; }
    [[nodiscard]] const std::string& Path() const { return path_; }

    [[nodiscard]] const Json* Get(const std::string& key) {
        known_.insert(key);
        const auto found = object_.find(key);
        return found == object_.end() ? nullptr : &*found;
    }

    template <class T>
    std::optional<T> Optional(const std::string& key);

    template <class T>
    T Required(const std::string& key) {
        auto value = Optional<T>(key);
        if (!value) {
            Fail(PathOf(key), "missing");
        }
        return *value;
    }

    // Ends reading: any field not asked for is unknown.
    void Done() const {
        for (const auto& [key, value] : object_.items()) {
            if (!known_.contains(key)) {
                Fail(PathOf(key), "unknown field");
            }
        }
    }

private:
    const Json& object_;
    std::string path_;
    const std::string& file_;
    std::set<std::string> known_;
};

template <>
std::optional<std::string> Fields::Optional<std::string>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_string()) {
        Fail(PathOf(key), "expected a text");
    }
    return value->get<std::string>();
}

template <>
std::optional<bool> Fields::Optional<bool>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_boolean()) {
        Fail(PathOf(key), "expected true or false");
    }
    return value->get<bool>();
}

template <>
std::optional<int> Fields::Optional<int>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_number_integer() || value->get<std::int64_t>() < INT32_MIN ||
        value->get<std::int64_t>() > INT32_MAX) {
        Fail(PathOf(key), "expected a whole number");
    }
    return value->get<int>();
}

template <>
std::optional<std::uint32_t> Fields::Optional<std::uint32_t>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    // Flag words are easiest to write in hexadecimal: "0x1000" is accepted as well.
    if (value->is_string()) {
        const std::string text = value->get<std::string>();
        try {
            std::size_t used = 0;
            const unsigned long parsed = std::stoul(text, &used, 0);
            if (used == text.size() && parsed <= UINT32_MAX) {
                return static_cast<std::uint32_t>(parsed);
            }
        } catch (const std::exception&) {
        }
        Fail(PathOf(key), "expected a number from 0 to 4294967295, or its hexadecimal text");
    }
    if (!value->is_number_integer() || value->get<std::int64_t>() < 0 ||
        value->get<std::int64_t>() > UINT32_MAX) {
        Fail(PathOf(key), "expected a number from 0 to 4294967295, or its hexadecimal text");
    }
    return static_cast<std::uint32_t>(value->get<std::int64_t>());
}

template <>
std::optional<float> Fields::Optional<float>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_number()) {
        Fail(PathOf(key), "expected a number");
    }
    return value->get<float>();
}

template <>
std::optional<Position> Fields::Optional<Position>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_array() || value->size() != 3 ||
        !std::all_of(value->begin(), value->end(), [](const Json& v) { return v.is_number(); })) {
        Fail(PathOf(key), "expected three numbers [x, y, z]");
    }
    return Position{value->at(0).get<float>(), value->at(1).get<float>(),
                    value->at(2).get<float>()};
}

template <>
std::optional<std::optional<std::string>> Fields::Optional<std::optional<std::string>>(
    const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_null()) {
        return std::optional<std::string>();
    }
    if (!value->is_string()) {
        Fail(PathOf(key), "expected a text or null");
    }
    return std::optional<std::string>(value->get<std::string>());
}

template <>
std::optional<std::vector<std::string>> Fields::Optional<std::vector<std::string>>(
    const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_array() ||
        !std::all_of(value->begin(), value->end(), [](const Json& v) { return v.is_string(); })) {
        Fail(PathOf(key), "expected a list of texts");
    }
    return value->get<std::vector<std::string>>();
}

template <>
std::optional<std::array<int, 3>> Fields::Optional<std::array<int, 3>>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_array() || value->size() != 3 ||
        !std::all_of(value->begin(), value->end(),
                     [](const Json& v) { return v.is_number_integer(); })) {
        Fail(PathOf(key), "expected three whole numbers");
    }
    return std::array<int, 3>{value->at(0).get<int>(), value->at(1).get<int>(),
                              value->at(2).get<int>()};
}

template <>
std::optional<InstanceRef> Fields::Optional<InstanceRef>(const std::string& key) {
    const Json* value = Get(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_string() && !value->get<std::string>().empty()) {
        return InstanceRef(value->get<std::string>());
    }
    if (!value->is_number_integer() || value->get<std::int64_t>() < INT32_MIN ||
        value->get<std::int64_t>() > INT32_MAX) {
        Fail(PathOf(key), "expected an instance name or its script number");
    }
    return InstanceRef(value->get<int>());
}

// Calls `read` with the fields of each object of a list.
template <class Read>
void EachObject(Fields& fields, const std::string& key, Read read) {
    const Json* list = fields.Get(key);
    if (list == nullptr) {
        return;
    }
    if (!list->is_array()) {
        fields.Fail(fields.PathOf(key), "expected a list");
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
        Fields element(list->at(i), fields.PathOf(key) + "[" + std::to_string(i) + "]",
                       fields.File());
        read(element);
        element.Done();
    }
}

ItemSpec ReadItem(Fields& f, bool creating) {
    ItemSpec item;
    item.id = f.Required<std::string>("id");
    item.instance =
        creating ? f.Required<std::string>("instance") : f.Optional<std::string>("instance");
    item.instanceIndex = f.Optional<int>("instanceIndex");
    item.name = f.Optional<std::string>("name");
    item.text = f.Optional<std::string>("text");
    item.displayName = f.Optional<std::string>("displayName");
    item.arrowText = f.Optional<std::string>("arrowText");
    item.amount = f.Optional<int>("amount");
    item.category = f.Optional<std::uint32_t>("category");
    item.flags = f.Optional<std::uint32_t>("flags");
    item.questWord = f.Optional<std::uint32_t>("questWord");
    item.munition = f.Optional<InstanceRef>("munition");
    item.armor = f.Optional<int>("armor");
    item.vobBits = f.Optional<int>("vobBits");
    item.position = f.Optional<Position>("position");
    item.inWorld = f.Optional<bool>("inWorld");
    item.visual = f.Optional<bool>("visual");
    item.groundCheck = f.Optional<bool>("groundCheck");
    item.room = f.Optional<std::optional<std::string>>("room");
    item.worn = f.Optional<bool>("worn");
    if (item.worn.value_or(false) && item.amount.value_or(1) > 1) {
        f.Fail(f.PathOf("worn"), "a worn item is one item: give the rest as an item of its own");
    }
    return item;
}

// An item script instance of the scenario's `instances`.
InstanceDefinition ReadInstance(Fields& f, const std::string& writtenName) {
    InstanceDefinition instance;
    instance.instanceIndex = f.Optional<int>("instanceIndex");
    // Named after the instance, as an item the scenario does not name.
    instance.name = f.Optional<std::string>("name").value_or(writtenName);
    instance.text = f.Optional<std::string>("text");
    instance.displayName = f.Optional<std::string>("displayName");
    instance.arrowText = f.Optional<std::string>("arrowText");
    instance.category = f.Optional<std::uint32_t>("category");
    instance.flags = f.Optional<std::uint32_t>("flags");
    instance.questWord = f.Optional<std::uint32_t>("questWord");
    instance.munition = f.Optional<InstanceRef>("munition");
    instance.armor = f.Optional<int>("armor");
    return instance;
}

std::map<std::string, InstanceDefinition> ReadInstances(Fields& parent) {
    std::map<std::string, InstanceDefinition> instances;
    const Json* value = parent.Get("instances");
    if (value == nullptr) {
        return instances;
    }
    Fields all(*value, "instances", parent.File());
    for (const auto& [written, definition] : value->items()) {
        Fields f(*all.Get(written), all.PathOf(written), parent.File());
        const std::string name = SimEngine::SymbolName(written);
        if (name.empty()) {
            all.Fail(all.PathOf(written), "expected an instance name");
        }
        if (instances.contains(name)) {
            all.Fail(all.PathOf(written), "the instance " + name + " is defined twice");
        }
        instances.emplace(name, ReadInstance(f, written));
        f.Done();
    }
    return instances;
}

// Places of empty list nodes: whole numbers from 0, the list's first node.
std::vector<int> ReadEmptyNodes(Fields& f, const std::string& key) {
    const Json* value = f.Get(key);
    if (value == nullptr) {
        return {};
    }
    const auto isPlace = [](const Json& place) {
        return place.is_number_integer() && place.get<std::int64_t>() >= 0 &&
               place.get<std::int64_t>() <= INT32_MAX;
    };
    if (!value->is_array() || !std::all_of(value->begin(), value->end(), isPlace)) {
        f.Fail(f.PathOf(key), "expected a list of places in the list, whole numbers from 0");
    }
    std::vector<int> places = value->get<std::vector<int>>();
    std::sort(places.begin(), places.end());
    return places;
}

NpcSpec ReadNpc(Fields& f, bool creating) {
    NpcSpec npc;
    npc.id = f.Required<std::string>("id");
    npc.instance =
        creating ? f.Required<std::string>("instance") : f.Optional<std::string>("instance");
    npc.name = f.Optional<std::string>("name");
    npc.position = f.Optional<Position>("position");
    npc.hitpoints = f.Optional<int>("hitpoints");
    npc.bodyState = f.Optional<int>("bodyState");
    npc.dead = f.Optional<bool>("dead");
    npc.unconscious = f.Optional<bool>("unconscious");
    npc.inBattle = f.Optional<bool>("inBattle");
    npc.lootBlock = f.Optional<int>("lootBlock");
    npc.queryA = f.Optional<bool>("queryA");
    npc.queryB = f.Optional<bool>("queryB");
    npc.interacting = f.Optional<bool>("interacting");
    npc.inventoryOpen = f.Optional<bool>("inventoryOpen");
    npc.inventoryPacked = f.Optional<bool>("inventoryPacked");
    if (!creating && npc.inventoryPacked) {
        f.Fail(f.PathOf("inventoryPacked"),
               "an inventory is packed by a savegame load, or in the world a scenario starts with");
    }
    if (npc.inventoryPacked.value_or(false) && npc.inventoryOpen.value_or(false)) {
        f.Fail(f.PathOf("inventoryOpen"), "the game unpacks an inventory it opens");
    }
    npc.inWorld = f.Optional<bool>("inWorld");
    npc.visual = f.Optional<bool>("visual");
    npc.room = f.Optional<std::optional<std::string>>("room");
    npc.focus = f.Optional<std::optional<std::string>>("focus");
    npc.focusField = f.Optional<std::optional<std::string>>("focusField");
    npc.animations = f.Optional<std::vector<std::string>>("animations");
    npc.model = f.Optional<bool>("model");
    npc.facing = f.Optional<Position>("facing");
    if (npc.facing && (*npc.facing)[0] == 0.0F && (*npc.facing)[2] == 0.0F) {
        f.Fail(f.PathOf("facing"), "expected a direction along the ground (x or z not 0)");
    }
    npc.focusList = f.Optional<std::vector<std::string>>("focusList");
    // An NPC is made extended or not; the kind never changes afterwards.
    npc.extended = f.Optional<bool>("extended");
    if (!creating && npc.extended) {
        f.Fail(f.PathOf("extended"), "an NPC is made extended or not; that cannot change");
    }
    npc.markers = f.Optional<std::array<int, 3>>("markers");
    if (creating && npc.markers && !npc.extended.value_or(false)) {
        f.Fail(f.PathOf("markers"), "markers are fields of an extended NPC (\"extended\": true)");
    }
    if (creating) {
        EachObject(f, "inventory",
                   [&npc](Fields& item) { npc.inventory.push_back(ReadItem(item, true)); });
        npc.emptyInventoryNodes = ReadEmptyNodes(f, "emptyInventoryNodes");
    } else if (f.Get("emptyInventoryNodes") != nullptr) {
        f.Fail(f.PathOf("emptyInventoryNodes"),
               "an inventory's empty nodes are given where it is made");
    }
    npc.drawnWeapon = f.Optional<std::optional<std::string>>("drawnWeapon");
    npc.rangedWeapon = f.Optional<std::optional<std::string>>("rangedWeapon");
    npc.leftHand = f.Optional<std::optional<std::string>>("leftHand");
    return npc;
}

// Only NPCs of a loaded world start with their inventories packed, never the player.
void RefusePackedInventory(const Fields& f, const NpcSpec& npc, const std::string& why) {
    if (npc.inventoryPacked.value_or(false)) {
        f.Fail(f.PathOf("inventoryPacked"), why);
    }
}

ContainerSpec ReadContainer(Fields& f, bool creating) {
    ContainerSpec chest;
    chest.id = f.Required<std::string>("id");
    chest.instance =
        creating ? f.Required<std::string>("instance") : f.Optional<std::string>("instance");
    chest.name = f.Optional<std::optional<std::string>>("name");
    chest.position = f.Optional<Position>("position");
    chest.locked = f.Optional<bool>("locked");
    chest.key = f.Optional<std::optional<std::string>>("key");
    chest.condition = f.Optional<std::optional<std::string>>("condition");
    chest.states = f.Optional<int>("states");
    chest.state = f.Optional<int>("state");
    chest.vobBits = f.Optional<int>("vobBits");
    chest.inWorld = f.Optional<bool>("inWorld");
    chest.visual = f.Optional<bool>("visual");
    chest.room = f.Optional<std::optional<std::string>>("room");
    if (chest.states && *chest.states < 0) {
        f.Fail(f.PathOf("states"), "expected 0 or more states after the closed one");
    }
    // A chest made without `states` has 1; an update that leaves them is checked in the game.
    const bool statesKnown = creating || chest.states.has_value();
    const int states = chest.states.value_or(1);
    if (chest.state && (*chest.state < 0 || (statesKnown && *chest.state > states))) {
        f.Fail(f.PathOf("state"), statesKnown
                                      ? "expected a state from 0 to " + std::to_string(states)
                                      : "expected a state of 0 or more");
    }
    if (creating) {
        EachObject(f, "items",
                   [&chest](Fields& item) { chest.items.push_back(ReadItem(item, true)); });
        chest.emptyNodes = ReadEmptyNodes(f, "emptyNodes");
    } else if (f.Get("items") != nullptr || f.Get("emptyNodes") != nullptr) {
        f.Fail(f.PathOf(f.Get("items") != nullptr ? "items" : "emptyNodes"),
               "a chest's items are given where it is made");
    }
    return chest;
}

// Names of the scripts, as the game keeps them: in upper case.
std::string Upper(std::string_view name) {
    return SimEngine::SymbolName(name);
}

// The scripts' functions by name. The game compares script names ignoring case, so two names
// that differ only in case are one function given twice.
ScriptsSpec ReadScripts(Fields& parent) {
    ScriptsSpec scripts;
    const Json* value = parent.Get("scripts");
    if (value == nullptr) {
        return scripts;
    }
    Fields f(*value, parent.PathOf("scripts"), parent.File());
    if (const Json* functions = f.Get("functions")) {
        Fields named(*functions, f.PathOf("functions"), f.File());
        std::set<std::string> seen;
        for (const auto& [name, result] : functions->items()) {
            if (name.empty()) {
                named.Fail(named.PathOf(name), "expected a function name");
            }
            if (!seen.insert(Upper(name)).second) {
                named.Fail(named.PathOf(name), "the function " + Upper(name) +
                                                   " is given twice (script names are compared "
                                                   "ignoring case)");
            }
            scripts.functions[name] = named.Required<int>(name);
        }
    }
    f.Done();
    return scripts;
}

FocusRangesSpec ReadFocusRanges(Fields& parent) {
    FocusRangesSpec ranges;
    const Json* value = parent.Get("focusRanges");
    if (value == nullptr) {
        return ranges;
    }
    Fields f(*value, parent.PathOf("focusRanges"), parent.File());
    constexpr std::array<std::pair<std::string_view, std::optional<float> FocusRangesSpec::*>, 3>
        kKinds{{{"items", &FocusRangesSpec::items},
                {"npcs", &FocusRangesSpec::npcs},
                {"mobs", &FocusRangesSpec::mobs}}};
    for (const auto& [key, field] : kKinds) {
        ranges.*field = f.Optional<float>(std::string(key));
        if (ranges.*field && *(ranges.*field) < 0.0F) {
            f.Fail(f.PathOf(std::string(key)), "expected a distance of 0 or more");
        }
    }
    f.Done();
    return ranges;
}

GameSpec ReadGame(Fields& parent, const std::string& key) {
    GameSpec game;
    const Json* value = parent.Get(key);
    if (value == nullptr) {
        return game;
    }
    Fields f(*value, parent.PathOf(key), parent.File());
    game.paused = f.Optional<bool>("paused");
    game.conversation = f.Optional<bool>("conversation");
    game.uiBlock = f.Optional<int>("uiBlock");
    f.Done();
    return game;
}

CameraSpec ReadCamera(Fields& parent) {
    CameraSpec camera;
    const Json* value = parent.Get("camera");
    if (value == nullptr) {
        return camera;
    }
    Fields f(*value, parent.PathOf("camera"), parent.File());
    camera.position = f.Optional<Position>("position");
    camera.direction = f.Optional<Position>("direction");
    if (camera.direction && (*camera.direction)[0] == 0.0F && (*camera.direction)[2] == 0.0F) {
        f.Fail(f.PathOf("direction"),
               "expected a direction not straight up or down (x or z not 0)");
    }
    camera.followPlayer = f.Optional<bool>("followPlayer");
    if (camera.followPlayer.value_or(false) && (camera.position || camera.direction)) {
        f.Fail(f.PathOf("followPlayer"),
               "a camera that follows the player takes its own place and direction");
    }
    camera.fieldOfView = f.Optional<float>("fieldOfView");
    if (camera.fieldOfView && (*camera.fieldOfView <= 0.0F || *camera.fieldOfView >= 180.0F)) {
        f.Fail(f.PathOf("fieldOfView"), "expected an angle above 0 and below 180 degrees");
    }
    camera.nearPlane = f.Optional<float>("nearPlane");
    if (camera.nearPlane && *camera.nearPlane <= 0.0F) {
        f.Fail(f.PathOf("nearPlane"), "expected a distance above 0");
    }
    camera.active = f.Optional<bool>("active");
    f.Done();
    return camera;
}

std::vector<BlockerSpec> ReadBlockers(Fields& parent) {
    std::vector<BlockerSpec> blockers;
    EachObject(parent, "blockers", [&blockers](Fields& f) {
        BlockerSpec blocker{f.Required<std::string>("id"), f.Required<Position>("min"),
                            f.Required<Position>("max")};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (blocker.min.at(axis) >= blocker.max.at(axis)) {
                f.Fail(f.PathOf("max"), "expected a corner above min on every axis");
            }
        }
        blockers.push_back(std::move(blocker));
    });
    return blockers;
}

// The room registry: absent, null (no registry) or an object with the rooms it records.
std::optional<std::optional<RoomRegistrySpec>> ReadRoomRegistry(Fields& parent) {
    const Json* value = parent.Get("roomRegistry");
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_null()) {
        return std::optional<RoomRegistrySpec>();
    }
    Fields f(*value, parent.PathOf("roomRegistry"), parent.File());
    RoomRegistrySpec registry{
        f.Optional<std::vector<std::string>>("rooms").value_or(std::vector<std::string>{})};
    f.Done();
    return registry;
}

std::map<std::string, int> ReadSymbols(Fields& parent, const std::string& key) {
    std::map<std::string, int> symbols;
    const Json* value = parent.Get(key);
    if (value == nullptr) {
        return symbols;
    }
    Fields f(*value, parent.PathOf(key), parent.File());
    for (const auto& [name, symbol] : value->items()) {
        symbols[name] = f.Required<int>(name);
    }
    f.Done();
    return symbols;
}

int ReadKey(const Json& value, const std::string& path, const std::string& file) {
    if (value.is_number_integer() && value.get<int>() > 0) {
        return value.get<int>();
    }
    if (value.is_string()) {
        const int code = KeyCodeFromName(CStringA(value.get<std::string>()));
        if (code != 0) {
            return code;
        }
        throw ScenarioError(file, path, "\"" + value.get<std::string>() + "\" is no key name");
    }
    throw ScenarioError(file, path, "expected a key name such as \"KEY_V\" or a key code");
}

std::vector<int> ReadKeys(Fields& f, const std::string& key) {
    std::vector<int> keys;
    const Json* list = f.Get(key);
    if (list == nullptr) {
        return keys;
    }
    if (!list->is_array()) {
        f.Fail(f.PathOf(key), "expected a list of keys");
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
        keys.push_back(
            ReadKey(list->at(i), f.PathOf(key) + "[" + std::to_string(i) + "]", f.File()));
    }
    return keys;
}

int ReadEngine(Fields& f) {
    const Json* value = f.Get("engine");
    if (value == nullptr) {
        return 4;
    }
    if (value->is_number_integer()) {
        return value->get<int>();
    }
    if (value->is_string()) {
        for (const EngineProfile& profile : kEngineProfiles) {
            if (profile.engineNamespace == value->get<std::string>()) {
                return profile.version;
            }
        }
    }
    f.Fail("engine",
           "expected Gothic_I_Classic, Gothic_I_Addon, Gothic_II_Classic, "
           "Gothic_II_Addon or the framework's version number");
}

// Files by their path inside the game folder, with their text: a string, stored in the
// game's code page, or {"text": ..., "encoding": "UTF-8" or "codePage"}.
std::map<std::string, PlayerFile> ReadFiles(Fields& parent) {
    std::map<std::string, PlayerFile> files;
    const Json* value = parent.Get("files");
    if (value == nullptr) {
        return files;
    }
    Fields fields(*value, parent.PathOf("files"), parent.File());
    for (const auto& [path, content] : value->items()) {
        if (path.empty() || path.find("..") != std::string::npos ||
            std::filesystem::path(path).is_absolute()) {
            fields.Fail(fields.PathOf(path), "expected a path inside the game folder");
        }
        if (content.is_string()) {
            files[path] = PlayerFile{content.get<std::string>(), false};
            continue;
        }
        if (!content.is_object()) {
            fields.Fail(fields.PathOf(path), "expected a text or {\"text\", \"encoding\"}");
        }
        Fields file(content, fields.PathOf(path), parent.File());
        PlayerFile placed{file.Required<std::string>("text"), false};
        const std::string encoding = file.Optional<std::string>("encoding").value_or("codePage");
        if (encoding != "UTF-8" && encoding != "codePage") {
            file.Fail(file.PathOf("encoding"), "expected \"UTF-8\" or \"codePage\"");
        }
        placed.utf8 = encoding == "UTF-8";
        file.Done();
        files[path] = std::move(placed);
    }
    return files;
}

GameDataSpec ReadGameData(Fields& parent) {
    GameDataSpec data;
    const Json* value = parent.Get("gameData");
    if (value == nullptr) {
        return data;
    }
    Fields f(*value, "gameData", parent.File());
    if (f.Get("fonts") != nullptr) {
        data.fonts.emplace();
        EachObject(f, "fonts", [&data](Fields& font) {
            FontSpec spec{font.Required<std::string>("name"),
                          font.Optional<int>("height").value_or(20)};
            if (spec.height <= 0) {
                font.Fail(font.PathOf("height"), "expected a height of 1 pixel or more");
            }
            data.fonts->push_back(std::move(spec));
        });
    }
    data.textures = f.Optional<std::vector<std::string>>("textures");
    data.visualEffects = f.Optional<std::vector<std::string>>("visualEffects");
    f.Done();
    return data;
}

// Fields of save and load steps that the game's own sequences replaced.
void RefuseOldSaveFields(Fields& f) {
    if (f.Get("slotTold") != nullptr) {
        f.Fail(f.PathOf("slotTold"),
               "no longer used: the framework's record always exists; "
               "\"recordSlot\": -3 makes it name no slot");
    }
    if (f.Get("event") != nullptr) {
        f.Fail(f.PathOf("event"),
               "no longer used: a load plays the game's own events; "
               "use {\"newGame\": true} or {\"changeLevel\": \"WORLD.ZEN\"} for the others");
    }
}

// A savegame slot the player saves or loads: 0 the quicksave, 1 to 20.
int ReadSlot(Fields& f, const std::string& key) {
    const int slot = f.Required<int>(key);
    if (slot < 0 || slot > kLastSaveSlot) {
        f.Fail(f.PathOf(key), "expected a slot from 0 (quicksave) to 20");
    }
    return slot;
}

std::optional<int> ReadRecordSlot(Fields& f) {
    const std::optional<int> slot = f.Optional<int>("recordSlot");
    if (slot && (*slot < kSaveSlotNone || *slot > kLastSaveSlot)) {
        f.Fail(f.PathOf("recordSlot"),
               "expected -3 (no slot), -2 (new game), -1 (current) or a slot from 0 to 20");
    }
    return slot;
}

Step ReadStep(Fields& f) {
    if (f.Get("frames") != nullptr) {
        FramesStep step;
        step.frames = f.Required<int>("frames");
        step.ms = f.Optional<int>("ms").value_or(16);
        if (step.frames < 0) {
            f.Fail(f.PathOf("frames"), "expected 0 or more frames");
        }
        if (step.ms < 0) {
            f.Fail(f.PathOf("ms"), "expected 0 or more milliseconds");
        }
        step.hold = ReadKeys(f, "hold");
        step.press = ReadKeys(f, "press");
        return step;
    }
    if (f.Get("save") != nullptr || f.Get("load") != nullptr) {
        RefuseOldSaveFields(f);
        const std::optional<int> recordSlot = ReadRecordSlot(f);
        if (f.Get("load") != nullptr) {
            return LoadStep{ReadSlot(f, "load"), recordSlot};
        }
        SaveStep step{ReadSlot(f, "save"), recordSlot, std::nullopt};
        if (const auto space = f.Optional<std::uint32_t>("diskSpace")) {
            step.diskSpace = *space;
        }
        return step;
    }
    if (const Json* start = f.Get("newGame")) {
        if (!start->is_boolean() || !start->get<bool>()) {
            f.Fail(f.PathOf("newGame"), "expected true");
        }
        return NewGameStep{};
    }
    if (f.Get("changeLevel") != nullptr) {
        ChangeLevelStep step{f.Required<std::string>("changeLevel"),
                             f.Optional<std::string>("wayPoint").value_or("")};
        if (step.world.empty()) {
            f.Fail(f.PathOf("changeLevel"), "expected the world's file name, such as OLDWORLD.ZEN");
        }
        return step;
    }
    if (const Json* options = f.Get("options")) {
        OptionsStep step;
        Fields sections(*options, f.PathOf("options"), f.File());
        for (const auto& [section, keys] : options->items()) {
            Fields values(*sections.Get(section), sections.PathOf(section), f.File());
            for (const auto& [key, value] : keys.items()) {
                if (value.is_number_integer()) {
                    std::ignore = values.Get(key);
                    step.values[section][key] = std::to_string(value.get<std::int64_t>());
                } else {
                    step.values[section][key] = values.Required<std::string>(key);
                }
            }
        }
        return step;
    }
    if (f.Get("files") != nullptr) {
        return FilesStep{ReadFiles(f)};
    }
    if (const Json* world = f.Get("world")) {
        WorldStep step;
        Fields w(*world, f.PathOf("world"), f.File());
        EachObject(w, "npcs",
                   [&step](Fields& npc) { step.updateNpcs.push_back(ReadNpc(npc, false)); });
        EachObject(w, "items",
                   [&step](Fields& item) { step.updateItems.push_back(ReadItem(item, false)); });
        EachObject(w, "containers", [&step](Fields& chest) {
            step.updateContainers.push_back(ReadContainer(chest, false));
        });
        if (const Json* spawn = w.Get("spawn")) {
            Fields s(*spawn, w.PathOf("spawn"), f.File());
            EachObject(s, "npcs", [&step](Fields& npc) {
                step.spawnNpcs.push_back(ReadNpc(npc, true));
                RefusePackedInventory(npc, step.spawnNpcs.back(),
                                      "an NPC the game inserts carries its inventory unpacked");
            });
            EachObject(s, "items",
                       [&step](Fields& item) { step.spawnItems.push_back(ReadItem(item, true)); });
            EachObject(s, "containers", [&step](Fields& chest) {
                step.spawnContainers.push_back(ReadContainer(chest, true));
            });
            s.Done();
        }
        step.remove =
            w.Optional<std::vector<std::string>>("remove").value_or(std::vector<std::string>{});
        if (const Json* give = w.Get("give")) {
            Fields receivers(*give, w.PathOf("give"), f.File());
            for (const auto& entry : give->items()) {
                const std::string& npc = entry.key();
                step.give[npc];  // checked as an NPC even when given nothing
                EachObject(receivers, npc, [&step, &npc](Fields& item) {
                    step.give[npc].push_back(ReadItem(item, true));
                });
            }
        }
        step.take =
            w.Optional<std::vector<std::string>>("take").value_or(std::vector<std::string>{});
        step.drop =
            w.Optional<std::vector<std::string>>("drop").value_or(std::vector<std::string>{});
        step.symbols = ReadSymbols(w, "symbols");
        step.scripts = ReadScripts(w);
        step.focusRanges = ReadFocusRanges(w);
        step.game = ReadGame(w, "game");
        step.camera = ReadCamera(w);
        step.roomRegistry = ReadRoomRegistry(w);
        if (const Json* creature = w.Get("transform")) {
            Fields c(*creature, w.PathOf("transform"), f.File());
            step.transform = ReadNpc(c, true);
            RefusePackedInventory(c, *step.transform,
                                  "the creature becomes the player, whose inventory the game "
                                  "never packs");
            c.Done();
        }
        step.transformBack = w.Optional<bool>("transformBack").value_or(false);
        if (step.transform && step.transformBack) {
            w.Fail(w.PathOf("transformBack"), "a step either transforms or turns back");
        }
        w.Done();
        return step;
    }
    if (f.Get("screenshot") != nullptr) {
        ScreenshotStep step{f.Required<std::string>("screenshot")};
        // The name becomes a file name: nothing that could lead out of the folder.
        const bool plain = std::all_of(step.name.begin(), step.name.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_';
        });
        if (step.name.empty() || !plain) {
            f.Fail(f.PathOf("screenshot"), "expected a name of letters, digits, - and _");
        }
        return step;
    }
    if (f.Get("note") != nullptr) {
        return NoteStep{f.Required<std::string>("note")};
    }
    f.Fail(f.Path(),
           "expected a step: frames, save, load, newGame, changeLevel, options, files, world, "
           "screenshot or note");
}

// Every screenshot has a file of its own.
void CheckScreenshotNames(const Scenario& scenario) {
    std::set<std::string> names;
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        const auto* shot = std::get_if<ScreenshotStep>(&scenario.timeline[s]);
        if (shot != nullptr && !names.insert(shot->name).second) {
            throw ScenarioError(scenario.file.generic_string(),
                                "timeline[" + std::to_string(s) + "].screenshot",
                                "the name \"" + shot->name + "\" is used twice");
        }
    }
}

// Every object has one id, and steps name only objects that exist by then.
void CheckIds(const Scenario& scenario) {
    const std::string file = scenario.file.generic_string();
    std::map<std::string, char> kinds;  // 'n' NPC, 'i' item, 'c' chest
    const auto add = [&](const std::string& id, char kind, const std::string& field) {
        if (!kinds.emplace(id, kind).second) {
            throw ScenarioError(file, field, "the id \"" + id + "\" is used twice");
        }
    };
    std::set<std::string> extended;
    const auto addNpc = [&](const NpcSpec& npc, const std::string& field) {
        add(npc.id, 'n', field);
        if (npc.extended.value_or(false)) {
            extended.insert(npc.id);
        }
        for (std::size_t i = 0; i < npc.inventory.size(); ++i) {
            add(npc.inventory[i].id, 'i', field + ".inventory[" + std::to_string(i) + "].id");
        }
    };
    const auto addContainer = [&](const ContainerSpec& chest, const std::string& at) {
        add(chest.id, 'c', at + ".id");
        for (std::size_t i = 0; i < chest.items.size(); ++i) {
            add(chest.items[i].id, 'i', at + ".items[" + std::to_string(i) + "].id");
        }
    };
    const auto expect = [&](const std::string& id, const std::string& wanted,
                            const std::string& field) {
        const auto found = kinds.find(id);
        if (found == kinds.end() || wanted.find(found->second) == std::string::npos) {
            throw ScenarioError(file, field,
                                "no " +
                                    std::string(wanted == "n"   ? "NPC"
                                                : wanted == "i" ? "item"
                                                : wanted == "c" ? "chest"
                                                                : "object") +
                                    " has the id \"" + id + "\"");
        }
    };
    if (scenario.world.player) {
        addNpc(*scenario.world.player, "world.player.id");
    }
    for (std::size_t i = 0; i < scenario.world.npcs.size(); ++i) {
        addNpc(scenario.world.npcs[i], "world.npcs[" + std::to_string(i) + "].id");
    }
    for (std::size_t i = 0; i < scenario.world.items.size(); ++i) {
        add(scenario.world.items[i].id, 'i', "world.items[" + std::to_string(i) + "].id");
    }
    for (std::size_t i = 0; i < scenario.world.containers.size(); ++i) {
        addContainer(scenario.world.containers[i], "world.containers[" + std::to_string(i) + "]");
    }
    const auto checkFocus = [&](const NpcSpec& npc, const std::string& field) {
        if (npc.focus && *npc.focus) {
            expect(**npc.focus, "nic", field + ".focus");
        }
        if (npc.focusField && *npc.focusField) {
            expect(**npc.focusField, "nic", field + ".focusField");
        }
        if (npc.focusList) {
            for (std::size_t i = 0; i < npc.focusList->size(); ++i) {
                expect((*npc.focusList)[i], "nic", field + ".focusList[" + std::to_string(i) + "]");
            }
        }
    };
    const auto checkWeapons = [&](const NpcSpec& npc, const std::string& field) {
        if (npc.drawnWeapon && *npc.drawnWeapon) {
            expect(**npc.drawnWeapon, "i", field + ".drawnWeapon");
        }
        if (npc.leftHand && *npc.leftHand) {
            expect(**npc.leftHand, "i", field + ".leftHand");
        }
        if (npc.rangedWeapon && *npc.rangedWeapon) {
            expect(**npc.rangedWeapon, "i", field + ".rangedWeapon");
        }
    };
    if (scenario.world.player) {
        checkFocus(*scenario.world.player, "world.player");
    }
    if (const auto& own = scenario.world.transformedFrom) {
        expect(*own, "n", "world.transformedFrom");
        if (!scenario.world.player || *own == scenario.world.player->id) {
            throw ScenarioError(file, "world.transformedFrom",
                                "expected an NPC of the world other than the player");
        }
        const auto& npcs = scenario.world.npcs;
        const auto body = std::find_if(npcs.begin(), npcs.end(),
                                       [&own](const NpcSpec& npc) { return npc.id == *own; });
        if (body != npcs.end() && body->inventoryPacked.value_or(false)) {
            throw ScenarioError(file, "world.transformedFrom",
                                "the hero's own body keeps its inventory unpacked, as the "
                                "player's");
        }
    }
    for (std::size_t i = 0; i < scenario.world.npcs.size(); ++i) {
        checkFocus(scenario.world.npcs[i], "world.npcs[" + std::to_string(i) + "]");
    }
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        const auto* world = std::get_if<WorldStep>(&scenario.timeline[s]);
        if (world == nullptr) {
            continue;
        }
        const std::string at = "timeline[" + std::to_string(s) + "].world";
        for (std::size_t i = 0; i < world->spawnNpcs.size(); ++i) {
            addNpc(world->spawnNpcs[i], at + ".spawn.npcs[" + std::to_string(i) + "].id");
        }
        for (std::size_t i = 0; i < world->spawnItems.size(); ++i) {
            add(world->spawnItems[i].id, 'i', at + ".spawn.items[" + std::to_string(i) + "].id");
        }
        for (const auto& [npc, items] : world->give) {
            expect(npc, "n", at + ".give." + npc);
            for (std::size_t i = 0; i < items.size(); ++i) {
                add(items[i].id, 'i', at + ".give." + npc + "[" + std::to_string(i) + "].id");
            }
        }
        for (std::size_t i = 0; i < world->spawnContainers.size(); ++i) {
            addContainer(world->spawnContainers[i],
                         at + ".spawn.containers[" + std::to_string(i) + "]");
        }
        if (world->transform) {
            addNpc(*world->transform, at + ".transform.id");
        }
        for (std::size_t i = 0; i < world->updateNpcs.size(); ++i) {
            const std::string field = at + ".npcs[" + std::to_string(i) + "]";
            expect(world->updateNpcs[i].id, "n", field + ".id");
            checkFocus(world->updateNpcs[i], field);
            checkWeapons(world->updateNpcs[i], field);
            if (world->updateNpcs[i].markers && !extended.contains(world->updateNpcs[i].id)) {
                throw ScenarioError(file, field + ".markers",
                                    "markers are fields of an extended NPC (\"extended\": true)");
            }
        }
        for (std::size_t i = 0; i < world->updateItems.size(); ++i) {
            expect(world->updateItems[i].id, "i", at + ".items[" + std::to_string(i) + "].id");
        }
        for (std::size_t i = 0; i < world->updateContainers.size(); ++i) {
            expect(world->updateContainers[i].id, "c",
                   at + ".containers[" + std::to_string(i) + "].id");
        }
        for (std::size_t i = 0; i < world->remove.size(); ++i) {
            expect(world->remove[i], "nic", at + ".remove[" + std::to_string(i) + "]");
        }
        for (std::size_t i = 0; i < world->take.size(); ++i) {
            expect(world->take[i], "i", at + ".take[" + std::to_string(i) + "]");
        }
        for (std::size_t i = 0; i < world->drop.size(); ++i) {
            expect(world->drop[i], "i", at + ".drop[" + std::to_string(i) + "]");
        }
    }
}

// A name of the scripts is a variable or a function, never both; and a chest's condition is a
// function the scripts have, at some time of the scenario.
void CheckScripts(const Scenario& scenario) {
    const std::string file = scenario.file.generic_string();
    std::map<std::string, std::string> variables;  // upper-case name -> field
    std::map<std::string, std::string> functions;
    const auto collect = [&](const std::map<std::string, int>& symbols, const ScriptsSpec& scripts,
                             const std::string& at) {
        for (const auto& [name, value] : symbols) {
            variables.emplace(Upper(name), at + ".symbols." + name);
        }
        for (const auto& [name, result] : scripts.functions) {
            functions.emplace(Upper(name), at + ".scripts.functions." + name);
        }
    };
    collect(scenario.world.symbols, scenario.world.scripts, "world");
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        if (const auto* world = std::get_if<WorldStep>(&scenario.timeline[s])) {
            collect(world->symbols, world->scripts, "timeline[" + std::to_string(s) + "].world");
        }
    }
    for (const auto& [name, field] : functions) {
        const auto variable = variables.find(name);
        if (variable != variables.end()) {
            throw ScenarioError(file, field,
                                name + " is a variable of the scripts (" + variable->second +
                                    "); a symbol is a variable or a function, not both");
        }
    }
    const auto checkCondition = [&](const ContainerSpec& chest, const std::string& field) {
        if (chest.condition && *chest.condition && !functions.contains(Upper(**chest.condition))) {
            throw ScenarioError(file, field + ".condition",
                                "the scripts have no function " + Upper(**chest.condition) +
                                    " (give it in scripts.functions)");
        }
    };
    for (std::size_t i = 0; i < scenario.world.containers.size(); ++i) {
        checkCondition(scenario.world.containers[i], "world.containers[" + std::to_string(i) + "]");
    }
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        const auto* world = std::get_if<WorldStep>(&scenario.timeline[s]);
        if (world == nullptr) {
            continue;
        }
        const std::string at = "timeline[" + std::to_string(s) + "].world";
        for (std::size_t i = 0; i < world->spawnContainers.size(); ++i) {
            checkCondition(world->spawnContainers[i],
                           at + ".spawn.containers[" + std::to_string(i) + "]");
        }
        for (std::size_t i = 0; i < world->updateContainers.size(); ++i) {
            checkCondition(world->updateContainers[i],
                           at + ".containers[" + std::to_string(i) + "]");
        }
    }
}

// Only an item of an inventory is worn, and an NPC's weapons are worn items of its own
// inventory. Items on the ground are worn by no one.
void CheckWornItems(const Scenario& scenario) {
    const std::string file = scenario.file.generic_string();
    const auto onGround = [&file](const std::vector<ItemSpec>& items, const std::string& field) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].worn.value_or(false)) {
                throw ScenarioError(file, field + "[" + std::to_string(i) + "].worn",
                                    "only an item of an inventory can be worn");
            }
        }
    };
    const auto weapon = [&file](const NpcSpec& npc, const std::optional<std::string>& id,
                                const std::string& field) {
        if (!id) {
            return;
        }
        const auto item = std::find_if(npc.inventory.begin(), npc.inventory.end(),
                                       [&id](const ItemSpec& held) { return held.id == *id; });
        if (item == npc.inventory.end()) {
            throw ScenarioError(file, field, "\"" + *id + "\" is no item of this NPC's inventory");
        }
        if (!item->worn.value_or(true) || item->amount.value_or(1) > 1) {
            throw ScenarioError(
                file, field,
                "a weapon or what a hand holds is one worn item, \"" + *id + "\" is not one");
        }
    };
    const auto weapons = [&weapon](const NpcSpec& npc, const std::string& field) {
        weapon(npc, npc.drawnWeapon.value_or(std::nullopt), field + ".drawnWeapon");
        weapon(npc, npc.rangedWeapon.value_or(std::nullopt), field + ".rangedWeapon");
        weapon(npc, npc.leftHand.value_or(std::nullopt), field + ".leftHand");
    };
    if (scenario.world.player) {
        weapons(*scenario.world.player, "world.player");
    }
    for (std::size_t i = 0; i < scenario.world.npcs.size(); ++i) {
        weapons(scenario.world.npcs[i], "world.npcs[" + std::to_string(i) + "]");
    }
    onGround(scenario.world.items, "world.items");
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        if (const auto* world = std::get_if<WorldStep>(&scenario.timeline[s])) {
            const std::string at = "timeline[" + std::to_string(s) + "].world.spawn";
            for (std::size_t i = 0; i < world->spawnNpcs.size(); ++i) {
                weapons(world->spawnNpcs[i], at + ".npcs[" + std::to_string(i) + "]");
            }
            onGround(world->spawnItems, at + ".items");
        }
    }
}

// A script number belongs to one instance, and an instance has one. The numbers the scenario
// gives are collected before play, so that the game never hands one out to another instance.
class InstanceNumbering {
public:
    explicit InstanceNumbering(Scenario& scenario)
        : scenario_(scenario), file_(scenario.file.generic_string()) {}

    void Give(const std::string& instance, std::optional<int> number, const std::string& field) {
        if (!number) {
            return;
        }
        const std::string name = SimEngine::SymbolName(instance);
        auto& numbers = scenario_.instanceNumbers;
        if (const auto own = numbers.find(name); own != numbers.end() && own->second != *number) {
            throw ScenarioError(file_, field,
                                "the instance " + name + " has the number " +
                                    std::to_string(own->second) + " already");
        }
        for (const auto& [other, taken] : numbers) {
            if (taken == *number && other != name) {
                throw ScenarioError(
                    file_, field,
                    "the number " + std::to_string(*number) + " is the instance " + other + "'s");
            }
        }
        numbers[name] = *number;
    }

    // An item made: its instance is the one it names.
    void Made(const ItemSpec& item, const std::string& field) {
        instanceOf_[item.id] = *item.instance;
        Give(*item.instance, item.instanceIndex, field + ".instanceIndex");
    }
    void Made(const std::vector<ItemSpec>& items, const std::string& field) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            Made(items[i], field + "[" + std::to_string(i) + "]");
        }
    }
    void Made(const NpcSpec& npc, const std::string& field) {
        Made(npc.inventory, field + ".inventory");
    }

    // An item changed: it may become an item of another instance.
    void Changed(const ItemSpec& item, const std::string& field) {
        if (item.instance) {
            instanceOf_[item.id] = *item.instance;
        }
        Give(instanceOf_.at(item.id), item.instanceIndex, field + ".instanceIndex");
    }

private:
    Scenario& scenario_;
    std::string file_;
    std::map<std::string, std::string> instanceOf_;  // item id -> instance
};

void NumberInstances(Scenario& scenario) {
    InstanceNumbering numbering(scenario);
    for (const auto& [name, instance] : scenario.instances) {
        numbering.Give(name, instance.instanceIndex, "instances." + name + ".instanceIndex");
    }
    if (scenario.world.player) {
        numbering.Made(*scenario.world.player, "world.player");
    }
    for (std::size_t i = 0; i < scenario.world.npcs.size(); ++i) {
        numbering.Made(scenario.world.npcs[i], "world.npcs[" + std::to_string(i) + "]");
    }
    numbering.Made(scenario.world.items, "world.items");
    for (std::size_t s = 0; s < scenario.timeline.size(); ++s) {
        const auto* world = std::get_if<WorldStep>(&scenario.timeline[s]);
        if (world == nullptr) {
            continue;
        }
        const std::string at = "timeline[" + std::to_string(s) + "].world";
        for (std::size_t i = 0; i < world->spawnNpcs.size(); ++i) {
            numbering.Made(world->spawnNpcs[i], at + ".spawn.npcs[" + std::to_string(i) + "]");
        }
        numbering.Made(world->spawnItems, at + ".spawn.items");
        for (const auto& [npc, items] : world->give) {
            numbering.Made(items, at + ".give." + npc);
        }
        for (std::size_t i = 0; i < world->updateItems.size(); ++i) {
            numbering.Changed(world->updateItems[i], at + ".items[" + std::to_string(i) + "]");
        }
    }
}

}  // namespace

Scenario ParseScenario(const std::string& text, const std::filesystem::path& file) {
    const std::string fileName = file.generic_string();
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& error) {
        const std::size_t end = std::min<std::size_t>(error.byte, text.size());
        const auto line =
            1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n');
        const std::size_t lineStart = text.rfind('\n', end == 0 ? 0 : end - 1);
        const std::size_t column = lineStart == std::string::npos ? end : end - lineStart - 1;
        throw ScenarioError(fileName, "",
                            "not valid JSON at line " + std::to_string(line) + ", column " +
                                std::to_string(column));
    } catch (const Json::out_of_range&) {
        // The parser refuses a number no double can hold (such as 5e5554) this way.
        throw ScenarioError(fileName, "", "not valid JSON: a number too large for any number");
    }
    Scenario scenario;
    scenario.file = file;
    Fields f(root, "", fileName);
    scenario.name = f.Optional<std::string>("name").value_or(file.stem().string());
    scenario.engineVersion = ReadEngine(f);
    scenario.language = f.Optional<int>("language").value_or(0);
    scenario.codePage = f.Optional<int>("codePage").value_or(CodePageOfLanguage(scenario.language));
    scenario.startTime = f.Optional<std::uint32_t>("startTime").value_or(0);
    if (const Json* screen = f.Get("screen")) {
        Fields s(*screen, "screen", fileName);
        scenario.screenWidth = s.Optional<int>("width").value_or(1920);
        scenario.screenHeight = s.Optional<int>("height").value_or(1080);
        s.Done();
        if (scenario.screenWidth <= 0 || scenario.screenHeight <= 0) {
            f.Fail("screen", "expected a positive width and height");
        }
    }
    if (const auto folder = f.Optional<std::string>("gameFolder")) {
        scenario.gameFolder = file.parent_path() / *folder;
        if (!std::filesystem::is_directory(*scenario.gameFolder)) {
            f.Fail("gameFolder", "no such folder: " + scenario.gameFolder->generic_string());
        }
    }
    scenario.files = ReadFiles(f);
    if (const Json* folders = f.Get("savegameFolders")) {
        Fields slots(*folders, "savegameFolders", fileName);
        for (const auto& [slot, name] : folders->items()) {
            if (!CStringA(slot).IsNumber()) {
                slots.Fail(slots.PathOf(slot), "expected a slot number");
            }
            scenario.savegameFolders[CStringA(slot).ToInt32(10)] =
                slots.Required<std::string>(slot);
        }
    }
    if (const auto copies = f.Optional<std::string>("slotCopies")) {
        if (*copies != "allFiles" && *copies != "gameFiles") {
            f.Fail("slotCopies", "expected \"allFiles\" or \"gameFiles\"");
        }
        scenario.copiesAllSlotFiles = *copies == "allFiles";
    }
    scenario.addMissingOptions = f.Optional<bool>("addMissingOptions").value_or(true);
    scenario.missingEngineFunctions = f.Optional<std::vector<std::string>>("missingEngineFunctions")
                                          .value_or(std::vector<std::string>{});
    scenario.gameData = ReadGameData(f);
    scenario.instances = ReadInstances(f);
    if (const Json* world = f.Get("world")) {
        Fields w(*world, "world", fileName);
        if (const Json* player = w.Get("player")) {
            Fields p(*player, "world.player", fileName);
            scenario.world.player = ReadNpc(p, true);
            RefusePackedInventory(p, *scenario.world.player,
                                  "the game never packs the player's inventory");
            p.Done();
        }
        EachObject(w, "npcs",
                   [&scenario](Fields& npc) { scenario.world.npcs.push_back(ReadNpc(npc, true)); });
        EachObject(w, "items", [&scenario](Fields& item) {
            scenario.world.items.push_back(ReadItem(item, true));
        });
        EachObject(w, "containers", [&scenario](Fields& chest) {
            scenario.world.containers.push_back(ReadContainer(chest, true));
        });
        scenario.world.symbols = ReadSymbols(w, "symbols");
        scenario.world.scripts = ReadScripts(w);
        scenario.world.focusRanges = ReadFocusRanges(w);
        scenario.world.game = ReadGame(w, "game");
        scenario.world.camera = ReadCamera(w);
        scenario.world.blockers = ReadBlockers(w);
        scenario.world.roomRegistry = ReadRoomRegistry(w).value_or(std::nullopt);
        scenario.world.transformedFrom = w.Optional<std::string>("transformedFrom");
        scenario.world.name = w.Optional<std::string>("name");
        if (scenario.world.name && scenario.world.name->empty()) {
            w.Fail(w.PathOf("name"), "expected the world's file name, such as NEWWORLD.ZEN");
        }
        if (const Json* empty = w.Get("emptyNodes")) {
            Fields e(*empty, "world.emptyNodes", fileName);
            scenario.world.emptyNodes.items = ReadEmptyNodes(e, "items");
            scenario.world.emptyNodes.npcs = ReadEmptyNodes(e, "npcs");
            e.Done();
        }
        w.Done();
    }
    EachObject(f, "timeline",
               [&scenario](Fields& step) { scenario.timeline.push_back(ReadStep(step)); });
    f.Done();
    CheckIds(scenario);
    CheckScreenshotNames(scenario);
    CheckWornItems(scenario);
    NumberInstances(scenario);
    CheckScripts(scenario);
    return scenario;
}

Scenario LoadScenario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ScenarioError(file.generic_string(), "", "cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str(), file);
}

}  // namespace pilfern::sim
