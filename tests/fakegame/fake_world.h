#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fakegame/fake_process.h"
#include "host/ini_file.h"

namespace pilfern::fakegame {

// The engine's types of the objects the plugin loots.
inline constexpr int kVobTypeMob = 128;
inline constexpr int kVobTypeItem = 129;
inline constexpr int kVobTypeNpc = 130;

// An item definition of the game's scripts, as the fake game knows it.
struct FakeItemInstance {
    std::string instanceName;
    std::string name;
    std::uint32_t flags = 0;
    std::uint32_t category = 0;
};

struct FakePosition {
    float x = 0.0F;
    float y = 0.0F;
    float z = 0.0F;
};

// The folder of a savegame slot below the savegames' folder, as the engine names it.
[[nodiscard]] std::string EngineSlotFolder(int slot);

// What the fake game keeps of one engine object beside its engine memory.
struct FakeObject {
    enum class Kind { Item, Npc, Chest, Other };
    Kind kind = Kind::Other;
    std::uint32_t classRecord = 0;  // the engine's record of the object's class
    std::string id;
    std::string instanceName;
    std::string name;
    FakePosition position;
    std::vector<std::uint32_t> memory;  // the object as the engine lays it out
    std::vector<std::uint32_t> table;   // its virtual table
    std::deque<std::string> texts;      // the texts its engine strings point at
    bool inWorld = false;
    // NPCs
    bool dead = false;
    int bodyState = 0;
    FakeObject* focus = nullptr;         // what the NPC's AI focuses
    std::vector<FakeObject*> focusList;  // what a refresh focuses next, the first still there
    FakeObject* model = nullptr;
    FakeObject* events = nullptr;
    FakeObject* owner = nullptr;  // the NPC an inventory lies in
    // Chests
    int state = 0;
    std::vector<std::string> messages;  // what an event manager was handed

    [[nodiscard]] std::uint32_t Address() const;
};

// The game's process with a world in it: the fake process of one engine version, its engine
// objects laid out at the version's offsets with virtual tables of the version's slots, and a
// behaviour for every engine function and slot the plugin reaches while looting. Each
// behaviour answers as the game's function does (a squared distance where the engine gives
// one, a stack joined where the engine joins it); one the fake game does not model stops the
// scene with a fault naming it, never with a made-up answer.
//
// The plugin drives it through the bound engine: nothing here is reached but through the
// engine's own addresses, slots and offsets.
class FakeWorld {
public:
    FakeWorld(FakeProcess& process, const std::string& gothicIni);
    ~FakeWorld();
    FakeWorld(const FakeWorld&) = delete;
    FakeWorld& operator=(const FakeWorld&) = delete;
    FakeWorld(FakeWorld&&) = delete;
    FakeWorld& operator=(FakeWorld&&) = delete;

    // ---- Building the world ----
    void DefineItem(const FakeItemInstance& instance);
    FakeObject& AddHero(std::string_view id, std::string_view instance, std::string_view name,
                        FakePosition at);
    FakeObject& AddNpc(std::string_view id, std::string_view instance, std::string_view name,
                       FakePosition at);
    FakeObject& AddGroundItem(std::string_view id, std::string_view instance, int amount,
                              FakePosition at);
    void GiveItem(FakeObject& npc, std::string_view id, std::string_view instance, int amount);
    FakeObject& AddChest(std::string_view id, std::string_view instance, std::string_view name,
                         FakePosition at, int states);
    void PutInChest(FakeObject& chest, std::string_view id, std::string_view instance, int amount);
    // An NPC dead on the ground, playing a death animation.
    void Kill(FakeObject& npc, int bodyState, std::string_view animation);
    // The NPC's model, playing the animation in its first channel.
    void Animate(FakeObject& npc, std::string_view animation);
    void SetFocus(FakeObject& npc, FakeObject* focus);
    void HoldKeys(const std::set<int>& keys);

    // ---- What the game does every frame ----
    // The player's AI collects its focus, before the frame's event.
    void CollectPlayerFocus();

