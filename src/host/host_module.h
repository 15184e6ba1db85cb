#pragma once

#include <cstddef>
#include <string_view>

#include "host/engine.h"
#include "host/framework.h"

namespace pilfern {

class PluginLibrary;

// What a simulated game offers a plugin module loaded into its process: its framework and
// engine (none while no game hosts modules), a place to tell it which plugin the module built,
// and the engine's heap. The module finds it at load time by the function the game's
// framework module exports under this name; a process whose framework module has no such
// export is a real game's. The module imports nothing of the simulated game by name.
struct SimulatedHost {
    Framework* framework = nullptr;
    Engine* engine = nullptr;
    void (*announce)(const PluginLibrary* plugin) = nullptr;
    void* (*engineHeapAlloc)(std::size_t size) = nullptr;
    void (*engineHeapFree)(void* block) = nullptr;
};
using SimulatedHostFn = const SimulatedHost* (*)();
inline constexpr std::string_view kFrameworkModule = "Shw32";
inline constexpr std::string_view kSimulatedHostExport = "PilfernSimulatedHost";

}  // namespace pilfern
