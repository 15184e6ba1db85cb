#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "frame/plugin.h"
#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern::test {

// A simulated game in a fresh game folder, with the plugin loaded into it the way the
// library's static construction does. Files and the game may be prepared before `Load`.
class PluginFixture {
public:
    explicit PluginFixture(int engineVersion = 4)
        : game_(std::make_unique<sim::SimGame>(folder_.Path(), engineVersion)) {}

    [[nodiscard]] sim::SimGame& Game() { return *game_; }
    [[nodiscard]] const sim::SimGame& Game() const { return *game_; }
    [[nodiscard]] const TempFolder& Folder() const { return folder_; }

    // Writes Gothic.ini of the game folder and lets the engine read it.
    void WriteGameIni(std::string_view content) {
        folder_.Write("System/Gothic.ini", content);
        game_->ReadGameIni();
    }

    PluginLibrary& Load() {
        plugin_.emplace(game_->framework, game_->engine);
        OnLibraryAttach(game_->framework, 1);
        return *plugin_;
    }
    void Unload() { plugin_.reset(); }

    // The running engine's instance.
    [[nodiscard]] Instance& Running() { return *plugin_->Find(game_->framework.engineVersion); }

private:
    TempFolder folder_;
    std::unique_ptr<sim::SimGame> game_;
    std::optional<PluginLibrary> plugin_;
};

}  // namespace pilfern::test
