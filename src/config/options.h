#pragma once

#include "core/instance.h"

namespace pilfern {

// Reads every option of the plugin's section, builds the name lists and creates the views.
void LoadOptions(Instance& instance);
// Re-reads the options a player may change while the game runs.
void ReloadOptions(Instance& instance);

}  // namespace pilfern
