#pragma once

#include <string_view>

#include "host/framework.h"

// The simulated GD3D11 renderer's module (ddraw.dll) as the simulated game supplies it:
// one export, "UpdateCustomFontMultiplier", which sets the factor by which the renderer
// scales the text it draws and answers the factor in force before the call. On Windows it
// is the real test ddraw.dll beside the programs; elsewhere the simulated game has it built in.
namespace pilfern::sim {

[[nodiscard]] ModuleHandle LoadRendererModule();
[[nodiscard]] ProcAddress FindRendererExport(ModuleHandle module, std::string_view name);

// The renderer's current text scale, and how often the export has been called.
[[nodiscard]] float RendererFontMultiplier();
[[nodiscard]] int RendererScaleCalls();
// Back to a freshly started renderer (factor 1, no calls), for a new game.
void ResetRenderer();

}  // namespace pilfern::sim
