#include "frame/library_entry.h"

#include <optional>

#include "frame/plugin.h"
#include "host/host_module.h"
#include "platform/platform.h"

// The plugin module: its static construction builds the one plugin of the process on the
// host's framework and engine, and its unload destroys it again, which releases the patches.
namespace pilfern {
namespace {

// The simulated game the module was loaded into, found by the export its framework module
// offers; none in any other process.
const SimulatedHost* FindHost() {
    const auto find = reinterpret_cast<SimulatedHostFn>(
        platform::FindProcessExport(kFrameworkModule, kSimulatedHostExport));
    return find == nullptr ? nullptr : find();
}

const SimulatedHost* Host() {
    static const SimulatedHost* const host = FindHost();
    return host;
}

void Announce(const PluginLibrary* plugin) {
    if (Host() != nullptr && Host()->announce != nullptr) {
        Host()->announce(plugin);
    }
}

class LoadedPlugin {
public:
    // Runs under the system's module loading, where nothing may be thrown: a plugin that
    // cannot be built leaves the module loaded and inert, and the game goes on without it.
    LoadedPlugin() noexcept {
        const SimulatedHost* host = Host();
        if (host == nullptr || host->framework == nullptr || host->engine == nullptr) {
            return;
        }
        try {
            plugin_.emplace(*host->framework, *host->engine);
            Announce(&*plugin_);
        } catch (...) {
            Announce(nullptr);
            plugin_.reset();
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;
    LoadedPlugin(LoadedPlugin&&) = delete;
    LoadedPlugin& operator=(LoadedPlugin&&) = delete;
    ~LoadedPlugin() {
        if (plugin_) {
            Announce(nullptr);
        }
    }

    [[nodiscard]] bool Built() const { return plugin_.has_value(); }

private:
    std::optional<PluginLibrary> plugin_;
};

// Built on first use, so that the attach entry finds the plugin built whichever of the two
// the system runs first.
const LoadedPlugin& Loaded() {
    static const LoadedPlugin plugin;
    return plugin;
}

// The module's static construction.
[[maybe_unused]] const LoadedPlugin& builtAtLoad = Loaded();

}  // namespace

bool AttachLibrary(unsigned long reason) noexcept {
    if (!Loaded().Built()) {
        return true;
    }
    try {
        OnLibraryAttach(*Host()->framework, reason);
    } catch (...) {
        // The attach has nothing to undo: the module stays loaded.
    }
    return true;
}

}  // namespace pilfern

// The engine's heap, which the plugin's engine texts take their memory from: the host's. In a
// process without one the plugin is never built and asks for none.
extern "C" void* EngineHeapAlloc(std::size_t size) {
    const pilfern::SimulatedHost* host = pilfern::Host();
    return host == nullptr || host->engineHeapAlloc == nullptr ? nullptr
                                                               : host->engineHeapAlloc(size);
}

extern "C" void EngineHeapFree(void* block) {
    const pilfern::SimulatedHost* host = pilfern::Host();
    if (host != nullptr && host->engineHeapFree != nullptr) {
        host->engineHeapFree(block);
    }
}
