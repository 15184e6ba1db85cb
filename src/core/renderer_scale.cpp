#include "core/renderer_scale.h"

namespace pilfern {

platform::RendererScaleFn RendererScale(const Instance& instance) {
    if (instance.text.rendererModule == nullptr) {
        return nullptr;
    }
    static const CStringA kExport("UpdateCustomFontMultiplier");
    const ProcAddress address =
        instance.framework.GetProcAddress(instance.text.rendererModule, kExport);
    return reinterpret_cast<platform::RendererScaleFn>(address);
}

}  // namespace pilfern
