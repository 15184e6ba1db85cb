#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/instance.h"
#include "host/engine.h"
#include "host/framework.h"

namespace pilfern {

// The addresses the framework and the engine call into for one instance: the three patch
// replacements and the event handlers. Each instance has its own set, so that a call
// reaches the instance it was registered by.
struct InstanceEntryPoints {
    FontGetFontDataFn getFontData;
    ViewPrintCharsFn printChars;
    InputSetStateFn setState;
    EventHandler onGameInit;
    EventHandler onFrameInput;
    EventHandler onFrame;
    EventHandler onGameSave;
    EventHandler onGameLoad;
    EventHandler onOptionsApplied;
};

// The entry points of the instance at `slot` (engine version minus one).
[[nodiscard]] const InstanceEntryPoints& EntryPointsFor(std::size_t slot);

// Binds and unbinds the instance that the entry points of its slot reach.
void BindEntryPoints(std::size_t slot, Instance* instance);

// The checked conversion of engine objects as the module publishes it (RTDynamicCast_MT),
// called without context: it finds the running instance (the bound one whose engine version
// the framework runs) as the entry points find theirs, and answers by that instance's
// engine's class test (EngineCast). Null when no instance runs, and when anything throws.
[[nodiscard]] void* PublishedEngineCast(zCObject* object, EngineClass target) noexcept;

// The engine's own function behind a patch record, as the replacement calls it.
template <class Fn>
[[nodiscard]] Fn OriginalOf(const ModulePatchCallInfo& record) {
    return reinterpret_cast<Fn>(record.GetReturnAddress());
}

template <class Fn>
[[nodiscard]] std::uintptr_t AddressOf(Fn function) {
    return reinterpret_cast<std::uintptr_t>(function);
}

}  // namespace pilfern
