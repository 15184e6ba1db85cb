#pragma once

#include "frame/instance.h"

namespace pilfern {

// Closes the loot-history overlay on ESC while the player is free to act.
void HandleEscapeForHistory(Instance& instance);
// Replacement of the engine's zCInput_Win32::SetState.
int SetState_Hook(Instance& instance, zCInput_Win32* input, unsigned short key, int state);

}  // namespace pilfern
