#include "frame/running_game.h"

// Where the build cannot bind to the engine's 32-bit code.
namespace pilfern {

std::unique_ptr<RunningGame> BindRunningGame(const LogLine& log) {
    log("Pilfern: this build is not a 32-bit one and binds to no game; Pilfern does nothing "
        "in this game");
    return GameWithoutEngine();
}

}  // namespace pilfern
