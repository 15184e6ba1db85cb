// The savegame manager: which folder below the savegame directory a slot's savegame lies in.

#include "sim/sim_engine.h"

namespace pilfern::sim {

std::string SimEngine::SlotFolder(int slot) const {
    if (const auto named = savegameFolderNames.find(slot); named != savegameFolderNames.end()) {
        return named->second;
    }
    if (slot > 0) {
        return "savegame" + std::to_string(slot) + "\\";
    }
    return slot == 0 ? "quicksave\\" : "current\\";
}

zSTRING SimEngine::eng_savegame_slot_folder(const oCGame* running, int slot) {
    Count(Op(__func__), running, slot);
    if (running != &game) {
        GameFault(std::string(__func__) + " was given no running game");
    }
    const auto named = savegameFolderNames.find(slot);
    return zSTRING(named == savegameFolderNames.end() ? std::string() : named->second);
}

}  // namespace pilfern::sim
