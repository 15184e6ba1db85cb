// The fake engine: stubs compiled for the engine's compiler's rules (32-bit, Microsoft's C++
// ABI: members are __thiscall, a member returning a class writes it through a hidden pointer
// that it removes from the stack with its arguments). The fake game's process maps this
// library and sends the engine's addresses here, so every call the binding makes arrives in
// code that expects exactly what the game's code expects.
//
// Built without any runtime: no library, no entry point, no initialisers.

#include "fake_engine_abi.h"

extern "C" {
int _fltused = 0;  // the compiler's marker for floating-point use; no runtime provides it
void* _AddressOfReturnAddress();
__declspec(dllexport) FakeCall fake_call;
__declspec(dllexport) FakeAnswers fake_answers;
__declspec(dllexport) FakeHeapCount fake_heap;
}

// Placement construction, which no runtime provides here.
inline void* operator new(decltype(sizeof 0), void* where) noexcept {
    return where;
}
// The string's deleting destructor names the global delete; the fake engine never deletes a
// string through it.
void operator delete(void* /*block*/) noexcept {}

namespace {

constexpr uint32_t kWindow = 0x10000;  // how far above the stub's stack a caller's result may lie

inline uint32_t Word(const void* pointer) {
    return reinterpret_cast<uint32_t>(pointer);
}

void Record(FakeStub stub, const void* self, uint32_t a, uint32_t b, uint32_t c, void* entry) {
    fake_call.stub = stub;
    fake_call.self = Word(self);
    fake_call.args[0] = a;
    fake_call.args[1] = b;
    fake_call.args[2] = c;
    fake_call.args[3] = 0;
    fake_call.hiddenResult = 0;
    fake_call.entryStack = Word(entry);
    ++fake_call.calls;
}

// A result pointer is honoured only where a caller's storage can be: on its stack, just
// above the stub's own. Anything else (an argument taken for the pointer because the caller
// did not pass one) is refused rather than written through.
bool IsCallersStorage(const void* result, void* entry) {
    const uint32_t at = Word(result);
    return at > Word(entry) && at < Word(entry) + kWindow;
}

// The engine's heap: a fixed arena, counted.
alignas(16) char gArena[1 << 20];
uint32_t gArenaUsed = 0;

void* Allocate(uint32_t size) {
    const uint32_t rounded = (size + 15u) & ~15u;
    if (gArenaUsed + rounded > sizeof gArena) {
        return nullptr;
    }
    void* block = gArena + gArenaUsed;
    gArenaUsed += rounded;
    ++fake_heap.allocations;
    return block;
}
void Release(void* block) {
    if (block != nullptr) {
        ++fake_heap.releases;
    }
}

uint32_t Length(const char* text) {
    uint32_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

}  // namespace

// The engine's string: a table pointer, the allocator's byte, the text, its length and its
// capacity; the text's block starts one byte early with a reference count.
class zSTRING {
public:
    virtual ~zSTRING() { Drop(); }

    void Take(const char* text) {
        const uint32_t length = text == nullptr ? 0 : Length(text);
        Drop();
        auto* block = static_cast<char*>(Allocate(length + 2));
        block[0] = 0;  // the reference count
        for (uint32_t i = 0; i < length; ++i) {
            block[1 + i] = text[i];
        }
        block[1 + length] = '\0';
        vector = block + 1;
        size = static_cast<int>(length);
        reserved = static_cast<int>(length);
    }
    void Drop() {
        if (vector != nullptr) {
            Release(vector - 1);
        }
        vector = nullptr;
        size = 0;
        reserved = 0;
    }

    char allocator = 0;
    char* vector = nullptr;
    int size = 0;
    int reserved = 0;
};
static_assert(sizeof(zSTRING) == 20, "the engine's string is 20 bytes");

struct zVEC3 {
    float n[3];
};

// Any engine object as its members see it. Each member is one shape of call.
class FakeObject {
public:
    int MemberInt0() {
        Record(kStubMemberInt0, this, 0, 0, 0, _AddressOfReturnAddress());
        return static_cast<int>(fake_answers.word);
    }
    int MemberInt1(uint32_t a) {
        Record(kStubMemberInt1, this, a, 0, 0, _AddressOfReturnAddress());
        return static_cast<int>(fake_answers.word);
    }
    int MemberInt2(uint32_t a, uint32_t b) {
        Record(kStubMemberInt2, this, a, b, 0, _AddressOfReturnAddress());
        return static_cast<int>(fake_answers.word);
    }
    int MemberIntFloat(uint32_t a, float b) {
        uint32_t bits = 0;
        __builtin_memcpy(&bits, &b, sizeof bits);
        Record(kStubMemberIntFloat, this, a, bits, 0, _AddressOfReturnAddress());
        return static_cast<int>(fake_answers.word);
    }
    void MemberVoid0() { Record(kStubMemberVoid0, this, 0, 0, 0, _AddressOfReturnAddress()); }
    void MemberVoid1(uint32_t a) {
        Record(kStubMemberVoid1, this, a, 0, 0, _AddressOfReturnAddress());
    }
    void MemberVoid3(uint32_t a, uint32_t b, uint32_t c) {
        Record(kStubMemberVoid3, this, a, b, c, _AddressOfReturnAddress());
    }
    float MemberFloat1(uint32_t a) {
        Record(kStubMemberFloat1, this, a, 0, 0, _AddressOfReturnAddress());
        return fake_answers.real;
    }
    zVEC3 MemberVec3() {
        Record(kStubMemberVec3Compiled, this, 0, 0, 0, _AddressOfReturnAddress());
        return {{fake_answers.vector[0], fake_answers.vector[1], fake_answers.vector[2]}};
    }
    // The class results are built where the caller asked, as the engine's compiler does; the
    // stub checks first that the caller asked at all.
    zSTRING MemberString1(uint32_t a) { return StringResult(kStubMemberString1Compiled, a); }

private:
    zSTRING StringResult(FakeStub stub, uint32_t a) {
        Record(stub, this, a, 0, 0, _AddressOfReturnAddress());
        zSTRING result;
        result.Take(fake_answers.text);
        return result;
    }
};

// The hidden pointer of MemberString0/1 is the first stack argument: refuse to answer when it
// is not the caller's storage, so that a caller that passed none fails its check instead of
// having an argument written through.
class CheckedStrings {
public:
    zSTRING* String0(zSTRING* result) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberString0, this, 0, 0, 0, entry);
        return Answer(result, entry);
    }
    zSTRING* String1(zSTRING* result, uint32_t a) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberString1, this, a, 0, 0, entry);
        return Answer(result, entry);
    }
    zVEC3* Vec3(zVEC3* result) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberVec3, this, 0, 0, 0, entry);
        if (!IsCallersStorage(result, entry)) {
            return nullptr;
        }
        fake_call.hiddenResult = Word(result);
        for (int i = 0; i < 3; ++i) {
            result->n[i] = fake_answers.vector[i];
        }
        return result;
    }

