#include "fakegame/fake_game_environment.h"

namespace pilfern::fakegame {

const PeImage& FakeEngine() {
    static const PeImage engine(PILFERN_FAKE_ENGINE);
    return engine;
}

}  // namespace pilfern::fakegame
