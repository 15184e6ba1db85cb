#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "fakegame/pe_image.h"
#include "stubs/fake_engine_abi.h"

namespace pilfern::fakegame {

// The game's process as the binding meets it, for one engine version: the executable's range
// of addresses reserved where the game has it, the Windows headers and the signature bytes in
// place, and every other byte a trap, so that a call of an address the binding was not told to
// call stops at once. Engine functions are placed one by one: a jump at the engine's address
// to a stub of the fake engine, built for the engine's compiler's rules.
//
// One at a time: every version occupies the same range.
class FakeProcess {
public:
    FakeProcess(const PeImage& engine, int engineVersion);
    ~FakeProcess();
    FakeProcess(const FakeProcess&) = delete;
    FakeProcess& operator=(const FakeProcess&) = delete;
    FakeProcess(FakeProcess&&) = delete;
    FakeProcess& operator=(FakeProcess&&) = delete;

    [[nodiscard]] int Version() const { return version_; }
    [[nodiscard]] std::uint32_t Begin() const { return begin_; }
    [[nodiscard]] std::uint32_t End() const { return end_; }

    // Sends calls of `address` to `stub`; throws when the address lies outside the image. The
    // call arrives with the address as its target (FakeCall::target).
    void Place(std::uint32_t address, FakeStub stub) const;
    // Code outside the image that sends a call to `stub` with `target` as its target: what a
    // virtual table's slot points at when the fake game must know which slot was called.
    [[nodiscard]] std::uint32_t Trampoline(std::uint32_t target, FakeStub stub);
    // The function every operation stub calls once it has recorded a call (none: the stubs
    // answer what Answers() holds).
    void SetDispatch(FakeDispatch dispatch) const;
    // Where a stub lies in the fake engine.
    [[nodiscard]] std::uint32_t StubAddress(FakeStub stub) const;
    // Writes a word at an address of the image (a global).
    void WriteWord(std::uint32_t address, std::uint32_t value) const;

    [[nodiscard]] FakeCall& LastCall() const { return *call_; }
    [[nodiscard]] FakeAnswers& Answers() const { return *answers_; }
    [[nodiscard]] FakeHeapCount& Heap() const { return *heap_; }
    [[nodiscard]] FakeStrings& Strings() const { return *strings_; }

private:
    int version_;
    std::uint32_t begin_;
    std::uint32_t end_;
    FakeCall* call_;
    FakeAnswers* answers_;
    FakeHeapCount* heap_;
    FakeStrings* strings_;
    std::uint32_t (*stubAddress_)(std::uint32_t);
    std::uint32_t* target_;
    FakeDispatch* dispatch_;
    std::uint8_t* trampolines_ = nullptr;
    std::uint32_t trampolinesUsed_ = 0;
};

// The engine's 20-byte string as the fake game lays one into engine memory: a table, the
// allocator's byte, the text, its length and its capacity.
struct EngineStringBytes {
    std::uint32_t table = 0;
    std::uint32_t allocator = 0;
    const char* text = nullptr;
    std::int32_t length = 0;
    std::int32_t reserved = 0;
};
static_assert(sizeof(EngineStringBytes) == 20);

// Runs `body` so that a fault inside it (a trap hit, memory that is not there, a return
// to nowhere) ends the body instead of the process. The answer is empty when the body
// finished, else what stopped it.
[[nodiscard]] std::string RunGuarded(const std::function<void()>& body);

}  // namespace pilfern::fakegame
