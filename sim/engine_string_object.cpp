#include "sim/engine_string_object.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <new>

#include "host/zstring.h"

namespace pilfern::sim {
namespace {

// The simulated engine calls no function of its strings' virtual table; the table only has to
// be there, as the engine's is.
constexpr std::array<const void*, 2> kVirtualTable{};

}  // namespace

EngineStringObject::EngineStringObject() {
    object_.virtualTable = kVirtualTable.data();
}

EngineStringObject::EngineStringObject(std::string_view text) : EngineStringObject() {
    // The reference count, the characters and their terminating zero.
    auto* block = static_cast<char*>(EngineHeapAlloc(text.size() + 2));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    block[0] = 1;
    std::memcpy(block + 1, text.data(), text.size());
    block[text.size() + 1] = '\0';
    object_.text = block + 1;
    object_.length = static_cast<int>(text.size());
    object_.reserved = static_cast<std::uint32_t>(text.size());
}

EngineStringObject::~EngineStringObject() {
    if (object_.text != nullptr && --object_.text[-1] == 0) {
        EngineHeapFree(object_.text - 1);
    }
}

const void* EngineStringObject::VirtualTable() {
    return kVirtualTable.data();
}

}  // namespace pilfern::sim
