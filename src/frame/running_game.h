#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "frame/game_framework.h"
#include "host/engine.h"

namespace pilfern {

// Where the plugin's lines for the player's log go.
using LogLine = std::function<void(std::string_view)>;

// The game the module was loaded into, served by the plugin itself: the framework's services
// always (the log needs its files), the engine when the executable is one of the four, and
// the observation of the engine's save and load functions that keeps the framework's record
// of the save or load in progress. Destroying it takes the observation out of the engine.
class RunningGame {
public:
    virtual ~RunningGame() = default;
    RunningGame(const RunningGame&) = delete;
    RunningGame& operator=(const RunningGame&) = delete;
    RunningGame(RunningGame&&) = delete;
    RunningGame& operator=(RunningGame&&) = delete;

    [[nodiscard]] virtual GameFramework& Framework() = 0;
    // None when the plugin binds to no engine in this process.
    [[nodiscard]] virtual Engine* BoundEngine() = 0;
    // The engine's own operator new and delete, which the plugin's engine texts take their
    // memory from; none without an engine.
    using HeapAllocFn = void* (*)(std::size_t size);
    using HeapFreeFn = void (*)(void* block);
    [[nodiscard]] virtual HeapAllocFn EngineHeapAlloc() const { return nullptr; }
    [[nodiscard]] virtual HeapFreeFn EngineHeapFree() const { return nullptr; }

protected:
    RunningGame() = default;
};

// The game's files without its engine: where the plugin binds to none, the log is still
// written.
[[nodiscard]] std::unique_ptr<RunningGame> GameWithoutEngine();

// Binds to the game of this process, telling `log` what it found and, later, each change the
// plugin makes to the game's image. Only a 32-bit build can bind: the engine is 32-bit code.
[[nodiscard]] std::unique_ptr<RunningGame> BindRunningGame(const LogLine& log);

}  // namespace pilfern
