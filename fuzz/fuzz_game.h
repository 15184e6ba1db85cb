#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "frame/plugin.h"
#include "sim/sim_game.h"

// A simulated game with the plugin loaded, in a folder of its own that lives as long as the
// fuzzing process and is emptied for every input.
namespace pilfern::fuzz {

class FuzzGame {
public:
    // The game folder holds `files` (path relative to it -> bytes) before the game starts.
    explicit FuzzGame(std::initializer_list<std::pair<std::string_view, std::string_view>> files);
    FuzzGame(const FuzzGame&) = delete;
    FuzzGame& operator=(const FuzzGame&) = delete;
    FuzzGame(FuzzGame&&) = delete;
    FuzzGame& operator=(FuzzGame&&) = delete;
    ~FuzzGame();

    [[nodiscard]] sim::SimGame& Game() { return *game_; }
    [[nodiscard]] Instance& Plugin() { return *plugin_->Find(kEngine); }

    static constexpr int kEngine = 4;

private:
    std::unique_ptr<sim::SimGame> game_;
    std::unique_ptr<PluginLibrary> plugin_;
};

}  // namespace pilfern::fuzz
