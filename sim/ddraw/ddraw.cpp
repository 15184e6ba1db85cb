// The GD3D11 renderer's ddraw.dll as the simulated game installs it on Windows. The plugin
// calls its text-scale export; the simulator watches the factor through three more exports
// that only it uses. A renderer runs one game, so its state is the module's own.

namespace {

float fontMultiplier = 1.0F;
int scaleCalls = 0;

}  // namespace

extern "C" {

// Sets the factor by which text is scaled from now on; answers the one in force before.
__declspec(dllexport) float __stdcall UpdateCustomFontMultiplier(float multiplier) {
    const float previous = fontMultiplier;
    fontMultiplier = multiplier;
    ++scaleCalls;
    return previous;
}

__declspec(dllexport) float CurrentCustomFontMultiplier() {
    return fontMultiplier;
}

__declspec(dllexport) int CustomFontMultiplierCalls() {
    return scaleCalls;
}

// Back to a freshly started renderer, for a new game.
__declspec(dllexport) void ResetCustomFontMultiplier() {
    fontMultiplier = 1.0F;
    scaleCalls = 0;
}

}  // extern "C"
