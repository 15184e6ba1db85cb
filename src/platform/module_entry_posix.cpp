#include "core/engine_cast.h"
#include "frame/library_entry.h"

// The plugin module's face towards ELF systems. Everything else of the module is hidden, so
// that its copy of the plugin never stands in for another copy in the same process.
extern "C" {

// A data symbol holding the address of the plugin's checked conversion of engine objects,
// for the framework; the plugin itself never reads it.
__attribute__((visibility("default"))) extern const pilfern::EngineCastFn RTDynamicCast_MT;
const pilfern::EngineCastFn RTDynamicCast_MT = &pilfern::EngineCast;

}  // extern "C"

namespace {

// ELF modules have no attach entry. A constructor function stands in for the one call that
// Windows makes to DllMain when the module is loaded into the process: the process attach.
__attribute__((constructor)) void AttachToProcess() {
    constexpr unsigned long kProcessAttach = 1;
    pilfern::AttachLibrary(kProcessAttach);
}

}  // namespace
