#pragma once

#include <cstddef>
#include <limits>
#include <new>

namespace pilfern {

// A standard allocator over one of the game's heaps, given as its two functions. Texts that
// pass between the plugin and its host take their memory from the host's heap this way, so
// whichever module frees a text frees it where it was made.
template <class T, class Heap>
class HeapAllocator {
public:
    using value_type = T;

    HeapAllocator() = default;
    template <class U>
    explicit HeapAllocator(const HeapAllocator<U, Heap>& /*other*/) {}

    [[nodiscard]] T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        void* block = Heap::Allocate(count * sizeof(T));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t /*count*/) { Heap::Release(block); }

    template <class U>
    struct rebind {
        using other = HeapAllocator<U, Heap>;
    };

    friend bool operator==(const HeapAllocator&, const HeapAllocator&) { return true; }
};

}  // namespace pilfern
