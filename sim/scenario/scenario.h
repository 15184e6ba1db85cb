#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace pilfern::sim {

// A scenario that cannot be played: the file, the field and what is wrong with it.
class ScenarioError : public std::runtime_error {
public:
    ScenarioError(const std::string& file, const std::string& field, const std::string& problem)
        : std::runtime_error(file + ": " + (field.empty() ? "" : field + ": ") + problem) {}
};

using Position = std::array<float, 3>;
// An item script instance, by its name or by its script number.
using InstanceRef = std::variant<int, std::string>;

// An item of the world or of an inventory. In world updates only the fields given change.
struct ItemSpec {
    std::string id;
    std::optional<std::string> instance;
    std::optional<int> instanceIndex;
    std::optional<std::string> name;
    std::optional<std::string> text;
    std::optional<std::string> displayName;
    std::optional<std::string> arrowText;
    std::optional<int> amount;
    std::optional<std::uint32_t> category;
    std::optional<std::uint32_t> flags;
    std::optional<std::uint32_t> questWord;
    std::optional<InstanceRef> munition;
    std::optional<int> armor;
    std::optional<int> vobBits;
    std::optional<Position> position;
    std::optional<bool> inWorld;
    std::optional<bool> visual;
    std::optional<bool> groundCheck;
    std::optional<std::optional<std::string>> room;  // a room name, or null for none
    std::optional<bool> worn;                        // worn by the NPC whose inventory holds it
};

// An item script instance as the game's scripts define it: every item of it is made so.
struct InstanceDefinition {
    std::optional<int> instanceIndex;
    std::optional<std::string> name;
    std::optional<std::string> text;
    std::optional<std::string> displayName;
    std::optional<std::string> arrowText;
    std::optional<std::uint32_t> category;
    std::optional<std::uint32_t> flags;
    std::optional<std::uint32_t> questWord;
    std::optional<InstanceRef> munition;
    std::optional<int> armor;
};

// An NPC (the player is one). In world updates only the fields given change.
struct NpcSpec {
    std::string id;
    std::optional<std::string> instance;
    std::optional<std::string> name;
    std::optional<Position> position;
    std::optional<int> hitpoints;
    std::optional<int> bodyState;
    std::optional<bool> dead;
    std::optional<bool> unconscious;
    std::optional<bool> inBattle;
    std::optional<int> lootBlock;
    std::optional<bool> queryA;
    std::optional<bool> queryB;
    std::optional<bool> interacting;
    std::optional<bool> inventoryOpen;
    std::optional<bool> inventoryPacked;  // at creation only: packed as a savegame load leaves it
    std::optional<bool> inWorld;
    std::optional<bool> visual;
    std::optional<std::optional<std::string>> room;
    std::optional<std::optional<std::string>> focus;       // id of the focused object, or null
    std::optional<std::optional<std::string>> focusField;  // the focus field, when apart
    std::optional<Position> facing;                        // where it looks, along the ground
    std::optional<std::vector<std::string>> focusList;     // what the focus refresh picks in turn
    std::optional<std::vector<std::string>> animations;
    std::optional<bool> model;     // false: its model is not loaded, the engine answers none
    std::optional<bool> extended;  // at creation only
    std::optional<std::array<int, 3>> markers;
    std::vector<ItemSpec> inventory;       // at creation only
    std::vector<int> emptyInventoryNodes;  // places of empty nodes in the inventory, at creation
    // Ids of worn items of its inventory, or null: the weapon it holds drawn, its ranged one,
    // and what it holds in its left hand (such as a burning torch).
    std::optional<std::optional<std::string>> drawnWeapon;
    std::optional<std::optional<std::string>> rangedWeapon;
    std::optional<std::optional<std::string>> leftHand;
};

// A chest. In world updates only the fields given change.
struct ContainerSpec {
    std::string id;
    std::optional<std::string> instance;
    std::optional<std::optional<std::string>> name;  // the shown name, or null for none
    std::optional<Position> position;
    std::optional<bool> locked;
    std::optional<std::optional<std::string>> key;        // its key's instance, or null for none
    std::optional<std::optional<std::string>> condition;  // a script function, or null for none
    std::optional<int> states;
    std::optional<int> state;
    std::optional<int> vobBits;
    std::optional<bool> inWorld;
    std::optional<bool> visual;
    std::optional<std::optional<std::string>> room;
    std::vector<ItemSpec> items;  // at creation only
    std::vector<int> emptyNodes;  // places of empty nodes in its item list, at creation only
};

// The game's scripts: functions by name with the result they answer.
struct ScriptsSpec {
    std::map<std::string, int> functions;
};

// The engine's focus settings: how far each kind of object can be focused, in world units.
struct FocusRangesSpec {
    std::optional<float> items;
    std::optional<float> npcs;
    std::optional<float> mobs;
};

// The game camera. Giving a position puts it there for good; `followPlayer` gives it back to
// the game, which keeps it behind the player. In world updates only the fields given change.
struct CameraSpec {
    std::optional<Position> position;
    std::optional<Position> direction;
    std::optional<bool> followPlayer;
    std::optional<float> fieldOfView;  // degrees across the screen
    std::optional<float> nearPlane;
    std::optional<bool> active;
};

// Something that blocks sight: the box between two corners.
struct BlockerSpec {
    std::string id;
    Position min{};
    Position max{};
};

// The rooms the game's room registry keeps records of, by name as the world spells them.
struct RoomRegistrySpec {
    std::vector<std::string> rooms;
};

