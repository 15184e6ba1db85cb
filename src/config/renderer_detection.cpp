#include "config/renderer_detection.h"

#include <vector>

#include "core/renderer_scale.h"

namespace pilfern {
namespace {

const CStringA kRendererModule("ddraw.dll");

bool AnyFileExists(const Framework& framework, const CStringA& first, const CStringA& second) {
    return framework.FileExists(first) || framework.FileExists(second);
}

// Whether the renderer's settings enable its own font rendering: the line after a
// "[FontRendering]" header holds "Enable=1". The last header decides; a header on the last
// line has no setting after it and enables nothing.
bool FontRenderingEnabled(const CStringA& settings) {
    std::vector<CStringA> lines = settings.Split(CStringA("\n"));
    bool enabled = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i].Shrink();
        if (!lines[i].IsEmpty() && lines[i].HasWordI(CStringA("[FontRendering]"))) {
            enabled = i + 1 < lines.size() && lines[i + 1].HasWordI(CStringA("Enable=1"));
        }
    }
    return enabled;
}

}  // namespace

void DetectRendererFontScaling(Instance& instance) {
    const Framework& framework = instance.framework;
    TextHookState& text = instance.text;
    text.rendererFontScaling = false;
    text.ddrawPresent =
        AnyFileExists(framework, CStringA("System\\ddraw.dll"), CStringA("system\\ddraw.dll"));
    bool settingsRead = false;
    const CStringA settingsPath("System\\GD3D11\\UserSettings.ini");
    if (text.ddrawPresent &&
        AnyFileExists(framework, settingsPath, CStringA("system\\GD3D11\\UserSettings.ini"))) {
        CStringA settings;
        if (framework.ReadFromVdf(settings, settingsPath, 7)) {
            settingsRead = true;
            text.rendererFontScaling = FontRenderingEnabled(settings);
        }
    }
    if (text.rendererFontScaling || (!settingsRead && text.ddrawPresent)) {
        text.rendererModule = instance.framework.LoadLibraryA(kRendererModule);
        // Without settings to read, a renderer that offers the export scales fonts itself.
        if (!settingsRead && text.rendererModule != nullptr && RendererScale(instance) != nullptr) {
            text.rendererFontScaling = true;
        }
    }
    // Found by name here, once, rather than twice for every message row drawn.
    text.rendererScale = RendererScale(instance);
}

}  // namespace pilfern
