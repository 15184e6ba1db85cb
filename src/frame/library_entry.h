#pragma once

#include <cstddef>

namespace pilfern {

class PluginLibrary;

// The library attach entry that the system's loader reaches: OnLibraryAttach with a hosting
// simulated game's framework. Always reports success, and lets nothing thrown escape; does
// nothing in any other process.
bool AttachLibrary(unsigned long reason) noexcept;

// An event the game sent through one of the module's exported functions (slot 1 to 21): the
// first one builds the plugin; each is logged in a running game and reaches the plugin's
// handler of its slot.
void ReceiveModuleEvent(std::size_t slot) noexcept;

}  // namespace pilfern
