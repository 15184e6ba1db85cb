#pragma once

#include <cstdint>

#include "core/instance.h"

namespace pilfern {

// Tells the instance's log (none in the simulated game, whose reports say it) what the options
// gave: one line of the settings that shape looting, and a line for each option whose text the
// plugin could not take as written and replaced by its fallback. After options are applied,
// only the options read again are looked at: the others keep what init made of them.
enum class OptionsRead : std::uint8_t { AtInit, Applied };
void LogOptions(Instance& instance, OptionsRead when);

}  // namespace pilfern
