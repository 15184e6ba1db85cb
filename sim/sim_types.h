#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/engine.h"
#include "host/ini_file.h"

// The simulated engine's own side of the engine classes. The plugin sees them only through
// the engine contract; the simulator and its tests look inside.

namespace pilfern::sim {
class SimEngine;
}

// A node of an engine list: an object reference (possibly none) and the next node.
template <class T>
class zCListSort {
public:
    T* data = nullptr;
    zCListSort* next = nullptr;
};

namespace pilfern::sim {

// What every simulated world object has.
struct VobData {
    std::string id;            // the scenario's id
    std::string instanceName;  // script instance name, as the engine reports it
    zVEC3 position;
    bool inWorld = true;                  // placed in a world (has a home world)
    bool hasVisual = true;                // has a visual
    std::optional<std::string> roomName;  // the room the object stands in, if any
    int flagBits = 0;                     // the two low vob bits the plugin reads
};

class SimItem;
class SimNpc;

// A singly linked list of engine nodes that owns its nodes. Taking an object out unlinks
// and frees its node, as the engine does. A list may also hold empty nodes, nodes without an
// object: the game's lists have them, and whoever walks a list must pass over them.
template <class T>
class NodeList {
public:
    [[nodiscard]] const zCListSort<T>* First() const { return first_; }

    // Appending and asking for an object take the same time whatever the list's length, so
    // that worlds of a hundred thousand items can be built and measured.
    void Append(T* object) {
        zCListSort<T>* node = NewNode();
        node->data = object;
        if (first_ == nullptr) {
            first_ = node;
        } else {
            last_->next = node;
        }
        last_ = node;
        ++held_[object];
    }

    // Puts an empty node at `place` (0 is the first node); a place past the end puts it at
    // the end.
    void InsertEmpty(std::size_t place) {
        zCListSort<T>* node = NewNode();
        zCListSort<T>** link = &first_;
        for (; place > 0 && *link != nullptr; --place) {
            link = &(*link)->next;
        }
        node->next = *link;
        *link = node;
        if (node->next == nullptr) {
            last_ = node;
        }
    }

    // Empty nodes at each of `places`, counted in the list they make, in ascending order.
    void InsertEmpty(const std::vector<int>& places) {
        for (const int place : places) {
            InsertEmpty(static_cast<std::size_t>(place));
        }
    }

    [[nodiscard]] bool Contains(const T* object) const { return held_.contains(object); }

    // Unlinks and frees the first node holding `object`; answers whether there was one. Like
    // the game's, it walks the list to the node; unlinking and freeing it cost no more.
    bool Remove(const T* object) {
        if (object == nullptr) {
            return false;  // an empty node is not an object to take out
        }
        zCListSort<T>** link = &first_;
        zCListSort<T>* before = nullptr;
        while (*link != nullptr && (*link)->data != object) {
            before = *link;
            link = &(*link)->next;
        }
        zCListSort<T>* node = *link;
        if (node == nullptr) {
            return false;
        }
        *link = node->next;
        if (last_ == node) {
            last_ = before;
        }
        if (--held_[object] == 0) {
            held_.erase(object);
        }
        storage_.erase(node);
        return true;
    }

    void Clear() {
        first_ = nullptr;
        last_ = nullptr;
        held_.clear();
        storage_.clear();
    }

    // No node at all, not even an empty one.
    [[nodiscard]] bool Empty() const { return first_ == nullptr; }
    // No object, whatever empty nodes there are.
    [[nodiscard]] bool HoldsNone() const { return held_.empty(); }

    // The objects in list order, without the empty nodes.
    [[nodiscard]] std::vector<T*> Objects() const {
        std::vector<T*> objects;
        for (const zCListSort<T>* node = first_; node != nullptr; node = node->next) {
            if (node->data != nullptr) {
                objects.push_back(node->data);
            }
        }
        return objects;
    }

private:
    zCListSort<T>* NewNode() {
        auto owned = std::make_unique<zCListSort<T>>();
        zCListSort<T>* node = owned.get();
        storage_.emplace(node, std::move(owned));
        return node;
    }

