#pragma once

// What the fake engine's stubs and the fake game's process share. Plain C types only: this
// header is compiled both for the engine's compiler's rules and for the plugin's.

// The C header: the fake engine is built without any C++ library.
#include <stdint.h>  // NOLINT(modernize-deprecated-headers)

// The stubs, by number: one for each shape of engine function the binding calls.
enum FakeStub {
    // Members (__thiscall) taking 0 to 5 words and answering a word.
    kStubMember0,
    kStubMember1,
    kStubMember2,
    kStubMember3,
    kStubMember4,
    kStubMember5,
    kStubMemberFloat1,  // float member(word)
    // Members writing their answers where their arguments point.
    kStubMemberOutFirst2,  // void member(int& out, word): the answer into the first
    kStubMemberOutLast3,   // void member(word, word& out, word& out): answers into the last two
    // Class results. The "compiled" stubs return their class as the engine's compiler does of
    // its own accord; the others spell that rule out and refuse a result pointer that is not
    // the caller's storage, so that a caller that passes none fails instead of having one of
    // its values written through.
    kStubMemberVec3Compiled,     // zVEC3 member()
    kStubMemberString1Compiled,  // zSTRING member(word)
    kStubMemberVec3,             // zVEC3 member()
    kStubMemberString0,          // zSTRING member()
    kStubMemberString1,          // zSTRING member(word)
    kStubMemberString3,          // zSTRING member(word, word, word)
    // __fastcall: the first two words in ECX and EDX.
    kStubFast1,         // word f(word)
    kStubFast2,         // word f(word, word)
    kStubFastViewport,  // void f(view, int&, int&, int&, int&): writes four answers
    // __cdecl.
    kStubPlain0,  // word f()
    kStubPlain2,  // word f(word, word)
    kStubPlain7,  // word f(7 words)
    // The engine's own string and heap functions: they keep their own records (FakeStrings,
    // FakeHeapCount), so that a call's record is the call of the operation itself.
    kStubStringConstruct,  // zSTRING::zSTRING(const char*)
    kStubStringDestroy,    // zSTRING::~zSTRING()
    kStubOperatorNew,      // void* __cdecl operator new(unsigned)
    kStubOperatorDelete,   // void __cdecl operator delete(void*)
    kStubCount
};

// The last call a stub received, as it arrived.
struct FakeCall {
    uint32_t stub;          // which stub (FakeStub)
    uint32_t self;          // ECX: the object of a member, the first argument of a fastcall
    uint32_t args[8];       // the stack arguments (for a fastcall: EDX, then the stack)
    uint32_t hiddenResult;  // where a class result was asked to go (0: none or refused)
    uint32_t entryStack;    // the stack pointer at entry (the return address's slot)
    uint32_t calls;         // how many operation calls the stubs received in all
    uint32_t target;        // what the trampoline the call came through named (0: none)
};

// A fake game with behaviour: called by every operation stub after it recorded the call
// (FakeCall) and before it answers (FakeAnswers), so that it can set the answer. A function
// of the C convention, which both compilers agree on.
using FakeDispatch = void (*)();

// What the stubs answer: two words, a float, a text and a vector.
struct FakeAnswers {
    uint32_t word;
    uint32_t second;
    float real;
    const char* text;
    float vector[3];
    int32_t quad[4];  // the four answers of a viewport
};

// The engine strings made (by the binding through the engine's constructor, or by an engine
// function as its result) and dropped through the engine's own destructor.
struct FakeStrings {
    uint32_t made;
    uint32_t dropped;
    uint32_t lastMade;  // the last string object made
    char lastText[64];  // its text, cut to fit
    uint32_t live;      // texts in the engine's heap not yet dropped
};

// The fake engine's heap: how many blocks it gave out (to its operator new and its strings)
// and took back, and the size and address of the last block its operator new gave.
struct FakeHeapCount {
    uint32_t allocations;
    uint32_t releases;
    uint32_t lastNewSize;
    uint32_t lastNewBlock;
    uint32_t foreign;  // blocks given back that the heap never gave out
};
