#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

// The engine's own string object as it lies in the engine's memory: what a replaced engine
// function receives where the engine passes a zSTRING by reference. It is not the plugin's
// zSTRING (host/zstring.h), which is the plugin's value type for engine text. The plugin only
// reads it, in place, and hands the very object back to the engine; it never makes, copies,
// assigns or frees one (the engine's own constructor, operator= and destructor do, and its
// text lives in the engine's heap with the reference count in the byte before the text).
//
// The layout, 20 bytes in the 32-bit engine: virtual-table pointer at +0, allocator word at
// +4, text pointer at +8 (null: the string has no character buffer), length at +12, reserved
// at +16. A 64-bit build has the same fields with natural alignment.
struct zSTRING_Engine {
    zSTRING_Engine() = default;
    zSTRING_Engine(const zSTRING_Engine&) = delete;
    zSTRING_Engine& operator=(const zSTRING_Engine&) = delete;
    zSTRING_Engine(zSTRING_Engine&&) = delete;
    zSTRING_Engine& operator=(zSTRING_Engine&&) = delete;
    ~zSTRING_Engine() = default;

    const void* virtualTable = nullptr;
    std::uint32_t allocator = 0;
    char* text = nullptr;
    int length = 0;
    std::uint32_t reserved = 0;

    // Whether the string has a character buffer (an empty text may still have one).
    [[nodiscard]] bool HasBuffer() const { return text != nullptr; }
    // The text where it lies, without copying: empty when there is no buffer (or the length
    // is not a length).
    [[nodiscard]] std::string_view Text() const {
        if (text == nullptr || length <= 0) {
            return {};
        }
        return {text, static_cast<std::size_t>(length)};
    }
};

static_assert(std::is_standard_layout_v<zSTRING_Engine>);
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(zSTRING_Engine) == 20);
static_assert(offsetof(zSTRING_Engine, virtualTable) == 0);
static_assert(offsetof(zSTRING_Engine, allocator) == 4);
static_assert(offsetof(zSTRING_Engine, text) == 8);
static_assert(offsetof(zSTRING_Engine, length) == 12);
static_assert(offsetof(zSTRING_Engine, reserved) == 16);
#endif
