#pragma once

// The only door to engine code: every call of an engine address and every read or write of
// engine memory goes through these functions. Each convention the engine's compiler uses has
// its own thunk, so a call site says in its type how the engine expects to be called, and a
// mistake there is a mistake in one place.
//
// Engine code is 32-bit x86; the layer exists only in 32-bit builds.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

static_assert(sizeof(void*) == 4, "engine code is called only from a 32-bit process");

namespace pilfern::binding::abi {

// An address in the game's process, as the engine facts give it.
using EngineAddress = std::uint32_t;

// A value that travels to or from engine code in one 32-bit stack slot or register: a whole
// number, a pointer or a float (a float result comes back on the FPU stack, as the engine's
// compiler returns it).
template <class T>
concept EngineWord = sizeof(T) == 4 && (std::is_integral_v<T> || std::is_pointer_v<T> ||
                                        std::is_enum_v<T> || std::is_same_v<T, float>);
template <class T>
concept EngineResult = std::is_void_v<T> || EngineWord<T>;

[[nodiscard]] inline void* AddressOf(EngineAddress address) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
}
[[nodiscard]] inline EngineAddress AddressOf(const void* pointer) {
    return static_cast<EngineAddress>(reinterpret_cast<std::uintptr_t>(pointer));
}

// A member function: the object in ECX, the arguments on the stack, removed by the callee.
template <EngineResult R, EngineWord... A>
R CallMember(EngineAddress function, const void* self, A... args) {
    using Fn = R(__attribute__((thiscall))*)(const void*, A...);
    return reinterpret_cast<Fn>(AddressOf(function))(self, args...);
}

// A member function returning a class by value. The engine's compiler passes the address of
// the result's storage as a hidden first stack argument, which the callee removes with the
// others, and hands the same address back in EAX. It is passed here as an ordinary argument,
// so that no compiler's own rule for returning classes takes part.
template <EngineWord... A>
void* CallMemberInto(EngineAddress function, const void* self, void* result, A... args) {
    using Fn = void*(__attribute__((thiscall))*)(const void*, void*, A...);
    return reinterpret_cast<Fn>(AddressOf(function))(self, result, args...);
}

// A __fastcall function: the first two arguments in ECX and EDX, the rest on the stack,
// removed by the callee.
template <EngineResult R, EngineWord... A>
R CallFast(EngineAddress function, A... args) {
    using Fn = R(__attribute__((fastcall))*)(A...);
    return reinterpret_cast<Fn>(AddressOf(function))(args...);
}

// A __cdecl function: every argument on the stack, removed by the caller.
template <EngineResult R, EngineWord... A>
R CallPlain(EngineAddress function, A... args) {
    using Fn = R(__attribute__((cdecl))*)(A...);
    return reinterpret_cast<Fn>(AddressOf(function))(args...);
}

// Reads and writes of engine memory at an offset from an object (or from address 0, for a
// global). Copied bytewise: engine objects make no promise of alignment to this compiler.
template <class T>
requires std::is_trivially_copyable_v<T>
[[nodiscard]] T ReadAt(const void* object, std::uint32_t offset) {
    T value{};
    // T is often a pointer: the size of the pointer itself is meant.
    std::memcpy(&value, static_cast<const std::byte*>(object) + offset,
                sizeof(T));  // NOLINT(bugprone-sizeof-expression)
    return value;
}
template <class T>
requires std::is_trivially_copyable_v<T>
void WriteAt(void* object, std::uint32_t offset, const T& value) {
    std::memcpy(static_cast<std::byte*>(object) + offset, &value,
                sizeof(T));  // NOLINT(bugprone-sizeof-expression)
}
template <class T>
requires std::is_trivially_copyable_v<T>
[[nodiscard]] T ReadGlobal(EngineAddress address) {
    return ReadAt<T>(AddressOf(address), 0);
}
[[nodiscard]] inline void* FieldAddress(const void* object, std::uint32_t offset) {
    return const_cast<std::byte*>(static_cast<const std::byte*>(object) + offset);
}

// The address in slot `slot` of an object's virtual table (the table's address at +0).
[[nodiscard]] inline EngineAddress VirtualFunction(const void* object, std::uint32_t slot) {
    const auto table = ReadAt<EngineAddress>(object, 0);
    return ReadAt<EngineAddress>(AddressOf(table), slot * sizeof(EngineAddress));
}

// A virtual member, called through the object's own table.
template <EngineResult R, EngineWord... A>
R CallVirtual(const void* self, std::uint32_t slot, A... args) {
    return CallMember<R>(VirtualFunction(self, slot), self, args...);
}
template <EngineWord... A>
void* CallVirtualInto(const void* self, std::uint32_t slot, void* result, A... args) {
    return CallMemberInto(VirtualFunction(self, slot), self, result, args...);
}

}  // namespace pilfern::binding::abi
