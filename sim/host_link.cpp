#include "sim/host_link.h"

#include "host/host_module.h"
#include "host/zstring.h"

namespace pilfern {
namespace {

// The game that plugin modules are loaded into, as a loading module finds it.
struct Host {
    SimulatedHost offered;
    const PluginLibrary* plugin = nullptr;  // what the loaded module built
};

Host& CurrentHost() {
    static Host host;
    return host;
}

void Announce(const PluginLibrary* plugin) {
    CurrentHost().plugin = plugin;
}

}  // namespace

namespace sim {

void SetHost(Framework& framework, Engine& engine) {
    CurrentHost() = Host{{&framework, &engine, &Announce, &EngineHeapAlloc, &EngineHeapFree}};
}

void ClearHost() {
    CurrentHost() = Host{};
}

const PluginLibrary* HostedPlugin() {
    return CurrentHost().plugin;
}

}  // namespace sim
}  // namespace pilfern

// Found by a loading plugin module under its name (host/host_module.h).
extern "C" const pilfern::SimulatedHost* PilfernSimulatedHost() {
    return &pilfern::CurrentHost().offered;
}
