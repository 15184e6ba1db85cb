#pragma once

#include "fakegame/pe_image.h"

namespace pilfern::fakegame {

// The fake engine's library, mapped once for the whole program.
[[nodiscard]] const PeImage& FakeEngine();

}  // namespace pilfern::fakegame
