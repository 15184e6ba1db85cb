#include "persistence/save_state.h"

namespace pilfern {

void SaveLootState(Instance& /*instance*/) {}

void LoadLootState(Instance& /*instance*/) {}

}  // namespace pilfern
