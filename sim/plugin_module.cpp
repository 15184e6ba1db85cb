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
        // A simulator copied elsewhere without its module is the usual cause.
        throw std::runtime_error("the plugin module " + path +
                                 " cannot be loaded; the simulator plays the module that lies "
                                 "beside its program, so copy " +
                                 platform::ModuleFileName("pilfern") + " along with it");
    }
    if (const auto missing = DeliverModuleEvents(game.framework, module_)) {
        Refuse(path, "exports no " + std::string(*missing));
    }
    framework_ = &game.framework;
    // The module builds its plugin at the game's first event. A module that was loaded
    // already built its plugin on another game, and builds none now.
    game.Entry();
    const PluginLibrary* plugin = HostedPlugin();
    if (plugin == nullptr) {
        Refuse(path, "built no plugin in this game");
    }
    // The module's plugin, which the simulator only reads, but for the record watcher it sets.
    running_ = plugin->Find(game.framework.engineVersion);
}

void LoadedPluginModule::Refuse(const std::string& path, const std::string& why) {
    if (framework_ != nullptr) {
        framework_->DeliverEventsThrough(std::nullopt);
    }
    platform::UnloadModule(module_);
    ClearHost();
    throw std::runtime_error("the plugin module " + path + " " + why);
}

std::optional<std::string_view> DeliverModuleEvents(SimFramework& framework, ModuleHandle module) {
    EventTable exports{};
    for (std::size_t slot = 0; slot < kEventExportNames.size(); ++slot) {
        exports.at(slot) = platform::FindExport(module, kEventExportNames.at(slot));
        if (exports.at(slot) == nullptr) {
            return kEventExportNames.at(slot);
        }
    }
    framework.DeliverEventsThrough(exports);
    return std::nullopt;
}

LoadedPluginModule::~LoadedPluginModule() {
    if (framework_ != nullptr) {
        framework_->DeliverEventsThrough(std::nullopt);
    }
    platform::UnloadModule(module_);
    ClearHost();
}

}  // namespace pilfern::sim
