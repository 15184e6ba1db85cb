#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/game_folder.h"
#include "sim/game_heaps.h"
#include "sim/redirects.h"
#include "sim/sim_engine.h"
#include "sim/sim_framework.h"

namespace pilfern::sim {

// The framework's event slots, in the order of its registration.
enum EventSlot : int {
    kEventEntry = 1,
    kEventInit,
    kEventExit,
    kEventPreLoop,
    kEventLoop,
    kEventPostLoop,
    kEventMenuLoop,
    kEventSaveBegin,
    kEventSaveEnd,
    kEventLoadBeginNewGame,
    kEventLoadEndNewGame,
    kEventLoadBeginSaveGame,
    kEventLoadEndSaveGame,
    kEventLoadBeginChangeLevel,
    kEventLoadEndChangeLevel,
    kEventLoadBeginTrigger,
    kEventLoadEndTrigger,
    kEventPause,
    kEventUnpause,
    kEventDefineExternals,
    kEventApplyOptions,
};
// The name the framework gives an event slot ("Game_SaveEnd"); empty for no slot.
[[nodiscard]] std::string_view EventName(int slot);

// What the engine does with the files of a savegame folder that are not its own (such as the
// plugin's history) when it empties "current" and copies a savegame into it on a load, copies
// "current" into a saved slot, or empties "current" for a new game. The game's documentation
// does not say.
enum class SlotCopies {
    AllFiles,   // the whole folder, whoever wrote its files
    GameFiles,  // only the engine's own files; others stay where they are
};

// One simulated game: the clock, the engine, the framework and the game folder they share.
// The game folder is the installed folder, when there is one, read in place, with the working
// folder laid over it: what the game writes lands in the working folder, which is also the
// engine's base directory.
class SimGame {
    // First, so that the framework can hold it from its construction on.
    GameFolder folder_;

public:
    SimGame(std::filesystem::path workingFolder, int engineVersion,
            std::optional<std::filesystem::path> installedFolder = std::nullopt);
    SimGame(const SimGame&) = delete;
    SimGame& operator=(const SimGame&) = delete;
    SimGame(SimGame&&) = delete;
    SimGame& operator=(SimGame&&) = delete;
    ~SimGame() = default;

    std::uint32_t clock = 0;
    RedirectTable redirects;
    SimEngine engine;
    SimFramework framework;

    // The bytes of a file of the game folder (working folder first, then the installed one);
    // none when neither has it.
    [[nodiscard]] std::optional<std::string> ReadGameFile(std::string_view relativePath) const;
    // The game writes a file of its folder: it lands in the working folder and counts as
    // written by the game. False when it could not be written.
    bool WriteGameFile(std::string_view relativePath, std::string_view bytes);
    // The files the game wrote, relative to its folder with '/', sorted.
    [[nodiscard]] std::vector<std::string> WrittenFiles() const { return folder_.Written(); }

    // Option values by section and key, in the game's code page.
    using OptionValues = std::map<std::string, std::map<std::string, std::string>>;

