#include "frame/input.h"

#include "frame/hooks.h"

namespace pilfern {

void HandleEscapeForHistory(Instance& /*instance*/) {}

int SetState_Hook(Instance& instance, zCInput_Win32* input, unsigned short key, int state) {
    return OriginalOf<InputSetStateFn>(*instance.patches.setState)(input, key, state);
}

}  // namespace pilfern
