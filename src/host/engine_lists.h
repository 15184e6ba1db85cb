#pragma once

#include "host/engine.h"

namespace pilfern {

// Calls `visit` with every NPC of the current world's NPC list, first node to last; nodes
// without an object are passed over. `visit` answers true to stop the walk.
template <class Visit>
void ForEachWorldNpc(Engine& engine, Visit visit) {
    const zCWorld* world = engine.eng_game_world(engine.eng_game());
    for (const zCListSort<oCNpc>* node = engine.eng_world_npc_list(world); node != nullptr;
         node = engine.eng_list_npc_next(node)) {
        if (oCNpc* npc = engine.eng_list_npc(node)) {
            if (visit(*npc)) {
                return;
            }
        }
    }
}

}  // namespace pilfern
