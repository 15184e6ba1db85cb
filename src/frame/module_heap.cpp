// The plugin module's new and delete: every allocation of the module, its containers and its
// runtime's included, takes its memory from the framework's heap, as the game expects of a
// plugin. The module carries its own runtime, so these replace new and delete for the module
// alone, never for the process that loads it.

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/framework_heap.h"

namespace {

void* Allocate(std::size_t size) {
    // A request for nothing still gets a block of its own.
    return FrameworkHeapAlloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    void* block = Allocate(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

// Over-aligned blocks: a larger block from the framework's heap, with the address of that
// block kept just before the aligned one.
void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    const auto align = static_cast<std::size_t>(alignment);
    void* raw = Allocate(size + align + sizeof(void*));
    if (raw == nullptr) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    const std::uintptr_t aligned = (start + align - 1) & ~(std::uintptr_t{align} - 1);
    reinterpret_cast<void**>(aligned)[-1] = raw;
    return reinterpret_cast<void*>(aligned);
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* block = AllocateAligned(size, alignment);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void ReleaseAligned(void* block) {
    if (block != nullptr) {
        FrameworkHeapFree(static_cast<void**>(block)[-1]);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment,
                   const std::nothrow_t& /*tag*/) noexcept {
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t& /*tag*/) noexcept {
    return AllocateAligned(size, alignment);
}

void operator delete(void* block) noexcept {
    FrameworkHeapFree(block);
}
void operator delete[](void* block) noexcept {
    FrameworkHeapFree(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    FrameworkHeapFree(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
    FrameworkHeapFree(block);
}
void operator delete(void* block, const std::nothrow_t& /*tag*/) noexcept {
    FrameworkHeapFree(block);
}
void operator delete[](void* block, const std::nothrow_t& /*tag*/) noexcept {
    FrameworkHeapFree(block);
}
void operator delete(void* block, std::align_val_t /*alignment*/) noexcept {
    ReleaseAligned(block);
}
void operator delete[](void* block, std::align_val_t /*alignment*/) noexcept {
    ReleaseAligned(block);
}
void operator delete(void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
    ReleaseAligned(block);
}
void operator delete[](void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
    ReleaseAligned(block);
}
void operator delete(void* block, std::align_val_t /*alignment*/,
                     const std::nothrow_t& /*tag*/) noexcept {
    ReleaseAligned(block);
}
void operator delete[](void* block, std::align_val_t /*alignment*/,
                       const std::nothrow_t& /*tag*/) noexcept {
    ReleaseAligned(block);
}
