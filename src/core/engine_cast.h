#pragma once

#include "host/engine.h"

namespace pilfern {

// The plugin's run-time type-checked conversion of engine objects: the object as the engine
// class asked for, or null when it is not one (or is null). The library publishes its
// address for the framework (RTDynamicCast_MT); the plugin's logic asks the engine instead.
[[nodiscard]] void* EngineCast(zCObject* object, EngineClass target);
using EngineCastFn = void* (*)(zCObject* object, EngineClass target);

}  // namespace pilfern
