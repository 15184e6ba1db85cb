#pragma once

#include "core/instance.h"

namespace pilfern {

// A hot-key pair: true when the second key was pressed while the base key is held, or
// pressed alone when the base code is 0 (no key). The second key's press is only asked for,
// and so consumed, while the base key is held or absent.
[[nodiscard]] bool HotKeyPressed(Engine& engine, int baseKey, int secondKey);
// Closes the loot-history overlay on ESC while the player is free to act; the ESC press is
// then taken from the engine so that the game does not act on it too.
void HandleEscapeForHistory(Instance& instance);
// Replacement of the engine's zCInput_Win32::SetState: the engine never records key 11.
int SetState_Hook(Instance& instance, zCInput_Win32* input, unsigned short key, int state);

}  // namespace pilfern
