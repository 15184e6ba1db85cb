#pragma once

namespace pilfern {

class PluginLibrary;

// The library attach entry that the system's loader reaches once the module's static
// construction has built the plugin: OnLibraryAttach with the host's framework. Always
// reports success, and lets nothing thrown escape; does nothing in a process without a host.
bool AttachLibrary(unsigned long reason) noexcept;

// Tells the hosting module which plugin the module's static construction built, and none
// when the module unloads. Defined by the host: the simulated game watches the plugin's
// state through it; a game's own host has no use for it.
void AnnouncePluginToHost(const PluginLibrary* plugin);

}  // namespace pilfern
