#include "frame/library_entry.h"

#include <optional>

#include "frame/plugin.h"
#include "host/host_module.h"

// The plugin module: its static construction builds the one plugin of the process on the
// host's framework and engine, and its unload destroys it again, which releases the patches.
namespace pilfern {
namespace {

class LoadedPlugin {
public:
    // Runs under the system's module loading, where nothing may be thrown: a plugin that
    // cannot be built leaves the module loaded and inert, and the game goes on without it.
    LoadedPlugin() noexcept {
        Framework* framework = HostFramework();
        Engine* engine = HostEngine();
        if (framework == nullptr || engine == nullptr) {
            return;
        }
        try {
            plugin_.emplace(*framework, *engine);
            AnnouncePluginToHost(&*plugin_);
        } catch (...) {
            AnnouncePluginToHost(nullptr);
            plugin_.reset();
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;
    LoadedPlugin(LoadedPlugin&&) = delete;
    LoadedPlugin& operator=(LoadedPlugin&&) = delete;
    ~LoadedPlugin() {
        if (plugin_) {
            AnnouncePluginToHost(nullptr);
        }
    }

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
    Loaded();
    if (Framework* framework = HostFramework()) {
        try {
            OnLibraryAttach(*framework, reason);
        } catch (...) {
            // The attach has nothing to undo: the module stays loaded.
        }
    }
    return true;
}

}  // namespace pilfern