private:
    static zSTRING* Answer(zSTRING* result, void* entry) {
        if (!IsCallersStorage(result, entry)) {
            return nullptr;
        }
        fake_call.hiddenResult = Word(result);
        new (result) zSTRING;
        result->Take(fake_answers.text);
        return result;
    }
};

// The engine string's own functions, as members of the string.
class StringFunctions : public zSTRING {
public:
    StringFunctions* Construct(const char* text) {
        Record(kStubStringConstruct, this, Word(text), 0, 0, _AddressOfReturnAddress());
        new (this) zSTRING;
        Take(text);
        return this;
    }
    StringFunctions* Copy(const zSTRING* source) {
        Record(kStubStringCopy, this, Word(source), 0, 0, _AddressOfReturnAddress());
        new (this) zSTRING;
        Take(source->vector);
        return this;
    }
    void Destroy() {
        Record(kStubStringDestroy, this, 0, 0, 0, _AddressOfReturnAddress());
        Drop();
    }
    StringFunctions* Assign(const char* text) {
        Record(kStubStringAssign, this, Word(text), 0, 0, _AddressOfReturnAddress());
        Take(text);
        return this;
    }
};

extern "C" {
int __fastcall FastInt1(uint32_t a) {
    Record(kStubFastInt1, nullptr, a, 0, 0, _AddressOfReturnAddress());
    fake_call.self = a;
    return static_cast<int>(fake_answers.word);
}
uint32_t __cdecl PlainWord0() {
    Record(kStubPlainWord0, nullptr, 0, 0, 0, _AddressOfReturnAddress());
    return fake_answers.word;
}
uint32_t __cdecl PlainWord2(uint32_t a, uint32_t b) {
    Record(kStubPlainWord2, nullptr, a, b, 0, _AddressOfReturnAddress());
    return fake_answers.word;
}
void* __cdecl OperatorNew(uint32_t size) {
    Record(kStubOperatorNew, nullptr, size, 0, 0, _AddressOfReturnAddress());
    return Allocate(size);
}
void __cdecl OperatorDelete(void* block) {
    Record(kStubOperatorDelete, nullptr, Word(block), 0, 0, _AddressOfReturnAddress());
    Release(block);
}
}

namespace {

// A member function's code address: in this ABI a pointer to a member of a class without
// virtual bases is the code address itself.
template <class Member>
uint32_t CodeOf(Member member) {
    static_assert(sizeof member == sizeof(uint32_t), "a plain member pointer");
    uint32_t address = 0;
    __builtin_memcpy(&address, &member, sizeof address);
    return address;
}

}  // namespace

// Where each stub lies, for the fake process to send the engine's addresses to.
extern "C" __declspec(dllexport) uint32_t __cdecl fake_stub_address(uint32_t stub) {
    const uint32_t addresses[kStubCount] = {
        CodeOf(&FakeObject::MemberInt0),
        CodeOf(&FakeObject::MemberInt1),
        CodeOf(&FakeObject::MemberInt2),
        CodeOf(&FakeObject::MemberIntFloat),
        CodeOf(&FakeObject::MemberVoid0),
        CodeOf(&FakeObject::MemberVoid1),
        CodeOf(&FakeObject::MemberVoid3),
        CodeOf(&FakeObject::MemberFloat1),
        CodeOf(&FakeObject::MemberVec3),
        CodeOf(&FakeObject::MemberString1),
        CodeOf(&CheckedStrings::Vec3),
        CodeOf(&CheckedStrings::String0),
        CodeOf(&CheckedStrings::String1),
        Word(reinterpret_cast<const void*>(&FastInt1)),
        Word(reinterpret_cast<const void*>(&PlainWord0)),
        Word(reinterpret_cast<const void*>(&PlainWord2)),
        CodeOf(&StringFunctions::Construct),
        CodeOf(&StringFunctions::Copy),
        CodeOf(&StringFunctions::Destroy),
        CodeOf(&StringFunctions::Assign),
        Word(reinterpret_cast<const void*>(&OperatorNew)),
        Word(reinterpret_cast<const void*>(&OperatorDelete)),
    };
    return stub < kStubCount ? addresses[stub] : 0;
}
