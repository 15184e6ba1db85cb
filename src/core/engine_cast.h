#pragma once

#include "host/engine.h"

namespace pilfern {

// The plugin's run-time type-checked conversion of engine objects: the object as the engine
// class asked for, or null when it is not one (or is null). The library publishes its
// address for the framework (RTDynamicCast_MT); the plugin's logic asks the engine instead.
[[nodiscard]] void* EngineCast(zCObject* object, EngineClass target);
using EngineCastFn = void* (*)(zCObject* object, EngineClass target);

// The NPC as NewBalance's extended NPC, one way for the looter and for auto-loot alike; none
// when it is none. The extended NPC holds the NPC as a virtual base, so even an NPC that is
// one is reached as one only through the checked conversion, which answers as the engine's
// class test does.
[[nodiscard]] const oCNpcEx* ExtendedNpcOf(const oCNpc& npc);

}  // namespace pilfern
