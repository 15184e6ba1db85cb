#pragma once

#include "core/instance.h"

namespace pilfern {

// Writes the loot history into the file of the slot the player saves. The new content goes to
// a temporary file in the slot folder first and replaces the old file only once it is whole,
// so a write that fails leaves the previous file as it was. The save of a level change, and a
// record that names no slot, write nothing.
void SaveLootState(Instance& instance);
// Replaces the loot history with the rows of the loaded slot's file; a new game starts with
// an empty history. Nothing changes on a level change (the game goes on), nor when the
// framework's record names no slot or the slot's folder is unknown.
void LoadLootState(Instance& instance);

// The folder name of a savegame slot as the game names it when its savegame manager does
// not: "savegameN" for N > 0, "quicksave" for 0, "current" below.
[[nodiscard]] zSTRING SlotFolderName(int slot);
// The path of a slot's folder, ending with a backslash: the game's base directory, its
// savegame directory and the slot's folder name. Empty when the game cannot tell.
[[nodiscard]] zSTRING GetSaveSlotFolder(Instance& instance, int slot);

}  // namespace pilfern