    // The game starts: System/Gothic.ini of the game folder becomes the engine's options
    // object, which the game keeps in memory from then on.
    void ReadGameIni();
    // The game's program starts, its framework having loaded the plugin modules: fires the
    // entry event, before the game itself is set up.
    void Entry();
    // The game has started: the renderer is up, options, screen and input exist; fires the
    // init event.
    void Init();
    // Looks at the game folder for the GD3D11 renderer and whether it draws text itself.
    void DetectRenderer();
    // Keys that are down from the next frame on; keys not named go up.
    void HoldKeys(const std::set<int>& keys);
    // One frame of `ms` milliseconds: time passes, the per-frame events fire, the engine draws
    // the screen and then handles the key presses no one consumed (returned).
    std::vector<int> Frame(std::uint32_t ms);
    // What a save or load meets besides the slot.
    struct SaveConditions {
        // The slot the framework's record names instead of the one saved or loaded (for one
        // that names none: kSaveSlotNone); none: the slot itself.
        std::optional<int> recordSlot;
        // How many bytes the disk takes while the save is written; none: enough.
        std::optional<std::uintmax_t> diskSpace;
    };
    // The player saves a slot (0 the quicksave, 1 to 20): the menu pauses and unpauses the
    // game, a frame is drawn, then the save begins; the engine writes the world into
    // "current" and copies "current" into the slot's folder; the save ends.
    void Save(int slot, const SaveConditions& conditions);
    void Save(int slot) { Save(slot, SaveConditions{}); }
    // The player loads a slot: pause, unpause, the load begins; the engine copies the slot's
    // folder into "current" and packs the NPCs' inventories; the load ends.
    void Load(int slot, const SaveConditions& conditions);
    void Load(int slot) { Load(slot, SaveConditions{}); }
    // The player starts a new game: its load begins (slot -2), the engine empties "current"
    // and loads the game's first world; the load ends.
    void NewGame();
    // The player walks into a level-change trigger towards `world`, starting at `wayPoint`:
    // the trigger's load begins and ends, a frame is drawn, the level change's load begins,
    // the engine saves the world being left into "current" (save begin and end), then the
    // load of the new world ends. A world saved into "current" before comes back from there
    // with its NPCs' inventories packed.
    void ChangeLevel(const std::string& world, const std::string& wayPoint);
    // The world the player is in, as the engine names its file.
    [[nodiscard]] const std::string& WorldName() const { return worldName_; }
    void SetWorldName(std::string name) { worldName_ = std::move(name); }
    SlotCopies slotCopies = SlotCopies::AllFiles;
    // The last slot of the game's save and load menus; 0 is the quicksave.
    static constexpr int kLastPlayerSlot = 20;
    // The event slots the framework fired in the last game step, in order.
    [[nodiscard]] const std::vector<int>& StepEvents() const { return framework.FiredEvents(); }

    // The player changed options in the game's menu: the values are set in the options object
    // in memory (Gothic.ini on disk is not read again) and the options-applied event fires.
    void ApplyOptions(const OptionValues& values = {});
    // The game exits as a player leaves it: it writes its options object back to
    // System/Gothic.ini, over whatever the file holds by then. False when the file could not
    // be written.
    bool Exit();

    // What the framework's heap did in the last game step: a frame, or the init, save, load or
    // options-applied event. The engine's calls of the step are its StepCalls.
    struct StepHeap {
        std::uint64_t allocations = 0;
        std::uint64_t releases = 0;
        std::int64_t bytesChange = 0;  // the change of what the heap holds over the step
        std::int64_t bytesInUse = 0;   // what the heap holds at the step's end
    };
    [[nodiscard]] StepHeap LastStepHeap() const;
    // The framework heap's allocations and releases since the game was made, and what it
    // holds now.
    [[nodiscard]] HeapFigures HeapSinceStart() const;

private:
    // A game step starts: its engine calls, heap operations and events are counted from here.
    void BeginStep();
    // One frame within a step.
    std::vector<int> PlayFrame(std::uint32_t ms);
    // The engine's savegame folder of a slot, as a game path ending with a backslash.
    [[nodiscard]] std::string SlotPath(int slot) const;
    // The engine writes the world being played into "current".
    void WriteCurrent();
    // The engine empties a savegame folder, or copies one over another (a file of the same
    // name is replaced, others stay), taking the files `slotCopies` says.
    void ClearSlotFolder(const std::string& folder);
    void CopySlotFolder(const std::string& from, const std::string& to);
    [[nodiscard]] bool IsGameFile(std::string_view name) const;
    void FireSequence(std::initializer_list<int> events);
    // Stops the game for a slot the player cannot save or load.
    static void CheckPlayerSlot(int slot, std::string_view what);

    std::string worldName_;
    // The worlds whose state the engine keeps in savegames, by file name ("NEWWORLD.SAV").
    std::set<std::string> worldFiles_;

    std::set<int> heldKeys_;
    HeapFigures gameStart_;
    HeapFigures stepStart_;
};

}  // namespace pilfern::sim
