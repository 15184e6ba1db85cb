#include "frame/running_game.h"

#include "platform/platform.h"

namespace pilfern {
namespace {

class UnboundGame final : public RunningGame {
public:
    UnboundGame() : framework_(GameFolderAbove(platform::ExecutableFolder()), 0, {}) {}

    [[nodiscard]] GameFramework& Framework() override { return framework_; }
    [[nodiscard]] Engine* BoundEngine() override { return nullptr; }

private:
    GameFramework framework_;
};

}  // namespace

std::unique_ptr<RunningGame> GameWithoutEngine() {
    return std::make_unique<UnboundGame>();
}

}  // namespace pilfern
