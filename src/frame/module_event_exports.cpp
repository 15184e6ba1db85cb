#include "frame/library_entry.h"

// The 21 event functions the module exports for the framework, by the names and in the order
// of its slots (kEventExportNames): no arguments, no result, each the handler of its slot.
// Exported by module_exports.def on Windows and by default visibility elsewhere.
#pragma GCC visibility push(default)
extern "C" {

void Game_Entry() {
    pilfern::ReceiveModuleEvent(1);
}
void Game_Init() {
    pilfern::ReceiveModuleEvent(2);
}
void Game_Exit() {
    pilfern::ReceiveModuleEvent(3);
}
void Game_PreLoop() {
    pilfern::ReceiveModuleEvent(4);
}
void Game_Loop() {
    pilfern::ReceiveModuleEvent(5);
}
void Game_PostLoop() {
    pilfern::ReceiveModuleEvent(6);
}
void Game_MenuLoop() {
    pilfern::ReceiveModuleEvent(7);
}
void Game_SaveBegin() {
    pilfern::ReceiveModuleEvent(8);
}
void Game_SaveEnd() {
    pilfern::ReceiveModuleEvent(9);
}
void Game_LoadBegin_NewGame() {
    pilfern::ReceiveModuleEvent(10);
}
void Game_LoadEnd_NewGame() {
    pilfern::ReceiveModuleEvent(11);
}
void Game_LoadBegin_SaveGame() {
    pilfern::ReceiveModuleEvent(12);
}
void Game_LoadEnd_SaveGame() {
    pilfern::ReceiveModuleEvent(13);
}
void Game_LoadBegin_ChangeLevel() {
    pilfern::ReceiveModuleEvent(14);
}
void Game_LoadEnd_ChangeLevel() {
    pilfern::ReceiveModuleEvent(15);
}
void Game_LoadBegin_Trigger() {
    pilfern::ReceiveModuleEvent(16);
}
void Game_LoadEnd_Trigger() {
    pilfern::ReceiveModuleEvent(17);
}
void Game_Pause() {
    pilfern::ReceiveModuleEvent(18);
}
void Game_Unpause() {
    pilfern::ReceiveModuleEvent(19);
}
void Game_DefineExternals() {
    pilfern::ReceiveModuleEvent(20);
}
void Game_ApplyOptions() {
    pilfern::ReceiveModuleEvent(21);
}

}  // extern "C"
#pragma GCC visibility pop
