#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/instance.h"
#include "host/framework.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// The plugin as the framework loads it into a game: the module built beside the simulator
// (pilfern.dll, pilfern.so), with its own runtime and its allocations in the framework's
// heap, loaded while the game hosts it and unloaded again at the end. Only one can be loaded
// into a process at a time.
class LoadedPluginModule {
public:
    // Throws std::runtime_error when the module cannot be loaded or builds no plugin.
    explicit LoadedPluginModule(SimGame& game);
    LoadedPluginModule(const LoadedPluginModule&) = delete;
    LoadedPluginModule& operator=(const LoadedPluginModule&) = delete;
    LoadedPluginModule(LoadedPluginModule&&) = delete;
    LoadedPluginModule& operator=(LoadedPluginModule&&) = delete;
    ~LoadedPluginModule();

    // The instance of the game's engine version, or none for a version the plugin does not
    // know. Read only: it lives in the module.
    [[nodiscard]] const Instance* Running() const { return running_; }

    // Tells `watcher` of every loot record the running instance makes while this lives.
    class Watching {
    public:
        Watching(LoadedPluginModule& plugin, LootWatcher& watcher) : plugin_(plugin) {
            plugin_.Watch(&watcher);
        }
        Watching(const Watching&) = delete;
        Watching& operator=(const Watching&) = delete;
        Watching(Watching&&) = delete;
        Watching& operator=(Watching&&) = delete;
        ~Watching() { plugin_.Watch(nullptr); }

    private:
        LoadedPluginModule& plugin_;
    };

private:
    void Watch(LootWatcher* watcher) {
        if (running_ != nullptr) {
            running_->lootWatcher = watcher;
        }
    }

    // Gives the module back and throws why it was refused.
    [[noreturn]] void Refuse(const std::string& path, const std::string& why);

    ModuleHandle module_ = nullptr;
    Instance* running_ = nullptr;
    SimFramework* framework_ = nullptr;
};

// Makes the framework call a loaded module's exported event functions; the name of the first
// one the module does not export, and nothing delivered, when one is missing.
[[nodiscard]] std::optional<std::string_view> DeliverModuleEvents(SimFramework& framework,
                                                                  ModuleHandle module);

}  // namespace pilfern::sim
