#pragma once

#include "core/instance.h"

namespace pilfern {

// The per-frame chain of guards that orders all of the plugin's activity.
void FrameUpdate(Instance& instance);

}  // namespace pilfern
