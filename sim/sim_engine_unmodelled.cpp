// Engine operations the simulated game does not model yet. Reaching one stops the game at
// once with a message naming it: any answer made up here (no object, zero, false) could let
// wrong plugin code pass as if the game had given it. This file is the one place such
// operations live: modelling an operation moves it out.

#include "sim/sim_engine.h"

namespace pilfern::sim {

void SimEngine::Unmodelled(EngineOp op) {
    GameFault("the simulated engine does not model " + std::string(kEngineOperations.at(op)) +
              " yet: a game that reaches it cannot be played here");
}

}  // namespace pilfern::sim
