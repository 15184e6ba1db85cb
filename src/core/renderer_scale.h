#pragma once

#include "core/instance.h"
#include "platform/platform.h"

namespace pilfern {

// The loaded renderer module's text-scale export ("UpdateCustomFontMultiplier"), looked up
// by name on each use; none without a module or without the export.
[[nodiscard]] platform::RendererScaleFn RendererScale(const Instance& instance);

}  // namespace pilfern
