#include "config/options.h"

namespace pilfern {

void LoadOptions(Instance& /*instance*/) {}

void ReloadOptions(Instance& /*instance*/) {}

}  // namespace pilfern
