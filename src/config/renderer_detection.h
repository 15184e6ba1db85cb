#pragma once

#include "core/instance.h"

namespace pilfern {

// Finds out whether the GD3D11 renderer scales fonts itself; the first step of option loading.
// Loads the renderer's module when its text-scale export may be needed.
void DetectRendererFontScaling(Instance& instance);

}  // namespace pilfern