    // ---- The game's own code around the plugin ----
    // The module's exported event functions the framework calls, by slot (1 to 21); none sends
    // events nowhere.
    using EventFunctions = std::array<void (*)(), 21>;
    void DeliverEventsThrough(const std::optional<EventFunctions>& events) { events_ = events; }
    void Fire(int slot) const;
    // The engine's base folder (where its options say the game lies), ending in a separator.
    void SetBaseFolder(std::string_view folder);
    // Makes a savegame slot's folder below the base folder, as the engine's save does.
    void MakeSlotFolder(int slot) const;
    // Code of the engine that reaches the function of a fact ("hook:save(...)"): a jump to it
    // in the image's code, as a linker's thunk is. A patch of the function's references
    // rewrites it.
    [[nodiscard]] std::uint32_t CallerOf(std::string_view fact) const;
    // A virtual table of the engine in the image's data whose entries are the functions of
    // these facts, in this order: the game's ChangeLevel and the input's SetState.
    static constexpr std::array<std::string_view, 2> kTableEntries{
        "hook:change_level(oCGame::ChangeLevel)", "hook:replace(zCInput_Win32::SetState)"};
    [[nodiscard]] std::uint32_t TableEntry(std::string_view fact) const;
    // A key the input's SetState was told of.
    void SetKey(int key, bool down);
    // What the engine's PrintChars put on the screen, each text with the width its font gave.
    struct DrawnText {
        std::string text;
        int x = 0;
        int y = 0;
        int width = 0;
    };
    [[nodiscard]] const std::vector<DrawnText>& Drawn() const { return drawn_; }
    void Draw(DrawnText text) { drawn_.push_back(std::move(text)); }
    [[nodiscard]] std::uint32_t DirectoryText(int setting) const;

    // ---- What a scene checks ----
    [[nodiscard]] FakeObject& Find(std::string_view id) const;
    [[nodiscard]] FakeObject* FindObject(std::string_view id) const;  // none when there is none
    // The amount of an instance in an NPC's inventory, a chest, or on the ground.
    [[nodiscard]] int AmountIn(const FakeObject& place, std::string_view instance) const;
    [[nodiscard]] int AmountOnGround(std::string_view instance) const;
    // Calls the fake game could not answer, and faults of the calls it could.
    [[nodiscard]] const std::vector<std::string>& Faults() const { return faults_; }

