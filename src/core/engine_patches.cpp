#include "core/engine_patches.h"

namespace pilfern {

void StageEnginePatch(Instance& instance, const CStringA& name, const CStringA& signature,
                      std::uintptr_t replacement, std::unique_ptr<ModulePatchCallInfo>& record) {
    const std::uintptr_t engineFunction =
        instance.framework.FindEngineAddress(instance.profile.version, name, signature);
    if (engineFunction == 0 || replacement == 0) {
        return;
    }
    record = instance.framework.CreatePatchCallInfo();
    record->SetTemporary(engineFunction, replacement);
}

void ArmEnginePatch(ModulePatchCallInfo* record) {
    if (record == nullptr) {
        return;
    }
    const std::uintptr_t origin = record->GetOrigin();
    const std::uintptr_t address = record->GetAddress();
    if (origin != 0 && address != 0) {
        record->SetCallPatch(origin, address);
    }
}

}  // namespace pilfern
