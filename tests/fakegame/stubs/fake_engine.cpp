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
__declspec(dllexport) FakeStrings fake_strings;
__declspec(dllexport) FakeHeapCount fake_heap;
// Set by the trampoline at an engine address (or in a virtual table) just before it jumps to a
// stub: which engine function or slot the call was meant for.
__declspec(dllexport) uint32_t fake_target;
__declspec(dllexport) FakeDispatch fake_dispatch;
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

// The arguments as they arrived, up to eight.
struct Args {
    uint32_t a[8];
};

void Record(FakeStub stub, const void* self, const Args& args, void* entry) {
    fake_call.stub = stub;
    fake_call.self = Word(self);
    for (int i = 0; i < 8; ++i) {
        fake_call.args[i] = args.a[i];
    }
    fake_call.hiddenResult = 0;
    fake_call.entryStack = Word(entry);
    fake_call.target = fake_target;
    fake_target = 0;
    ++fake_call.calls;
    if (fake_dispatch != nullptr) {
        fake_dispatch();
    }
}

// A result pointer is honoured only where a caller's storage can be: on its stack, just
// above the stub's own. Anything else (an argument taken for the pointer because the caller
// did not pass one) is refused rather than written through.
bool IsCallersStorage(const void* result, void* entry) {
    const uint32_t at = Word(result);
    return at > Word(entry) && at < Word(entry) + kWindow;
}

// The engine's heap: a fixed arena, counted. A block keeps its size class in the word before
// it; a released block goes to its class's free list and serves the next request of that
// class, so that a long scene lives in the arena.
constexpr uint32_t kHeader = 16;
constexpr uint32_t kClasses = 20;  // blocks of 16 bytes up to 8 MB
alignas(16) char gArena[4 << 20];
uint32_t gArenaUsed = 0;
void* gFree[kClasses];

uint32_t ClassOf(uint32_t size) {
    uint32_t sizeClass = 0;
    while ((16u << sizeClass) < size) {
        ++sizeClass;
    }
    return sizeClass;
}

void* Allocate(uint32_t size) {
    const uint32_t sizeClass = ClassOf(size);
    if (sizeClass >= kClasses) {
        return nullptr;
    }
    char* block = static_cast<char*>(gFree[sizeClass]);
    if (block != nullptr) {
        gFree[sizeClass] = *reinterpret_cast<void**>(block);
    } else {
        const uint32_t whole = kHeader + (16u << sizeClass);
        if (gArenaUsed + whole > sizeof gArena) {
            return nullptr;
        }
        block = gArena + gArenaUsed + kHeader;
        gArenaUsed += whole;
        *reinterpret_cast<uint32_t*>(block - kHeader) = sizeClass;
    }
    ++fake_heap.allocations;
    return block;
}
void Release(void* block) {
    if (block == nullptr) {
        return;
    }
    if (static_cast<char*>(block) < gArena + kHeader ||
        static_cast<char*>(block) >= gArena + sizeof gArena) {
        ++fake_heap.foreign;
        return;
    }
    ++fake_heap.releases;
    const uint32_t sizeClass = *reinterpret_cast<uint32_t*>(static_cast<char*>(block) - kHeader);
    *reinterpret_cast<void**>(block) = gFree[sizeClass];
    gFree[sizeClass] = block;
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
        ++fake_strings.live;
        size = static_cast<int>(length);
        reserved = static_cast<int>(length);
    }
    void Drop() {
        if (vector != nullptr) {
            Release(vector - 1);
            --fake_strings.live;
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
    uint32_t Member0() { return Answer(kStubMember0, {}, _AddressOfReturnAddress()); }
    uint32_t Member1(uint32_t a) { return Answer(kStubMember1, {{a}}, _AddressOfReturnAddress()); }
    uint32_t Member2(uint32_t a, uint32_t b) {
        return Answer(kStubMember2, {{a, b}}, _AddressOfReturnAddress());
    }
    uint32_t Member3(uint32_t a, uint32_t b, uint32_t c) {
        return Answer(kStubMember3, {{a, b, c}}, _AddressOfReturnAddress());
    }
    uint32_t Member4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        return Answer(kStubMember4, {{a, b, c, d}}, _AddressOfReturnAddress());
    }
    uint32_t Member5(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
        return Answer(kStubMember5, {{a, b, c, d, e}}, _AddressOfReturnAddress());
    }
    float MemberFloat1(uint32_t a) {
        Record(kStubMemberFloat1, this, {{a}}, _AddressOfReturnAddress());
        return fake_answers.real;
    }
    void MemberOutFirst2(uint32_t* out, uint32_t b) {
        Record(kStubMemberOutFirst2, this, {{Word(out), b}}, _AddressOfReturnAddress());
        *out = fake_answers.word;
    }
    void MemberOutLast3(uint32_t a, uint32_t* first, uint32_t* second) {
        Record(kStubMemberOutLast3, this, {{a, Word(first), Word(second)}},
               _AddressOfReturnAddress());
        *first = fake_answers.word;
        *second = fake_answers.second;
    }
    zVEC3 MemberVec3() {
        Record(kStubMemberVec3Compiled, this, {}, _AddressOfReturnAddress());
        return {{fake_answers.vector[0], fake_answers.vector[1], fake_answers.vector[2]}};
    }
    zSTRING MemberString1(uint32_t a) {
        Record(kStubMemberString1Compiled, this, {{a}}, _AddressOfReturnAddress());
        zSTRING result;
        result.Take(fake_answers.text);
        ++fake_strings.made;
        return result;
    }

private:
    uint32_t Answer(FakeStub stub, const Args& args, void* entry) {
        Record(stub, this, args, entry);
        return fake_answers.word;
    }
};

