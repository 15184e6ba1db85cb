#pragma once

#include <cstddef>

// The framework's heap, which its module exports by ordinal: 257 allocates, 258 releases, 259
// resizes. The plugin module's new and delete and the plugin's own texts take their memory
// from it, as the game expects of a plugin; a block goes back to the heap it came from.
extern "C" {
void* FrameworkHeapAlloc(std::size_t size);
void FrameworkHeapFree(void* block);
void* FrameworkHeapRealloc(void* block, std::size_t size);
}

namespace pilfern {

// The framework's heap as the allocator of its texts.
struct FrameworkHeap {
    static void* Allocate(std::size_t size) { return FrameworkHeapAlloc(size); }
    static void Release(void* block) { FrameworkHeapFree(block); }
};

}  // namespace pilfern
