#pragma once

#include <string_view>

#include "host/engine_string.h"

namespace pilfern::sim {

// An engine string as the simulated engine makes one to hand to its own functions by
// reference, as the engine's code does: the engine's layout (zSTRING_Engine), its text in the
// engine's heap, the byte before the text its reference count and a terminating zero after
// it. Made without a text it has no character buffer. It lives as long as the engine's call.
class EngineStringObject {
public:
    EngineStringObject();  // without character buffer
    explicit EngineStringObject(std::string_view text);
    EngineStringObject(const EngineStringObject&) = delete;
    EngineStringObject& operator=(const EngineStringObject&) = delete;
    EngineStringObject(EngineStringObject&&) = delete;
    EngineStringObject& operator=(EngineStringObject&&) = delete;
    ~EngineStringObject();

    [[nodiscard]] const zSTRING_Engine& Object() const { return object_; }

    // The stand-in for the engine string's virtual table, which every string the simulated
    // engine makes points to.
    [[nodiscard]] static const void* VirtualTable();

private:
    zSTRING_Engine object_;
};

}  // namespace pilfern::sim
