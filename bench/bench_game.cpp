#include "bench/bench_game.h"

#include <string>

namespace pilfern::bench {

BenchGame::BenchGame(std::string_view options) {
    folder_.Write("System/Gothic.ini", "[VARKO_UNION_PILFERN]\n" + std::string(options));
    game_ = std::make_unique<sim::SimGame>(folder_.Path(), kEngineVersion);
    game_->ReadGameIni();
    sim::PlaceHero(*game_);
}

Instance& BenchGame::LoadPluginAndStart() {
    plugin_.emplace(game_->framework, game_->engine);
    OnLibraryAttach(game_->framework, 1);
    game_->Init();
    return *plugin_->Find(kEngineVersion);
}

void Press(sim::SimGame& game, const std::set<int>& keys) {
    game.HoldKeys(keys);
    game.Frame(16);
    game.HoldKeys({});
    game.Frame(16);
}

}  // namespace pilfern::bench
