#pragma once

#include <span>
#include <string_view>

#include "binding/engine_fact.h"

namespace pilfern::binding {

// The engine facts of one engine version (1 Gothic I, 2 Gothic Sequel, 3 Gothic II, 4 Gothic
// II Night of the Raven), in the order of data/engine-facts.tsv; empty for any other version.
[[nodiscard]] std::span<const EngineFact> EngineFacts(int engineVersion);

// The first fact of a version for an operation; none when there is none.
[[nodiscard]] const EngineFact* FindEngineFact(int engineVersion, std::string_view operation);

}  // namespace pilfern::binding
