#pragma once

#include "host/engine.h"
#include "host/framework.h"

namespace pilfern {

// What the module hosting the plugin offers it: the framework and the engine of the running
// game. The plugin module imports these from the host's module (in the game the binding to
// Union and the engine, in the simulator the simulated game's library) and builds itself on
// them while it loads. Null while the host has no game.
[[nodiscard]] Framework* HostFramework();
[[nodiscard]] Engine* HostEngine();

}  // namespace pilfern