// Class results with the hidden pointer spelled out: the first stack argument.
class CheckedResults {
public:
    zVEC3* Vec3(zVEC3* result) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberVec3, this, {}, entry);
        if (!IsCallersStorage(result, entry)) {
            return nullptr;
        }
        fake_call.hiddenResult = Word(result);
        for (int i = 0; i < 3; ++i) {
            result->n[i] = fake_answers.vector[i];
        }
        return result;
    }
    zSTRING* String0(zSTRING* result) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberString0, this, {}, entry);
        return Answer(result, entry);
    }
    zSTRING* String1(zSTRING* result, uint32_t a) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberString1, this, {{a}}, entry);
        return Answer(result, entry);
    }
    zSTRING* String3(zSTRING* result, uint32_t a, uint32_t b, uint32_t c) {
        void* entry = _AddressOfReturnAddress();
        Record(kStubMemberString3, this, {{a, b, c}}, entry);
        return Answer(result, entry);
    }

private:
    static zSTRING* Answer(zSTRING* result, void* entry) {
        if (!IsCallersStorage(result, entry)) {
            return nullptr;
        }
        fake_call.hiddenResult = Word(result);
        new (result) zSTRING;
        result->Take(fake_answers.text);
        ++fake_strings.made;
        return result;
    }
};

// The engine string's own functions, as members of the string.
class StringFunctions : public zSTRING {
public:
    StringFunctions* Construct(const char* text) {
        new (this) zSTRING;
        Take(text);
        ++fake_strings.made;
        fake_strings.lastMade = Word(this);
        uint32_t i = 0;
        for (; text != nullptr && text[i] != '\0' && i + 1 < sizeof fake_strings.lastText; ++i) {
            fake_strings.lastText[i] = text[i];
        }
        fake_strings.lastText[i] = '\0';
        return this;
    }
    void Destroy() {
        ++fake_strings.dropped;
        Drop();
    }
};

extern "C" {
uint32_t __fastcall Fast1(uint32_t a) {
    Record(kStubFast1, reinterpret_cast<void*>(a), {}, _AddressOfReturnAddress());
    return fake_answers.word;
}
uint32_t __fastcall Fast2(uint32_t a, uint32_t b) {
    Record(kStubFast2, reinterpret_cast<void*>(a), {{b}}, _AddressOfReturnAddress());
    return fake_answers.word;
}
void __fastcall FastViewport(void* view, int* x, int* y, int* width, int* height) {
    Record(kStubFastViewport, view, {{Word(x), Word(y), Word(width), Word(height)}},
           _AddressOfReturnAddress());
    *x = fake_answers.quad[0];
    *y = fake_answers.quad[1];
    *width = fake_answers.quad[2];
    *height = fake_answers.quad[3];
}
uint32_t __cdecl Plain0() {
    Record(kStubPlain0, nullptr, {}, _AddressOfReturnAddress());
    return fake_answers.word;
}
uint32_t __cdecl Plain2(uint32_t a, uint32_t b) {
    Record(kStubPlain2, nullptr, {{a, b}}, _AddressOfReturnAddress());
    return fake_answers.word;
}
uint32_t __cdecl Plain7(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f,
                        uint32_t g) {
    Record(kStubPlain7, nullptr, {{a, b, c, d, e, f, g}}, _AddressOfReturnAddress());
    return fake_answers.word;
}
void* __cdecl OperatorNew(uint32_t size) {
    void* block = Allocate(size);
    fake_heap.lastNewSize = size;
    fake_heap.lastNewBlock = Word(block);
    return block;
}
void __cdecl OperatorDelete(void* block) {
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
        CodeOf(&FakeObject::Member0),
        CodeOf(&FakeObject::Member1),
        CodeOf(&FakeObject::Member2),
        CodeOf(&FakeObject::Member3),
        CodeOf(&FakeObject::Member4),
        CodeOf(&FakeObject::Member5),
        CodeOf(&FakeObject::MemberFloat1),
        CodeOf(&FakeObject::MemberOutFirst2),
        CodeOf(&FakeObject::MemberOutLast3),
        CodeOf(&FakeObject::MemberVec3),
        CodeOf(&FakeObject::MemberString1),
        CodeOf(&CheckedResults::Vec3),
        CodeOf(&CheckedResults::String0),
        CodeOf(&CheckedResults::String1),
        CodeOf(&CheckedResults::String3),
        Word(reinterpret_cast<const void*>(&Fast1)),
        Word(reinterpret_cast<const void*>(&Fast2)),
        Word(reinterpret_cast<const void*>(&FastViewport)),
        Word(reinterpret_cast<const void*>(&Plain0)),
        Word(reinterpret_cast<const void*>(&Plain2)),
        Word(reinterpret_cast<const void*>(&Plain7)),
        CodeOf(&StringFunctions::Construct),
        CodeOf(&StringFunctions::Destroy),
        Word(reinterpret_cast<const void*>(&OperatorNew)),
        Word(reinterpret_cast<const void*>(&OperatorDelete)),
    };
    return stub < kStubCount ? addresses[stub] : 0;
}
