#pragma once

#include <cstdint>
#include <string_view>

namespace pilfern::binding {

// What one row of the engine facts names for an operation of the engine contract (or for
// what the binding needs besides: the engine's heap, its string's own functions, its class
// records, its events).
enum class FactKind : std::uint8_t {
    Function,     // value: the function's address
    Global,       // value: the global's address
    Field,        // value: the field's offset in its object
    VirtualSlot,  // value: the slot's number in the object's virtual table
    Structure,    // value: the structure's size, where the facts give it
    Unknown,      // the engine has no member for it: the binding answers as the facts say
    Fact,         // a fact in words and bytes (the executable's signature, a layout)
};

// How the engine's compiler calls a function or a virtual slot.
enum class CallConvention : std::uint8_t {
    None,                  // not called: a field, a global, a structure
    ThisCall,              // object in ECX, arguments on the stack, the callee pops them
    ThisCallHiddenReturn,  // as ThisCall, a class result written through a hidden first
                           // stack argument that the callee pops with the others
    FastCall,              // first two arguments in ECX and EDX
    Cdecl,                 // arguments on the stack, the caller pops them
    Virtual,               // ThisCall through the object's virtual table
    VirtualHiddenReturn,   // ThisCallHiddenReturn through the object's virtual table
};

struct EngineFact {
    std::string_view operation;  // "eng_npc_name", or "support:...", "hook:...", "fact:..."
    FactKind kind;
    std::uint32_t value;
    CallConvention convention;
    std::string_view valueText;  // the value as the facts write it
};

}  // namespace pilfern::binding
