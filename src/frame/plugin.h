#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/instance.h"

namespace pilfern {

// The game-event handlers of one instance.
void OnGameInit(Instance& instance);
void OnFrameInput(Instance& instance);
void OnFrame(Instance& instance);
void OnGameSave(Instance& instance);
void OnGameLoad(Instance& instance);
void OnOptionsApplied(Instance& instance);
// Fills every event slot the plugin has no use for.
void EmptyHandler();

// Registers the instance's handlers when the framework runs its engine version.
void RegisterForRunningEngine(Instance& instance);

// What the library's attach entry does: tells the framework the runtime version it was
// built with on process attach (reason 1). Always reports success.
bool OnLibraryAttach(Framework& framework, unsigned long reason);

// The plugin as loaded into a process: the four instances, built in engine order, each
// staging its patches and registering when its engine runs. Destroying it is the unload:
// instances go in reverse order, each releasing its patch records.
class PluginLibrary {
public:
    PluginLibrary(Framework& framework, Engine& engine);
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    PluginLibrary(PluginLibrary&&) = delete;
    PluginLibrary& operator=(PluginLibrary&&) = delete;
    ~PluginLibrary();

    // The instance of an engine version value (1 to 4), or none.
    [[nodiscard]] Instance* Find(int version) const;

private:
    std::array<std::unique_ptr<Instance>, 4> instances_;
};

}  // namespace pilfern
