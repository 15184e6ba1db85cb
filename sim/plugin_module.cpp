#include "sim/plugin_module.h"

#include <stdexcept>
#include <string>

#include "frame/plugin.h"
#include "platform/platform.h"
#include "sim/host_link.h"

namespace pilfern::sim {

LoadedPluginModule::LoadedPluginModule(SimGame& game) {
    const std::string path =
        (platform::ExecutableFolder() / platform::ModuleFileName("pilfern")).string();
    SetHost(game.framework, game.engine);
    module_ = platform::LoadModule(path);
    if (module_ == nullptr) {
        ClearHost();
        throw std::runtime_error("the plugin module " + path + " cannot be loaded");
    }
    // A module that was loaded already built its plugin on another game, and builds none now.
    const PluginLibrary* plugin = HostedPlugin();
    if (plugin == nullptr) {
        platform::UnloadModule(module_);
        ClearHost();
        throw std::runtime_error("the plugin module " + path + " built no plugin in this game");
    }
    // The module's plugin, which the simulator only reads, but for the record watcher it sets.
    running_ = plugin->Find(game.framework.engineVersion);
    // The framework calls a module's events by the functions it exports.
    EventTable exports{};
    for (std::size_t slot = 0; slot < kEventExportNames.size(); ++slot) {
        exports.at(slot) = platform::FindExport(module_, kEventExportNames.at(slot));
        if (exports.at(slot) == nullptr) {
            platform::UnloadModule(module_);
            ClearHost();
            throw std::runtime_error("the plugin module " + path + " exports no " +
                                     std::string(kEventExportNames.at(slot)));
        }
    }
    framework_ = &game.framework;
    framework_->DeliverEventsThrough(exports);
}

LoadedPluginModule::~LoadedPluginModule() {
    if (framework_ != nullptr) {
        framework_->DeliverEventsThrough(std::nullopt);
    }
    platform::UnloadModule(module_);
    ClearHost();
}

}  // namespace pilfern::sim
