#pragma once

namespace pilfern {

class PluginLibrary;

// The library attach entry that the system's loader reaches once the module's static
// construction has built the plugin: OnLibraryAttach with the host's framework. Always
// reports success, and lets nothing thrown escape; does nothing in a process without a host.
bool AttachLibrary(unsigned long reason) noexcept;

}  // namespace pilfern
