#pragma once

// The engine's own strings, made, read and dropped only through the engine's own functions,
// so that their text always lives in the engine's heap under the engine's reference count.

#include <cstdint>
#include <string_view>

#include "binding/abi/raw_call.h"
#include "host/engine_string.h"
#include "host/zstring.h"

namespace pilfern::binding::abi {

// The engine's own functions for its strings, from the facts of one version.
struct EngineStringCalls {
    EngineAddress construct = 0;  // zSTRING::zSTRING(const char*)
    EngineAddress destroy = 0;    // zSTRING::~zSTRING(), which frees the text, not the object
    EngineAddress table = 0;      // zSTRING's virtual table
};

// An engine string object as the plugin's text type: a string without character buffer stays
// one.
[[nodiscard]] inline zSTRING PluginTextOf(const zSTRING_Engine& text) {
    return text.HasBuffer() ? zSTRING(text.Text()) : zSTRING();
}

// The engine string object lying at an offset of an engine object, read in place.
[[nodiscard]] inline const zSTRING_Engine& StringAt(const void* object, std::uint32_t offset) {
    return *static_cast<const zSTRING_Engine*>(FieldAddress(object, offset));
}

// An engine string the plugin made to hand to the engine, dropped by the engine's destructor
// when it goes out of scope. A plugin text without character buffer becomes an engine string
// without one, laid out as the engine's own constructor leaves an empty string.
class EngineString {
public:
    EngineString(const EngineStringCalls& calls, const zSTRING& text) : calls_(calls) {
        if (text.HasBuffer()) {
            CallMember<void*>(calls_.construct, &object_, text.ToChar());
        } else {
            object_.virtualTable = AddressOf(calls_.table);
        }
    }
    ~EngineString() { CallMember<void>(calls_.destroy, &object_); }
    EngineString(const EngineString&) = delete;
    EngineString& operator=(const EngineString&) = delete;
    EngineString(EngineString&&) = delete;
    EngineString& operator=(EngineString&&) = delete;

    [[nodiscard]] const zSTRING_Engine* Object() const { return &object_; }

private:
    const EngineStringCalls& calls_;
    zSTRING_Engine object_;
};

// Calls an engine function that returns a string through the hidden result pointer, takes
// the text over as the plugin's text and drops the engine's string with its own destructor.
// `call` receives the result's storage and makes the call.
template <class Call>
[[nodiscard]] zSTRING ReceiveText(const EngineStringCalls& calls, Call&& call) {
    zSTRING_Engine result;
    call(static_cast<void*>(&result));
    zSTRING text = PluginTextOf(result);
    CallMember<void>(calls.destroy, &result);
    return text;
}

}  // namespace pilfern::binding::abi
