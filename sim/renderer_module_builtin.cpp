#include "platform/platform.h"
#include "sim/renderer_module.h"

namespace pilfern::sim {
namespace {

struct RendererState {
    float fontMultiplier = 1.0F;
    int scaleCalls = 0;
};

RendererState& State() {
    static RendererState state;
    return state;
}

float UpdateCustomFontMultiplier(float multiplier) {
    RendererState& state = State();
    const float previous = state.fontMultiplier;
    state.fontMultiplier = multiplier;
    ++state.scaleCalls;
    return previous;
}

// Stands for the loaded module; only its address is used.
constexpr int kModuleTag = 0;

}  // namespace

ModuleHandle LoadRendererModule() {
    return &kModuleTag;
}

ProcAddress FindRendererExport(ModuleHandle module, std::string_view name) {
    if (module != &kModuleTag || name != "UpdateCustomFontMultiplier") {
        return nullptr;
    }
    const platform::RendererScaleFn exported = &UpdateCustomFontMultiplier;
    return reinterpret_cast<ProcAddress>(exported);
}

float RendererFontMultiplier() {
    return State().fontMultiplier;
}

int RendererScaleCalls() {
    return State().scaleCalls;
}

void ResetRenderer() {
    State() = RendererState{};
}

}  // namespace pilfern::sim
