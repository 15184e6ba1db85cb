#include "fakegame/fake_game_environment.h"

#include <cstddef>
#include <cstdlib>

namespace pilfern::fakegame {

const PeImage& FakeEngine() {
    static const PeImage engine(PILFERN_FAKE_ENGINE);
    return engine;
}

}  // namespace pilfern::fakegame

// The plugin's engine texts take their characters from the engine's heap; in this process,
// which plays only the engine's code, from the C library's.
extern "C" void* EngineHeapAlloc(std::size_t size) {
    return std::malloc(size);
}
extern "C" void EngineHeapFree(void* block) {
    std::free(block);
}
