#pragma once

#include "host/engine.h"

namespace pilfern {

// The checked conversion of engine objects: the object as the engine class asked for, or
// null when the engine's own class test says it is not one (or it is null). The engine's
// answer is the only one: the plugin never asks C++ what an engine object is, since in the
// game the objects are the engine's and their run-time type information is not the plugin's
// compiler's. The conversion changes no address (host/engine.h): the result is the object's
// address, to be read as the class asked for.
[[nodiscard]] void* EngineCast(Engine& engine, zCObject* object, EngineClass target);

// The conversion as the library publishes it for the framework (RTDynamicCast_MT): without
// an engine, it asks the engine of the running instance (frame/hooks.h).
using EngineCastFn = void* (*)(zCObject* object, EngineClass target);

// The NPC as NewBalance's extended NPC, one way for the looter and for auto-loot alike; none
// when the engine's class test says it is none.
[[nodiscard]] const oCNpcEx* ExtendedNpcOf(Engine& engine, const oCNpc& npc);

}  // namespace pilfern
