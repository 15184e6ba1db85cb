#include "core/engine_cast.h"
#include "frame/hooks.h"
#include "frame/library_entry.h"

// The plugin module's face towards ELF systems. Everything else of the module is hidden, so
// that its copy of the plugin never stands in for another copy in the same process.
extern "C" {

// A data symbol holding the address of the plugin's checked conversion of engine objects,
// for the framework; the plugin itself never reads it. The conversion answers by the running
// instance's engine's own class test, never by C++ run-time type information.
__attribute__((visibility("default"))) extern const pilfern::EngineCastFn RTDynamicCast_MT;
const pilfern::EngineCastFn RTDynamicCast_MT = &pilfern::PublishedEngineCast;

}  // extern "C"

// The C++ runtime's own release of what it keeps for the life of the process.
namespace __gnu_cxx {
void __freeres();  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx

namespace {

// ELF modules have no attach entry. A constructor function stands in for the one call that
// Windows makes to DllMain when the module is loaded into the process: the process attach.
__attribute__((constructor)) void AttachToProcess() {
    constexpr unsigned long kProcessAttach = 1;
    pilfern::AttachLibrary(kProcessAttach);
}

// The module carries its own copy of the C++ runtime, which keeps a reserve for exceptions
// thrown when memory runs out. It is given back when the module unloads, so that a module
// loaded and unloaded again (as the simulator does for every run) leaves nothing behind.
__attribute__((destructor)) void ReleaseRuntime() {
    __gnu_cxx::__freeres();
}

}  // namespace