    zCListSort<T>* first_ = nullptr;
    zCListSort<T>* last_ = nullptr;
    // How many nodes hold each object.
    std::unordered_map<const T*, int> held_;
    // The nodes, by address, so that freeing one does not search them.
    std::unordered_map<const zCListSort<T>*, std::unique_ptr<zCListSort<T>>> storage_;
};

class SimItem final : public oCItem {
public:
    VobData vob;
    int instanceIndex = -1;
    int amount = 1;
    std::uint32_t mainCategory = 0;
    std::uint32_t flags = 0;
    std::uint32_t nbQuestWord = 0;
    zSTRING name;
    zSTRING textField;
    zSTRING displayName;
    zSTRING arrowText;
    int munition = 0;
    int armorWord = 0;
    bool groundCheck = true;
    // The NPC in whose hand the item is (a drawn weapon, a burning torch): the item then hangs in
    // the world as a part of that NPC, not on the ground. None otherwise.
    SimNpc* inHandOf = nullptr;
    std::uint32_t flagsOfHand = 0;  // the flags the hand added, which it takes back
    // The stack this item joined in an inventory, by id: the game then frees the item, and
    // any later use of it stops the simulated game. None while the item exists.
    std::optional<std::string> joinedStack;
};

}  // namespace pilfern::sim

class oCNpcInventory {
public:
    // What the inventory holds.
    pilfern::sim::NodeList<oCItem> entries;
    // The walkable item list the engine builds from the entries when asked to prepare the
    // inventory: empty before the first preparation, and as it was at the last one after
    // the entries change.
    pilfern::sim::NodeList<oCItem> itemList;
    bool open = false;
    // The NPC whose inventory this is, as the engine's inventory knows its owner.
    oCNpc* owner = nullptr;
    // A packed inventory, as a savegame load leaves every NPC's but the player's: the items it
    // does not wear are kept as the engine's packed text, not in its lists, until the engine
    // unpacks them (SimEngine::UnpackInventory). `packedItems` are the items that text names,
    // in its order.
    bool packed = false;
    pilfern::sim::NodeList<oCItem> packedItems;

    // Everything the inventory holds, packed or not: its entries, then what is packed.
    [[nodiscard]] std::vector<oCItem*> Held() const {
        std::vector<oCItem*> held = entries.Objects();
        const std::vector<oCItem*> inPack = packedItems.Objects();
        held.insert(held.end(), inPack.begin(), inPack.end());
        return held;
    }
    // A Gothic I inventory also keeps its items by category, in nine lists the engine holds in
    // step with what the inventory holds (see SimEngine::eng_inventory_category_lists). Brought
    // up to date when asked for, so the lists change under a const inventory.
    mutable std::array<pilfern::sim::NodeList<oCItem>, 9> categoryLists;
};

class zCModel {
public:
    std::vector<std::string> activeAnimations;
};

// An NPC's event manager: the messages handed to it, in order, with the object each came from.
class zCEventManager {
public:
    struct Received {
        zCEventMessage* message = nullptr;
        zCVob* source = nullptr;
    };
    std::vector<Received> received;
};

