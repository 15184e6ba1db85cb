#include "frame/module_events.h"

// The 21 event functions the module exports for the framework, by the names and in the order
// of its slots (kEventExportNames): no arguments, no result, each the handler of its slot.
// Exported by module_exports.def on Windows and by default visibility elsewhere.
#pragma GCC visibility push(default)
extern "C" {

void Game_Entry() {
    pilfern::FireModuleEvent(1);
}
void Game_Init() {
    pilfern::FireModuleEvent(2);
}
void Game_Exit() {
    pilfern::FireModuleEvent(3);
}
void Game_PreLoop() {
    pilfern::FireModuleEvent(4);
}
void Game_Loop() {
    pilfern::FireModuleEvent(5);
}
void Game_PostLoop() {
    pilfern::FireModuleEvent(6);
}
void Game_MenuLoop() {
    pilfern::FireModuleEvent(7);
}
void Game_SaveBegin() {
    pilfern::FireModuleEvent(8);
}
void Game_SaveEnd() {
    pilfern::FireModuleEvent(9);
}
void Game_LoadBegin_NewGame() {
    pilfern::FireModuleEvent(10);
}
void Game_LoadEnd_NewGame() {
    pilfern::FireModuleEvent(11);
}
void Game_LoadBegin_SaveGame() {
    pilfern::FireModuleEvent(12);
}
void Game_LoadEnd_SaveGame() {
    pilfern::FireModuleEvent(13);
}
void Game_LoadBegin_ChangeLevel() {
    pilfern::FireModuleEvent(14);
}
void Game_LoadEnd_ChangeLevel() {
    pilfern::FireModuleEvent(15);
}
void Game_LoadBegin_Trigger() {
    pilfern::FireModuleEvent(16);
}
void Game_LoadEnd_Trigger() {
    pilfern::FireModuleEvent(17);
}
void Game_Pause() {
    pilfern::FireModuleEvent(18);
}
void Game_Unpause() {
    pilfern::FireModuleEvent(19);
}
void Game_DefineExternals() {
    pilfern::FireModuleEvent(20);
}
void Game_ApplyOptions() {
    pilfern::FireModuleEvent(21);
}

}  // extern "C"
#pragma GCC visibility pop
