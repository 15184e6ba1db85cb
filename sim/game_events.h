#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// What the plugin makes happen in the game, beyond the answers it gets: the game events a
// mod author wants to see in the order they happened. Objects are named by the scenario's id;
// texts of the game (function and message names) stay in the game's code page.

namespace pilfern::sim {

// A script function ran and answered `result`; `self` is what the scripts saw as SELF.
struct ScriptCalled {
    std::string function;
    int result = 0;
    std::string self;
};

// A message reached an NPC's event manager.
struct MessageReceived {
    std::string npc;
    int subtype = 0;
    std::optional<std::string> name;    // none: the message's name has no character buffer
    std::optional<std::string> target;  // none: no target
    int flag = 0;
};

// An NPC was bound to an interactive object, or unbound from the one it had.
struct MobBound {
    std::string npc;
    std::optional<std::string> mob;       // none: unbound
    std::optional<std::string> previous;  // what it was bound to before
};

enum class StatePhase { Begin, End };

// A state change of an interactive object began or ended. `fault` says what is wrong with the
// call when the begin and end do not pair up, or the change does not fit the object; empty
// when nothing is.
struct MobStateChanged {
    std::string mob;
    std::string user;
    int from = 0;
    int to = 0;
    StatePhase phase = StatePhase::Begin;
    std::string fault;
};

// The lock flags of a lockable object were set (bit 0 is "locked").
struct MobLockSet {
    std::string mob;
    std::uint32_t before = 0;
    std::uint32_t after = 0;
};

// The input manager's key buffer was cleared: the presses of this frame are gone.
struct KeyBufferCleared {};

// A visual effect was started at an object. `shown` is false when the game's scripts define no
// effect of that name: the game then shows nothing.
struct VisualEffectPlayed {
    std::string effect;
    std::string origin;
    std::array<float, 3> at{};  // where the origin stood
    std::optional<std::string> target;
    int level = 0;
    float damage = 0;
    int damageType = 0;
    int isProjectile = 0;
    bool shown = false;
};

using GameEvent = std::variant<ScriptCalled, MessageReceived, MobBound, MobStateChanged, MobLockSet,
                               KeyBufferCleared, VisualEffectPlayed>;

}  // namespace pilfern::sim
