#pragma once

#include "core/instance.h"

namespace pilfern {

// The rows per column of the loot history: "historyCntRowsInColumn", but at least one. The
// overlay lays its columns out by it and the list keeps two columns of rows; a column of no
// rows would divide the layout by zero and leave the list no room at all.
[[nodiscard]] int HistoryRowsPerColumn(const PluginSettings& settings);

// Draws the loot history as a centred panel while the player has it shown.
void DrawLootHistory(Instance& instance);

}  // namespace pilfern
