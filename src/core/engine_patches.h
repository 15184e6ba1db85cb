#pragma once

#include <cstdint>
#include <memory>

#include "core/instance.h"

namespace pilfern {

// Prepares one engine patch without putting it in force. Leaves `record` empty when the
// running engine has no such function.
void StageEnginePatch(Instance& instance, const CStringA& name, const CStringA& signature,
                      std::uintptr_t replacement, std::unique_ptr<ModulePatchCallInfo>& record);
// Puts a staged patch in force; a missing record is skipped.
void ArmEnginePatch(ModulePatchCallInfo* record);

}  // namespace pilfern