namespace pilfern::sim {

// An NPC of the world. The engine makes most NPCs as plain oCNpc; SimNpcEx is the
// framework's extended NPC record, which only some NPCs are. Every simulated NPC is laid out as
// the widest engine NPC class (oCNpcEx, which is an oCNpc at the same address, as in the
// game), so that whichever of the two the engine's class test lets the plugin see it as, the
// plugin holds the object's own address and a real object of that C++ class. What an NPC is
// is the engine's answer (eng_object_class_is: SimNpcEx or not), never its C++ class.
class SimNpc : public oCNpcEx {
public:
    VobData vob;
    std::string name;
    int hitpoints = 1;
    int bodyState = 0;
    bool dead = false;  // the engine's own death state, kept apart from hit points
    bool unconscious = false;
    bool inBattle = false;
    bool queryA = true;
    bool queryB = false;
    int lootBlock = 0;
    // The interactive object the NPC is bound to (the game's interactMob: binding an NPC to a
    // chest sets it, and it is what the "interacting" query reads), and the item it uses.
    const zCVob* interactionA = nullptr;
    const zCVob* interactionB = nullptr;
    // What the engine's focus query answers, and the NPC's focus field. The engine's focus
    // changes set both; they differ while the field lags behind or runs ahead.
    zCVob* focusVob = nullptr;
    zCVob* focusField = nullptr;
    // Where the NPC looks; only its course along the ground (x and z) counts. The engine's
    // focus refresh looks for objects in front of it.
    zVEC3 facing{0, 0, 1};
    // The objects the engine's focus refresh picks in turn, when a scenario gives them; without
    // them the refresh picks the nearest focusable object in front.
    std::optional<std::vector<zCVob*>> focusList;
    zCEventManager events;
    oCNpcInventory inventory;
    zCModel model;
    bool hasModel = true;  // an NPC whose model is not loaded has none
    // The weapon the NPC holds drawn (in its right hand) and its equipped ranged weapon: worn
    // items of its inventory, or none.
    SimItem* drawnWeapon = nullptr;
    SimItem* rangedWeapon = nullptr;
    // What the NPC holds in its left hand, such as a burning torch: a worn item of its inventory,
    // or none. What an NPC holds in a hand is also an object of the world (SimEngine::Hold).
    SimItem* leftHand = nullptr;
};

class SimNpcEx final : public SimNpc {
public:
    std::array<int, 3> exMarkers{};
};

// A state change of an interactive object that has begun and not ended yet.
struct StateChange {
    const oCNpc* user = nullptr;
    int from = 0;
    int to = 0;
};

// A chest of the world.
class SimContainer final : public oCMobContainer {
public:
    VobData vob;
    zSTRING shownName;  // the name the game shows; without character buffer when it has none
    NodeList<oCItem> items;
    std::uint32_t lockFlags = 0;  // bit 0: locked
    zSTRING keyInstance{""};      // the instance name of its key; empty when it has none
    // The script function that decides whether it may be used; without buffer when none.
    zSTRING conditionFunction;
    // The states after the closed one: a chest that opens has 1. Its state changes go between
    // 0 and stateCount.
    int stateCount = 1;
    int state = 0;
    std::optional<StateChange> changing;  // the state change begun and not ended yet
};

// A conversation message the engine made: what it plays, for which object, and how.
class SimConversationMessage final : public oCMsgConversation {
public:
    int number = 0;  // the order in which the engine made its messages, from 1
    int subtype = 0;
    zSTRING name;
    zCVob* target = nullptr;
    int flag = 0;
};

}  // namespace pilfern::sim

namespace pilfern::sim {

class SimTexture final : public zCTexture {
public:
    std::string name;
    int references = 0;
};

class SimWorldObject final : public zCWorld {};
class SimVisual final : public zCVisual {};

// One line of text held by a view until its text is cleared (or its display time ends).
struct ViewText {
    int x = 0;
    int y = 0;
    std::string text;
    zCOLOR color;
    bool centeredX = false;
    std::optional<std::uint32_t> expiresAt;
};

}  // namespace pilfern::sim

class zCFont {
public:
    std::string name;
    int height = 0;  // pixels
    // Glyph width in pixels at the font's design height, by character code.
    std::array<int, 256> widths{};
    int designHeight = 0;
};

class zCView {
public:
    int id = 0;
    bool isScreen = false;
    int kind = 0;
    int x = 0;  // virtual units
    int y = 0;
    int width = 8192;
    int height = 8192;
    zCTexture* texture = nullptr;
    std::string textureName;
    int blendMode = 0;
    zCFont* font = nullptr;
    zCOLOR fontColor{255, 255, 255, 255};
    std::vector<pilfern::sim::ViewText> texts;
    bool onScreen = false;
    int windowLines = 0;  // lines added by window printing since the text was cleared
    pilfern::sim::SimEngine* engine = nullptr;
};

