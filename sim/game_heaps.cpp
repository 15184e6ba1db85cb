#include "sim/game_heaps.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/framework_heap.h"
#include "host/zstring.h"

namespace pilfern::sim {
namespace {

// Every block starts with its size and the tag of its heap, padded so that what follows keeps
// the alignment the system's allocator gives.
struct alignas(std::max_align_t) BlockHeader {
    std::size_t size;
    std::uint32_t tag;
};

class TaggedHeap {
public:
    constexpr TaggedHeap(std::uint32_t tag, const char* name) : tag_(tag), name_(name) {}

    void* Allocate(std::size_t size) {
        const std::int64_t limit = limit_.load(std::memory_order_relaxed);
        if (limit >= 0 &&
            bytesInUse_.load(std::memory_order_relaxed) + static_cast<std::int64_t>(size) > limit) {
            return nullptr;
        }
        // The heap is made of the system's allocator, as the game's heaps are.
        // NOLINTNEXTLINE(*-no-malloc,*-owning-memory)
        auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
        if (header == nullptr) {
            return nullptr;
        }
        header->size = size;
        header->tag = tag_;
        allocations_.fetch_add(1, std::memory_order_relaxed);
        bytesInUse_.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
        return header + 1;
    }

    void Release(void* block) {
        if (block == nullptr) {
            return;
        }
        BlockHeader* header = HeaderOf(block);
        header->tag = 0;
        releases_.fetch_add(1, std::memory_order_relaxed);
        bytesInUse_.fetch_sub(static_cast<std::int64_t>(header->size), std::memory_order_relaxed);
        std::free(header);  // NOLINT(*-no-malloc,*-owning-memory)
    }

    void* Resize(void* block, std::size_t size) {
        if (block == nullptr) {
            return Allocate(size);
        }
        if (size == 0) {
            Release(block);
            return nullptr;
        }
        const std::size_t old = HeaderOf(block)->size;
        void* resized = Allocate(size);
        if (resized != nullptr) {
            std::memcpy(resized, block, old < size ? old : size);
            Release(block);
        }
        return resized;
    }

    void Limit(std::int64_t bytesInUse) { limit_.store(bytesInUse, std::memory_order_relaxed); }

    [[nodiscard]] HeapFigures Figures() const {
        return {allocations_.load(std::memory_order_relaxed),
                releases_.load(std::memory_order_relaxed),
                bytesInUse_.load(std::memory_order_relaxed)};
    }

private:
    BlockHeader* HeaderOf(void* block) const {
        BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
        if (header->tag != tag_) {
            std::fprintf(stderr, "the %s heap was given a block it did not make\n", name_);
            std::abort();
        }
        return header;
    }

    std::uint32_t tag_;
    const char* name_;
    std::atomic<std::uint64_t> allocations_{0};
    std::atomic<std::uint64_t> releases_{0};
    std::atomic<std::int64_t> bytesInUse_{0};
    std::atomic<std::int64_t> limit_{-1};
};

// Built before any module's static construction can ask for memory.
constinit TaggedHeap frameworkHeap(0x464D4850U, "framework");  // "PHMF"
constinit TaggedHeap engineHeap(0x454E4748U, "engine");        // "HGNE"

}  // namespace

HeapFigures FrameworkHeapFigures() {
    return frameworkHeap.Figures();
}

HeapFigures EngineHeapFigures() {
    return engineHeap.Figures();
}

void LimitFrameworkHeap(std::int64_t bytesInUse) {
    frameworkHeap.Limit(bytesInUse);
}

}  // namespace pilfern::sim

extern "C" {

void* FrameworkHeapAlloc(std::size_t size) {
    return pilfern::sim::frameworkHeap.Allocate(size);
}

void FrameworkHeapFree(void* block) {
    pilfern::sim::frameworkHeap.Release(block);
}

void* FrameworkHeapRealloc(void* block, std::size_t size) {
    return pilfern::sim::frameworkHeap.Resize(block, size);
}

void* EngineHeapAlloc(std::size_t size) {
    return pilfern::sim::engineHeap.Allocate(size);
}

void EngineHeapFree(void* block) {
    pilfern::sim::engineHeap.Release(block);
}

}  // extern "C"
