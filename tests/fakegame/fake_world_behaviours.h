#pragma once

#include <string_view>
#include <vector>

#include "fakegame/fake_world.h"

namespace pilfern::fakegame {

// What the fake game does when one engine function or virtual slot is called: the stub of
// the function's shape, the class whose table holds the slot (empty for a function), and the
// behaviour, which reads the call and sets the answer.
struct FakeWorld::Behaviour {
    std::string_view operation;
    FakeStub stub;
    std::string_view slotClass;
    void (*answer)(FakeWorld& world, const FakeCall& call, FakeAnswers& answers);
};

// Every engine function and slot the fake game models, for the engine version in force.
[[nodiscard]] const std::vector<FakeWorld::Behaviour>& Behaviours(int version);

}  // namespace pilfern::fakegame
