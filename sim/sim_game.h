#pragma once

#include <cstdint>
#include <filesystem>
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

// Event slots of the framework's registration, by the role the game gives them.
enum EventSlot : int {
    kSlotGameInit = 2,
    kSlotFrameInput = 4,
    kSlotFrame = 5,
    kSlotGameSave = 9,
    kSlotGameLoad = 11,
    kSlotGameLoadSecond = 13,
    kSlotGameLoadThird = 15,
    kSlotOptionsApplied = 21,
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
    // What a save meets besides the slot.
    struct SaveConditions {
        // Whether the framework tells the plugin which slot is saved or loaded.
        bool slotTold = true;
        // How many bytes the disk takes while the save is written; none: enough.
        std::optional<std::uintmax_t> diskSpace;
    };
    // The engine saves the slot's folder, then the framework fires the save event.
    void Save(int slot, const SaveConditions& conditions);
    void Save(int slot) { Save(slot, SaveConditions{}); }
    // The framework fires a load event (slot 11, 13 or 15) for a savegame slot.
    void Load(int slot, int eventSlot = kSlotGameLoad, bool slotTold = true);
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
    // A game step starts: its engine calls and heap operations are counted from here.
    void BeginStep();

    std::set<int> heldKeys_;
    HeapFigures gameStart_;
    HeapFigures stepStart_;
};

}  // namespace pilfern::sim
