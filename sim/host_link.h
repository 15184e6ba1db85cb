#pragma once

#include "host/engine.h"
#include "host/framework.h"

namespace pilfern {
class PluginLibrary;
}

namespace pilfern::sim {

// Makes a game the host of plugin modules loaded from now on: a loading module finds it
// (host/host_module.h) and builds its plugin on this framework and engine. The game must
// outlive every module loaded into it.
void SetHost(Framework& framework, Engine& engine);
// No game hosts modules any more; a module loaded now stays inert.
void ClearHost();
// The plugin the loaded module built on the host, or none.
[[nodiscard]] const PluginLibrary* HostedPlugin();

}  // namespace pilfern::sim
