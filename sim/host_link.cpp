#include "sim/host_link.h"

#include "frame/library_entry.h"
#include "host/host_module.h"

namespace pilfern {
namespace {

// The game that plugin modules are loaded into; the simulated game's library is the one
// place a module and the program that loads it share.
struct Host {
    Framework* framework = nullptr;
    Engine* engine = nullptr;
    const PluginLibrary* plugin = nullptr;  // what the loaded module built
};

Host& CurrentHost() {
    static Host host;
    return host;
}

}  // namespace

Framework* HostFramework() {
    return CurrentHost().framework;
}

Engine* HostEngine() {
    return CurrentHost().engine;
}

void AnnouncePluginToHost(const PluginLibrary* plugin) {
    CurrentHost().plugin = plugin;
}

namespace sim {

void SetHost(Framework& framework, Engine& engine) {
    CurrentHost() = Host{&framework, &engine};
}

void ClearHost() {
    CurrentHost() = Host{};
}

const PluginLibrary* HostedPlugin() {
    return CurrentHost().plugin;
}

}  // namespace sim
}  // namespace pilfern
