#pragma once

#include <cstddef>

#include "host/framework.h"

namespace pilfern {

// The plugin module receives the game's events through functions it exports by name, which
// the framework calls (kEventExportNames). They reach the table of handlers the running
// instance registered; none is published while no instance runs.
void PublishModuleEvents(const EventTable& table);
void WithdrawModuleEvents();
// Calls the handler of one slot (1 to 21) of the published table; nothing without one.
void FireModuleEvent(std::size_t slot) noexcept;

}  // namespace pilfern
