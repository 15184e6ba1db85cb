#include <windows.h>

#include "core/engine_cast.h"
#include "frame/hooks.h"
#include "frame/library_entry.h"

// The plugin module's face towards Windows: its one export and its DllMain. The runtime has
// run the module's static construction before DllMain sees the process attach.
extern "C" {

// A data symbol holding the address of the plugin's checked conversion of engine objects,
// for the framework; the plugin itself never reads it. The conversion answers by the running
// instance's engine's own class test, never by C++ run-time type information.
__declspec(dllexport) extern const pilfern::EngineCastFn RTDynamicCast_MT;
const pilfern::EngineCastFn RTDynamicCast_MT = &pilfern::PublishedEngineCast;

BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    pilfern::AttachLibrary(reason);
    return TRUE;
}

}  // extern "C"
