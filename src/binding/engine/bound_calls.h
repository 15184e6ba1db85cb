#pragma once

// How the bound engine reaches a member its fact names, whatever the kind: the generic
// reads and calls every operation is written with.

#include "binding/abi/raw_call.h"
#include "binding/engine/bound_engine.h"

namespace pilfern::binding::bound {

using Member = BoundEngine::Member;

// A field of the object, at the fact's offset.
template <class T>
[[nodiscard]] T Field(const void* object, const Member& member) {
    return abi::ReadAt<T>(object, member.value);
}

// A global variable, at the fact's address.
template <class T>
[[nodiscard]] T Global(const Member& member) {
    return abi::ReadGlobal<T>(member.value);
}

// A member function or virtual slot called on `self`: by the fact's address and convention.
// A __fastcall member takes `self` in ECX as its first argument; a __cdecl one that names an
// object takes it as its first stack argument.
template <abi::EngineResult R, abi::EngineWord... A>
R Call(const Member& member, const void* self, A... args) {
    switch (member.convention) {
    case CallConvention::Virtual:
        return abi::CallVirtual<R>(self, member.value, args...);
    case CallConvention::FastCall:
        return abi::CallFast<R>(member.value, self, args...);
    case CallConvention::Cdecl:
        return abi::CallPlain<R>(member.value, self, args...);
    default:
        return abi::CallMember<R>(member.value, self, args...);
    }
}

// A member returning a class through the hidden result pointer.
template <abi::EngineWord... A>
void CallInto(const Member& member, const void* self, void* result, A... args) {
    if (member.convention == CallConvention::VirtualHiddenReturn ||
        member.convention == CallConvention::Virtual) {
        abi::CallVirtualInto(self, member.value, result, args...);
    } else {
        abi::CallMemberInto(member.value, self, result, args...);
    }
}

}  // namespace pilfern::binding::bound
