#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <vector>

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
class SimGame {
public:
    SimGame(std::filesystem::path gameFolder, int engineVersion);
    SimGame(const SimGame&) = delete;
    SimGame& operator=(const SimGame&) = delete;
    SimGame(SimGame&&) = delete;
    SimGame& operator=(SimGame&&) = delete;
    ~SimGame() = default;

    std::uint32_t clock = 0;
    RedirectTable redirects;
    SimEngine engine;
    SimFramework framework;

    // Reads System/Gothic.ini of the game folder into the engine's options object.
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
    // The engine saves the slot's folder, then the framework fires the save event.
    void Save(int slot);
    // The framework fires a load event (slot 11, 13 or 15) for a savegame slot.
    void Load(int slot, int eventSlot = kSlotGameLoad);
    // The player applied changed options: the ini is read again and the event fires.
    void ApplyOptions();

private:
    std::set<int> heldKeys_;
};

}  // namespace pilfern::sim
