#pragma once

#include "core/instance.h"
#include "platform/platform.h"

namespace pilfern {

// The loaded renderer module's text-scale export ("UpdateCustomFontMultiplier"), looked up
// by name; none without a module or without the export. Renderer detection keeps the answer
// in the instance's text state.
[[nodiscard]] platform::RendererScaleFn RendererScale(const Instance& instance);

}  // namespace pilfern
