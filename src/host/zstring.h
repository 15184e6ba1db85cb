#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/heap_allocator.h"

extern "C" {
// The engine's heap, in which the engine makes its strings.
void* EngineHeapAlloc(std::size_t size);
void EngineHeapFree(void* block);
}

// The engine's heap as the allocator of its strings.
struct EngineHeap {
    static void* Allocate(std::size_t size) { return EngineHeapAlloc(size); }
    static void Release(void* block) { EngineHeapFree(block); }
};

// The engine's own text type, whose characters live in the engine's heap wherever the
// string is made or dropped. Besides being empty it can be "without character buffer": the
// engine hands out such strings for fields that were never assigned, and several rules of the
// plugin tell the two apart.
class zSTRING {
public:
    using Characters =
        std::basic_string<char, std::char_traits<char>, pilfern::HeapAllocator<char, EngineHeap>>;

    zSTRING() = default;  // without character buffer
    zSTRING(const char* text) : hasBuffer_(text != nullptr) {
        if (text != nullptr) {
            text_ = text;
        }
    }
    zSTRING(std::string_view text) : text_(text), hasBuffer_(true) {}

    // Replace or extend the text in place: the characters keep their memory while it is
    // large enough, so a string reused for changing texts stops allocating once it has grown.
    void Assign(std::string_view text) {
        text_.assign(text);
        hasBuffer_ = true;
    }
    void Append(std::string_view text) {
        text_.append(text);
        hasBuffer_ = true;
    }

    [[nodiscard]] bool HasBuffer() const { return hasBuffer_; }
    [[nodiscard]] std::size_t Length() const { return text_.size(); }
    [[nodiscard]] std::string_view Text() const { return text_; }
    [[nodiscard]] const char* ToChar() const { return hasBuffer_ ? text_.c_str() : nullptr; }

    friend bool operator==(const zSTRING& a, const zSTRING& b) = default;

private:
    Characters text_;
    bool hasBuffer_ = false;
};
