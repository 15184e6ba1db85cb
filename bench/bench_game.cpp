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

}  // namespace pilfern::bench
