#include "frame/library_entry.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/plugin_log.h"
#include "frame/module_events.h"
#include "frame/plugin.h"
#include "frame/running_game.h"
#include "host/host_module.h"
#include "platform/platform.h"

// The plugin module. Loading it only records it: the system's loader holds its lock then, and
// nothing heavy may run under it. The plugin is built at the first event the game sends, on a
// simulated game's framework and engine when the process is a simulated game with a game to
// host, and on the running game's own engine otherwise. Unloading destroys it again, which
// takes its patches out of the engine.
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

// A simulated game that hosts the module; a simulator's process without a game to host is
// taken as any other process.
const SimulatedHost* HostingGame() {
    const SimulatedHost* host = Host();
    return host != nullptr && host->framework != nullptr && host->engine != nullptr ? host
                                                                                    : nullptr;
}

void Announce(const PluginLibrary* plugin) {
    if (const SimulatedHost* host = HostingGame(); host != nullptr && host->announce != nullptr) {
        host->announce(plugin);
    }
}

// The engine's heap, which the plugin's engine texts take their memory from: the simulated
// game's, or the running game's own once the plugin is bound to it.
struct EngineHeap {
    RunningGame::HeapAllocFn alloc = nullptr;
    RunningGame::HeapFreeFn free = nullptr;
};

EngineHeap& TheEngineHeap() {
    static EngineHeap heap = [] {
        const SimulatedHost* host = Host();
        return host == nullptr ? EngineHeap{}
                               : EngineHeap{host->engineHeapAlloc, host->engineHeapFree};
    }();
    return heap;
}

// Events that come every frame are logged the first time only.
bool EveryFrame(std::size_t slot) {
    constexpr std::size_t kPreLoop = 4;
    constexpr std::size_t kMenuLoop = 7;
    return slot >= kPreLoop && slot <= kMenuLoop;
}

class LoadedPlugin {
public:
    // Nothing thrown leaves: a plugin that cannot be built leaves the module loaded and inert,
    // and the game goes on without it.
    LoadedPlugin() noexcept {
        if (const SimulatedHost* host = HostingGame()) {
            try {
                plugin_.emplace(*host->framework, *host->engine);
                Announce(&*plugin_);
            } catch (...) {
                Announce(nullptr);
                plugin_.reset();
            }
            return;
        }
        try {
            BuildInRunningGame();
        } catch (...) {
            plugin_.reset();
            Line("Pilfern: the plugin could not be built; Pilfern does nothing in this game");
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;
    LoadedPlugin(LoadedPlugin&&) = delete;
    LoadedPlugin& operator=(LoadedPlugin&&) = delete;
    ~LoadedPlugin() {
        if (plugin_ && HostingGame() != nullptr) {
            Announce(nullptr);
        }
        const bool built = plugin_.has_value();
        plugin_.reset();
        if (built) {
            Line("Pilfern: unloading, every patch is taken out");
        }
        // The game's patch records still write to the log as they go.
        game_.reset();
        log_.reset();
        if (HostingGame() == nullptr) {
            TheEngineHeap() = EngineHeap{};
        }
    }

    // The log's line for an event the game sent.
    void Received(std::size_t slot) {
        if (!log_ || slot < 1 || slot > kEventExportNames.size()) {
            return;
        }
        if (EveryFrame(slot) && frameEventsSeen_.at(slot - 1)) {
            return;
        }
        frameEventsSeen_.at(slot - 1) = true;
        Line(std::string(kEventExportNames.at(slot - 1)) + " received");
    }

private:
    void BuildInRunningGame() {
        game_ = BindRunningGame([this](std::string_view text) { Line(text); });
        TheEngineHeap() = EngineHeap{game_->EngineHeapAlloc(), game_->EngineHeapFree()};
        log_.emplace(game_->Framework());
        for (const std::string& line : early_) {
            log_->Line(line);
        }
        early_.clear();
        if (Engine* engine = game_->BoundEngine()) {
            plugin_.emplace(game_->Framework(), *engine);
            if (Instance* running = plugin_->Find(game_->Framework().GetEngineVersion())) {
                running->log = [this](std::string_view text) { Line(text); };
            }
            Line("Pilfern: built for engine version " +
                 std::to_string(game_->Framework().GetEngineVersion()));
        }
    }

    // Lines told before the log has its files wait for it.
    void Line(std::string_view text) {
        if (log_) {
            log_->Line(text);
        } else {
            early_.emplace_back(text);
        }
    }

    std::vector<std::string> early_;
    std::optional<PluginLog> log_;
    std::unique_ptr<RunningGame> game_;
    std::optional<PluginLibrary> plugin_;
    std::array<bool, kEventSlotCount> frameEventsSeen_{};
};

// Built at the first event, whichever it is.
LoadedPlugin& Loaded() {
    static LoadedPlugin plugin;
    return plugin;
}

}  // namespace

bool AttachLibrary(unsigned long reason) noexcept {
    const SimulatedHost* host = HostingGame();
    if (host == nullptr) {
        return true;
    }
    try {
        OnLibraryAttach(*host->framework, reason);
    } catch (...) {
        // The attach has nothing to undo: the module stays loaded.
    }
    return true;
}

void ReceiveModuleEvent(std::size_t slot) noexcept {
    try {
        LoadedPlugin& loaded = Loaded();
        loaded.Received(slot);
    } catch (...) {
        // A log line that could not be written: the event still reaches the plugin.
    }
    FireModuleEvent(slot);
}

}  // namespace pilfern

// Where the plugin's engine texts take their memory. In a process without an engine the plugin
// is never built and asks for none.
extern "C" void* EngineHeapAlloc(std::size_t size) {
    const pilfern::EngineHeap& heap = pilfern::TheEngineHeap();
    return heap.alloc == nullptr ? nullptr : heap.alloc(size);
}

extern "C" void EngineHeapFree(void* block) {
    const pilfern::EngineHeap& heap = pilfern::TheEngineHeap();
    if (heap.free != nullptr) {
        heap.free(block);
    }
}