    // ---- The behaviours' side ----
    struct Behaviour;
    void Answer(const FakeCall& call, FakeAnswers& answers);
    void Fault(std::string text) { faults_.push_back(std::move(text)); }
    [[nodiscard]] FakeObject* ObjectAt(std::uint32_t address) const;
    [[nodiscard]] std::uint32_t Offset(std::string_view fact) const;
    template <class T>
    void Write(FakeObject& object, std::uint32_t offset, const T& value);
    template <class T>
    [[nodiscard]] T Read(const FakeObject& object, std::uint32_t offset) const;
    void WriteText(FakeObject& object, std::uint32_t offset, std::string_view text);
    // A text made for a class result: lives as long as the world.
    [[nodiscard]] const char* Keep(std::string text);
    // Lists of engine nodes: a head at an address, nodes the fake game makes and frees.
    void Append(std::uint32_t head, const FakeObject& object);
    bool Unlink(std::uint32_t head, const FakeObject& object);
    [[nodiscard]] std::vector<FakeObject*> Walk(std::uint32_t head) const;
    // The inventory's list (Gothic I: its first list), the list an item goes to, what all its
    // lists hold, and an item taken out of its list.
    [[nodiscard]] std::uint32_t InventoryHead(const FakeObject& npc) const;
    [[nodiscard]] std::uint32_t InventoryHeadFor(const FakeObject& npc,
                                                 const FakeObject& item) const;
    [[nodiscard]] std::vector<FakeObject*> Inventory(const FakeObject& npc) const;
    bool TakeFromInventory(FakeObject& npc, const FakeObject& item);
    [[nodiscard]] bool GothicOne() const { return Version() <= 2; }
    [[nodiscard]] std::uint32_t ChestHead(const FakeObject& chest) const;
    [[nodiscard]] std::uint32_t WorldItemHead() const { return worldItems_; }
    [[nodiscard]] FakeObject* Holder(const FakeObject& item) const;
    [[nodiscard]] FakeObject* ChestHolding(const FakeObject& item) const;
    // Puts an item into an NPC's inventory as the engine does: a stackable item joins the
    // stack of its instance and is freed; answers what holds it now.
    FakeObject& Stow(FakeObject& npc, FakeObject& item);
    void RemoveFromWorld(FakeObject& object);
    [[nodiscard]] const FakeItemInstance* InstanceByIndex(int index) const;
    [[nodiscard]] const FakeItemInstance* InstanceByName(std::string_view name) const;
    [[nodiscard]] int IndexOf(std::string_view instanceName) const;
    FakeObject& MakeObject(FakeObject::Kind kind, std::string_view id,
                           std::string_view classRecord);
    FakeObject& MakeItem(std::string_view id, std::string_view instance, int amount);
    [[nodiscard]] std::optional<std::string> Option(std::string_view section,
                                                    std::string_view key) const;
    [[nodiscard]] bool KeyHeld(int key) const { return held_.contains(key); }
    [[nodiscard]] bool KeyToggled(int key) { return toggled_.erase(key) != 0; }
    void ClearKeyBuffer() { toggled_.clear(); }
    [[nodiscard]] FakeObject* Player() const { return player_; }
    [[nodiscard]] int Version() const { return process_.Version(); }
    [[nodiscard]] FakeProcess& Process() const { return process_; }
    // A view the engine made in memory its operator new gave.
    void MakeView(std::uint32_t memory);
    [[nodiscard]] std::uint32_t StringTable() const { return stringTable_; }

private:
    struct VobPlace {
        std::string_view id;
        std::string_view instance;
        std::string_view name;
        FakePosition at;
    };
    // An NPC or a chest placed in the world, with its visual.
    FakeObject& PlaceVob(FakeObject::Kind kind, const VobPlace& place, std::string_view classRecord,
                         int vobType);
    void PlaceBehaviours();
    void PlaceEngineCallers();
    [[nodiscard]] std::uint32_t FreeSpot(std::uint32_t begin, std::uint32_t end,
                                         std::uint32_t size) const;
    std::vector<std::uint32_t> TableFor(std::string_view kindOfClass);
    FakeObject& MakeGlobal(std::string_view id, std::string_view global);

    FakeProcess& process_;
    IniFile ini_;  // Gothic.ini, as the engine's options hold it
    std::vector<std::unique_ptr<FakeObject>> objects_;
    std::map<std::uint32_t, FakeObject*> byAddress_;
    std::deque<std::array<std::uint32_t, 4>> nodes_;
    std::vector<std::array<std::uint32_t, 4>*> freeNodes_;
    std::deque<std::string> kept_;
    std::vector<FakeItemInstance> instances_;
    std::map<std::uint32_t, const Behaviour*> behaviours_;   // by target
    std::map<const Behaviour*, std::uint32_t> trampolines_;  // a slot's code, by behaviour
    std::vector<std::string> faults_;
    std::set<int> held_;
    std::set<int> toggled_;
    std::uint32_t stringTable_ = 0;
    std::uint32_t worldItems_ = 0;
    std::uint32_t worldNpcs_ = 0;
    FakeObject* player_ = nullptr;
    FakeObject* world_ = nullptr;
    FakeObject* directories_ = nullptr;  // the engine options' folders, as engine strings
    std::optional<EventFunctions> events_;
    std::string baseFolder_;
    std::map<std::string, std::uint32_t, std::less<>> callers_;
    std::uint32_t table_ = 0;
    std::vector<DrawnText> drawn_;
};

template <class T>
void FakeWorld::Write(FakeObject& object, std::uint32_t offset, const T& value) {
    if (offset + sizeof(T) > object.memory.size() * sizeof(std::uint32_t)) {
        Fault("a field beyond the memory of " + object.id);
        return;
    }
    std::memcpy(reinterpret_cast<char*>(object.memory.data()) + offset, &value, sizeof(T));
}

template <class T>
T FakeWorld::Read(const FakeObject& object, std::uint32_t offset) const {
    T value{};
    if (offset + sizeof(T) <= object.memory.size() * sizeof(std::uint32_t)) {
        std::memcpy(&value, reinterpret_cast<const char*>(object.memory.data()) + offset,
                    sizeof(T));
    }
    return value;
}

}  // namespace pilfern::fakegame
