#include <filesystem>

#include "platform/platform.h"
#include "sim/renderer_module.h"

// Where the game folder's renderer is a real module: the test ddraw.dll built beside the
// simulator and the tests, loaded and asked through the platform layer as any module is.
namespace pilfern::sim {
namespace {

using FactorQuery = float (*)();
using CallCountQuery = int (*)();
using ResetCall = void (*)();

// Loaded once and kept, as the game keeps its renderer.
ModuleHandle Renderer() {
    static const ModuleHandle module =
        platform::LoadModule((platform::ExecutableFolder() / "ddraw.dll").string());
    return module;
}

template <class Fn>
Fn Export(std::string_view name) {
    return reinterpret_cast<Fn>(platform::FindExport(Renderer(), name));
}

}  // namespace

ModuleHandle LoadRendererModule() {
    return Renderer();
}

ProcAddress FindRendererExport(ModuleHandle module, std::string_view name) {
    return platform::FindExport(module, name);
}

float RendererFontMultiplier() {
    const auto current = Export<FactorQuery>("CurrentCustomFontMultiplier");
    return current != nullptr ? current() : 1.0F;
}

int RendererScaleCalls() {
    const auto calls = Export<CallCountQuery>("CustomFontMultiplierCalls");
    return calls != nullptr ? calls() : 0;
}

void ResetRenderer() {
    if (const auto reset = Export<ResetCall>("ResetCustomFontMultiplier")) {
        reset();
    }
}

}  // namespace pilfern::sim
