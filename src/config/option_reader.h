#pragma once

#include "config/option_catalogue.h"
#include "core/instance.h"
#include "host/cstring.h"
#include "host/engine.h"

namespace pilfern {

// Reading one catalogue option with its default through the engine's options object, in the
// plugin's section. Each read is one question to the engine, so the order of calls is the
// order the engine is asked in.

[[nodiscard]] int ReadIntOption(Instance& instance, const OptionEntry& entry);
// The same with another default than the catalogue's own (ReloadOptions' radius).
[[nodiscard]] int ReadIntOption(Instance& instance, const OptionEntry& entry, int fallback);
[[nodiscard]] bool ReadBoolOption(Instance& instance, const OptionEntry& entry);
// The text as found, or the default for the framework's system language.
[[nodiscard]] CStringA ReadTextOption(Instance& instance, const OptionEntry& entry);
// A key option as a key code: a number, a key name, or 0 for no key.
[[nodiscard]] int ReadKeyOption(Instance& instance, const OptionEntry& entry);
[[nodiscard]] zCOLOR ReadColorOption(Instance& instance, const OptionEntry& entry);
// Reads an option whose value the plugin has no use for, with the reader of its kind.
void ReadUnusedOption(Instance& instance, const OptionEntry& entry);
// A boolean of the framework's system options (section "PARAMETERS").
[[nodiscard]] bool ReadSystemPackOption(Instance& instance, const OptionEntry& entry);

}  // namespace pilfern