class oCGame {
public:
    bool paused = false;
};

class oCInformationManager {
public:
    bool conversationRunning = false;
};

class zCInput {
public:
    static constexpr int kKeyCount = 600;
    std::array<bool, kKeyCount> held{};
    std::array<bool, kKeyCount> toggled{};
    std::vector<int> keyBuffer;  // presses of this frame the game has not handled yet
    // The mouse device's own right-button state. Key 525 of the key table follows it only
    // through SetState, which a patch may change.
    bool mouseRightDown = false;
};

class zCInput_Win32 final : public zCInput {};

class zCPar_Symbol {
public:
    // What the scripts declared: an integer variable, a function, or an instance variable such
    // as SELF that holds an object.
    enum class Kind { Variable, Function, Instance };
    std::string name;
    Kind kind = Kind::Variable;
    // A variable's value; for a function, where its code starts in the parser's code stack.
    int value = 0;
    int result = 0;                // what a function answers when it is called
    zCObject* instance = nullptr;  // the object an instance variable holds
};

// How the engine focuses one kind of object in a focus mode: how far away, how far to either
// side of where the NPC looks, and with which priority (of the objects in range, one of the
// highest priority is focused; a kind of priority -1 is never focused in that mode).
struct FocusKindSettings {
    float range = 0.0F;    // world units
    float azimuth = 0.0F;  // degrees to either side
    int priority = -1;
};

// The engine's focus settings of one focus mode, as the game's scripts (C_Focus instances) give
// them. The defaults are those of Focus_Normal, the mode of an NPC with no weapon drawn.
class oCNpcFocus {
public:
    FocusKindSettings items{400.0F, 40.0F, 2};
    FocusKindSettings npcs{300.0F, 45.0F, 1};
    FocusKindSettings mobs{350.0F, 45.0F, 1};
    // How far an NPC already in focus stays in focus.
    float npcLongRange = 500.0F;
};

class zCOption {
public:
    // One question asked of the options object: which reader, section and key.
    struct Read {
        std::string reader;  // "int", "bool" or "string"
        std::string section;
        std::string key;
        friend bool operator==(const Read&, const Read&) = default;
    };

    // Gothic.ini as the game keeps it from its start on; the game writes it back at exit.
    pilfern::IniFile ini;
    // Whether the readers add a key they do not find, with the default they were given, as
    // the game's own do (that is how a plugin's section appears in a player's Gothic.ini).
    bool addMissingKeys = true;
    std::array<std::string, 32> directories{};
    std::vector<Read> reads;  // in the order asked
};

class zCParser {
public:
    std::vector<std::unique_ptr<zCPar_Symbol>> symbols;
};

// The game's camera. The game places it behind the player, looking where the player looks,
// unless a scenario puts it somewhere; its world-to-camera matrix is brought up to date when
// the game draws its world and when asked to.
class zCCamera {
public:
    zVEC3 position;
    zVEC3 direction{0, 0, 1};  // not straight up or down
    bool followsPlayer = true;
    float fieldOfView = 90.0F;  // degrees across the screen's width
    float nearPlane = 1.0F;     // world units in front of the camera
    // Whether it is the active camera; the game has none while a world loads.
    bool active = true;
    zMAT34 view;  // world to camera, as of the last update
};

// A room the game keeps a record of, by the name the world gives it.
class oCPortalRoom {
public:
    std::string name;
};

// The game's registry of the rooms it keeps records of (rooms with an owner).
class oCPortalRoomManager {
public:
    std::vector<oCPortalRoom> rooms;
};

namespace pilfern::sim {

// Something that stands in the way of sight, such as a wall or a hut: the box between two
// corners. Lines that only touch its faces pass.
struct Blocker {
    std::string id;
    zVEC3 min;
    zVEC3 max;
};

}  // namespace pilfern::sim
