#pragma once

#include <cstdint>

// The heaps of the simulated game's process: the framework's, which the plugin module's new
// and delete and the framework's strings use, and the engine's, in which engine strings live.
// Their functions are the ones the host contracts name (FrameworkHeapAlloc, EngineHeapAlloc,
// ...); the framework's are exported by ordinal 257, 258 and 259 on Windows. Each block knows
// its heap: a block given back to the other heap, or to none, stops the game at once, as a
// mismatched free would bring down the real one.
namespace pilfern::sim {

// What a heap has done since the process started.
struct HeapFigures {
    std::uint64_t allocations = 0;
    std::uint64_t releases = 0;
    std::int64_t bytesInUse = 0;
};

[[nodiscard]] HeapFigures FrameworkHeapFigures();
[[nodiscard]] HeapFigures EngineHeapFigures();

// A game that has run out of memory: from now on the framework's heap gives no block that
// would take its bytes in use beyond `bytesInUse`, and answers none instead, as the real heap
// does. A negative value lifts the limit.
void LimitFrameworkHeap(std::int64_t bytesInUse);

}  // namespace pilfern::sim