struct GameSpec {
    std::optional<bool> paused;
    std::optional<bool> conversation;
    std::optional<int> uiBlock;
};

// Empty nodes in the world's lists, by their place once the world is built (0 is the first
// node; a place past the end is the end).
struct EmptyNodesSpec {
    std::vector<int> items;
    std::vector<int> npcs;
};

struct WorldSpec {
    std::optional<NpcSpec> player;
    std::vector<NpcSpec> npcs;
    std::vector<ItemSpec> items;
    std::vector<ContainerSpec> containers;
    std::map<std::string, int> symbols;
    ScriptsSpec scripts;
    FocusRangesSpec focusRanges;
    GameSpec game;
    CameraSpec camera;
    std::vector<BlockerSpec> blockers;
    std::optional<RoomRegistrySpec> roomRegistry;  // none: the game has no registry
    EmptyNodesSpec emptyNodes;
    std::optional<std::string> name;  // the world's file ("NEWWORLD.ZEN"); none: the game's first
    // The hero's own body, by id, when the world starts with the player transformed.
    std::optional<std::string> transformedFrom;
};

// What the game's data holds, when the scenario says: fonts (the first is the screen's),
// textures and the visual effects its scripts define. Each list given replaces the simulated
// installation's own.
struct FontSpec {
    std::string name;
    int height = 20;
};
struct GameDataSpec {
    std::optional<std::vector<FontSpec>> fonts;
    std::optional<std::vector<std::string>> textures;
    std::optional<std::vector<std::string>> visualEffects;
};

// Timeline steps.
struct FramesStep {
    int frames = 1;
    int ms = 16;
    std::vector<int> hold;
    std::vector<int> press;
};
struct SaveStep {
    int slot = 0;
    // The slot the framework's record names instead (-3: none); none: the slot saved.
    std::optional<int> recordSlot;
    std::optional<std::uintmax_t> diskSpace;
};
struct LoadStep {
    int slot = 0;
    std::optional<int> recordSlot;  // as for a save
};
// The player starts a new game.
struct NewGameStep {};
// The player walks into a level-change trigger.
struct ChangeLevelStep {
    std::string world;  // the world file entered ("OLDWORLD.ZEN")
    std::string wayPoint;
};
struct OptionsStep {
    // section -> key -> value, set in the game's options object before the event fires
    std::map<std::string, std::map<std::string, std::string>> values;
};
// A file the player puts into the game folder: its text (UTF-8 in the scenario) and how it is
// stored: in the game's code page, as the game's own text files are, or as UTF-8.
struct PlayerFile {
    std::string text;
    bool utf8 = false;
};
// Files the player writes into the game folder while the game runs.
struct FilesStep {
    std::map<std::string, PlayerFile> files;
};
struct WorldStep {
    std::vector<NpcSpec> updateNpcs;
    std::vector<ItemSpec> updateItems;
    std::vector<NpcSpec> spawnNpcs;
    std::vector<ItemSpec> spawnItems;
    std::vector<ContainerSpec> updateContainers;
    std::vector<ContainerSpec> spawnContainers;
    std::vector<std::string> remove;
    std::map<std::string, int> symbols;
    ScriptsSpec scripts;
    FocusRangesSpec focusRanges;
    GameSpec game;
    CameraSpec camera;
    // The registry from now on: none when not given, null when the game has none from now on.
    std::optional<std::optional<RoomRegistrySpec>> roomRegistry;
    std::map<std::string, std::vector<ItemSpec>> give;  // new items, by the receiving NPC's id
    std::vector<std::string> take;                      // items taken out of the game
    std::vector<std::string> drop;                      // items dropped at their holder's feet
    std::optional<NpcSpec> transform;                   // the creature the player turns into
    bool transformBack = false;                         // the transformation ends
};
// A picture of what the player sees after the frames played so far, when screenshots are
// asked for; its name names the file.
struct ScreenshotStep {
    std::string name;
};
// A line of the scenario's own, told in the log where it stands: what comes next.
struct NoteStep {
    std::string text;
};
using Step = std::variant<FramesStep, SaveStep, LoadStep, NewGameStep, ChangeLevelStep, OptionsStep,
                          FilesStep, WorldStep, ScreenshotStep, NoteStep>;

struct Scenario {
    std::filesystem::path file;
    std::string name;
    int engineVersion = 4;
    int language = 0;
    int codePage = 1252;
    int screenWidth = 1920;
    int screenHeight = 1080;
    std::uint32_t startTime = 0;
    std::optional<std::filesystem::path> gameFolder;  // the installed game, read in place
    std::map<std::string, PlayerFile> files;          // placed over it
    // The savegame manager's own folder names by slot.
    std::map<int, std::string> savegameFolders;
    // Whether the engine's savegame copies take the files that are not its own.
    bool copiesAllSlotFiles = true;
    std::vector<std::string> missingEngineFunctions;
    // Whether the engine's option readers add a key they miss, with its default (the game's do).
    bool addMissingOptions = true;
    GameDataSpec gameData;
    // Item script instances by upper-case name, and the script numbers the scenario gives.
    std::map<std::string, InstanceDefinition> instances;
    std::map<std::string, int> instanceNumbers;
    WorldSpec world;
    std::vector<Step> timeline;
};

// Reads and checks a scenario file; throws ScenarioError naming the file and field.
[[nodiscard]] Scenario LoadScenario(const std::filesystem::path& file);
[[nodiscard]] Scenario ParseScenario(const std::string& text, const std::filesystem::path& file);

}  // namespace pilfern::sim
