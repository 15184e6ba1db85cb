#pragma once

// What the fake engine's stubs and the fake game's process share. Plain C types only: this
// header is compiled both for the engine's compiler's rules and for the plugin's.

#include <stdint.h>

// The stubs, by number: one for each shape of engine member the binding calls.
enum FakeStub {
    kStubMemberInt0,      // int member()
    kStubMemberInt1,      // int member(word)
    kStubMemberInt2,      // int member(word, word)
    kStubMemberIntFloat,  // int member(word, float)
    kStubMemberVoid0,     // void member()
    kStubMemberVoid1,     // void member(word)
    kStubMemberVoid3,     // void member(word, word, word)
    kStubMemberFloat1,    // float member(word)
    // Class results. The "compiled" stubs return their class as the engine's compiler does of
    // its own accord; the others spell that rule out and refuse a result pointer that is not
    // the caller's storage, so that a caller that passes none fails instead of having one of
    // its values written through.
    kStubMemberVec3Compiled,     // zVEC3 member()
    kStubMemberString1Compiled,  // zSTRING member(word)
    kStubMemberVec3,             // zVEC3 member()
    kStubMemberString0,          // zSTRING member()
    kStubMemberString1,          // zSTRING member(word)
    kStubFastInt1,               // int __fastcall function(word)
    kStubPlainWord0,             // word __cdecl function()
    kStubPlainWord2,             // word __cdecl function(word, word)
    kStubStringConstruct,        // zSTRING::zSTRING(const char*)
    kStubStringCopy,             // zSTRING::zSTRING(const zSTRING&)
    kStubStringDestroy,          // zSTRING::~zSTRING()
    kStubStringAssign,           // zSTRING& zSTRING::operator=(const char*)
    kStubOperatorNew,            // void* __cdecl operator new(unsigned)
    kStubOperatorDelete,         // void __cdecl operator delete(void*)
    kStubCount
};

// The last call a stub received, as it arrived.
struct FakeCall {
    uint32_t stub;          // which stub (FakeStub)
    uint32_t self;          // ECX: the object of a member, the first argument of a fastcall
    uint32_t args[4];       // the arguments as the stub received them
    uint32_t hiddenResult;  // where a class result was asked to go (0: none or refused)
    uint32_t entryStack;    // the stack pointer at entry (the return address's slot)
    uint32_t calls;         // how many calls the stubs received in all
};

// What the stubs answer: a whole number (or pointer), a float, a text and a vector.
struct FakeAnswers {
    uint32_t word;
    float real;
    const char* text;
    float vector[3];
};

// The fake engine's heap: how many blocks its operator new and the string functions gave out
// and took back.
struct FakeHeapCount {
    uint32_t allocations;
    uint32_t releases;
};
