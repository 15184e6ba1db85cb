// The input manager: held keys, presses of this frame and the key buffer. Key state reaches
// the engine through its patchable SetState, as the engine's own input processing does.

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr int kMouseButtonRight = 525;

bool ValidKey(int key) {
    return key >= 0 && key < zCInput::kKeyCount;
}

// The place of a valid key in the input manager's tables.
std::size_t Slot(int key) {
    return static_cast<std::size_t>(key);
}

}  // namespace

int ENGINE_MEMBER_CALL EngineSetState(zCInput_Win32* input, unsigned short key, int state) {
    if (input == nullptr || !ValidKey(key)) {
        return 0;
    }
    const bool down = state != 0;
    if (down && !input->held.at(key)) {
        input->toggled.at(key) = true;
        input->keyBuffer.push_back(key);
    }
    input->held.at(key) = down;
    return 1;
}

int SimEngine::SetKeyState(int key, bool down) {
    if (!ValidKey(key)) {
        return 0;
    }
    // The mouse device's own state is the engine's directly; its key in the key table goes
    // through SetState like every key.
    if (key == kMouseButtonRight) {
        input.mouseRightDown = down;
    }
    const auto setState = redirects_.Resolve<InputSetStateFn>(&EngineSetState);
    return setState(&input, static_cast<unsigned short>(key), down ? 1 : 0);
}

std::vector<int> SimEngine::TakeUnhandledKeyPresses() {
    std::vector<int> presses;
    presses.swap(input.keyBuffer);
    input.toggled.fill(false);
    return presses;
}

zCInput* SimEngine::eng_input() {
    Count(Op(__func__));
    return &input;
}

bool SimEngine::eng_input_key_pressed(zCInput* manager, int key) {
    Count(Op(__func__), manager, key);
    return manager != nullptr && ValidKey(key) && manager->held.at(Slot(key));
}

bool SimEngine::eng_input_key_toggled(zCInput* manager, int key) {
    Count(Op(__func__), manager, key);
    if (manager == nullptr || !ValidKey(key) || !manager->toggled.at(Slot(key))) {
        return false;
    }
    manager->toggled.at(Slot(key)) = false;
    return true;
}

bool SimEngine::eng_input_mouse_right_pressed(zCInput* manager) {
    Count(Op(__func__), manager);
    return manager != nullptr && manager->mouseRightDown;
}

void SimEngine::eng_input_clear_key_buffer(zCInput* manager) {
    Count(Op(__func__), manager);
    if (manager != nullptr) {
        manager->toggled.fill(false);
        manager->keyBuffer.clear();
        Note(KeyBufferCleared{});
    }
}

}  // namespace pilfern::sim
