#include "fakegame/fake_process.h"

#include <dlfcn.h>
#include <ucontext.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include <sys/mman.h>

#include "binding/abi/raw_call.h"
#include "binding/engine_detection.h"
#include "binding/engine_facts.h"

namespace pilfern::fakegame {
namespace {

using binding::EngineFact;
using binding::FactKind;

constexpr std::uint32_t kImageBase = 0x00400000;
constexpr std::uint32_t kPage = 0x1000;
constexpr std::uint8_t kTrap = 0xCC;  // int3
constexpr std::uint8_t kJump = 0xE9;  // jmp rel32
// mov dword [target], imm32; jmp rel32: the call's target noted, then the stub.
constexpr std::array<std::uint8_t, 2> kStoreWord{0xC7, 0x05};
constexpr std::uint32_t kTrampolineSize = 15;
constexpr std::uint32_t kTrampolinePage = 0x4000;

void* Pointer(std::uint32_t address) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
}

// The end of the image: past the highest function or global of the version's facts.
std::uint32_t ImageEnd(int engineVersion) {
    std::uint32_t highest = kImageBase + kPage;
    for (const EngineFact& fact : binding::EngineFacts(engineVersion)) {
        if (fact.kind == FactKind::Function || fact.kind == FactKind::Global) {
            highest = std::max(highest, fact.value);
        }
    }
    return (highest + 0x100 + kPage - 1) & ~(kPage - 1);
}

// Where the image's read-only data begins: the page of its first virtual table. Every
// function of the facts lies below it.
std::uint32_t DataBegin(int engineVersion, std::uint32_t end) {
    std::uint32_t lowest = end;
    for (const EngineFact& fact : binding::EngineFacts(engineVersion)) {
        if (fact.kind == FactKind::Global &&
            fact.operation.find("vftable") != std::string_view::npos) {
            lowest = std::min(lowest, fact.value);
        }
    }
    return lowest & ~(kPage - 1);
}

// The headers the binding reads: "MZ", the PE header's place, "PE\0\0", the base the image
// was loaded at, the image's size, and two sections: code from the first page after the
// headers up to the read-only data, which runs to the image's end.
void WriteHeaders(std::uint32_t size, std::uint32_t dataBegin) {
    auto* image = static_cast<std::uint8_t*>(Pointer(kImageBase));
    constexpr std::uint32_t kPeAt = 0x80;
    constexpr std::uint32_t kOptionalSize = 0xE0;
    constexpr std::uint32_t kSections = kPeAt + 24 + kOptionalSize;
    constexpr std::uint32_t kCode = 0x60000020;  // code, executable, readable
    constexpr std::uint32_t kData = 0x40000040;  // initialised data, readable
    const std::uint32_t dataAt = dataBegin - kImageBase;
    const std::array<std::pair<std::uint32_t, std::uint32_t>, 11> words{{
        {0x3C, kPeAt},
        {kPeAt, 0x00004550},
        {kPeAt + 6, 2},  // the number of sections (16 bits; the time stamp after it stays 0)
        {kPeAt + 20, kOptionalSize},
        {kPeAt + 0x34, kImageBase},
        {kPeAt + 0x50, size},
        {kSections + 8, dataAt - kPage},
        {kSections + 12, kPage},
        {kSections + 36, kCode},
        {kSections + 40 + 8, size - dataAt},
        {kSections + 40 + 12, dataAt},
    }};
    image[0] = 'M';
    image[1] = 'Z';
    for (const auto& [at, value] : words) {
        std::memcpy(image + at, &value, sizeof value);
    }
    std::memcpy(image + kSections + 40 + 36, &kData, sizeof kData);
}

}  // namespace

FakeProcess::FakeProcess(const PeImage& engine, int engineVersion)
    : version_(engineVersion),
      begin_(kImageBase),
      end_(ImageEnd(engineVersion)),
      call_(static_cast<FakeCall*>(engine.Export("fake_call"))),
      answers_(static_cast<FakeAnswers*>(engine.Export("fake_answers"))),
      heap_(static_cast<FakeHeapCount*>(engine.Export("fake_heap"))),
      strings_(static_cast<FakeStrings*>(engine.Export("fake_strings"))),
      stubAddress_(
          reinterpret_cast<std::uint32_t (*)(std::uint32_t)>(engine.Export("fake_stub_address"))),
      target_(static_cast<std::uint32_t*>(engine.Export("fake_target"))),
      dispatch_(static_cast<FakeDispatch*>(engine.Export("fake_dispatch"))) {
    void* at = ::mmap(Pointer(begin_), end_ - begin_, PROT_READ | PROT_WRITE | PROT_EXEC,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (at != Pointer(begin_)) {
        if (at != MAP_FAILED) {
            ::munmap(at, end_ - begin_);
        }
        throw std::runtime_error("the game's address range is taken in this process");
    }
    std::memset(at, kTrap, end_ - begin_);
    std::memset(at, 0, kPage);  // the headers' page
    WriteHeaders(end_ - begin_, DataBegin(engineVersion, end_));
    const EngineFact* signature = binding::FindEngineFact(engineVersion, "fact:version_signature");
    const std::vector<std::uint8_t> bytes = binding::SignatureBytes(engineVersion);
    if (signature == nullptr || bytes.empty()) {
        throw std::runtime_error("the facts hold no signature for this version");
    }
    std::memcpy(Pointer(signature->value), bytes.data(), bytes.size());
    *call_ = {};
    *target_ = 0;
    *dispatch_ = nullptr;
    *heap_ = {};
    *strings_ = {};
    const std::array<std::pair<std::string_view, FakeStub>, 4> support{{
        {"support:zSTRING::zSTRING(char const*)", kStubStringConstruct},
        {"support:zSTRING::~zSTRING", kStubStringDestroy},
        {"heap:operator new", kStubOperatorNew},
        {"heap:operator delete", kStubOperatorDelete},
    }};
    for (const auto& [name, stub] : support) {
        const EngineFact* fact = binding::FindEngineFact(engineVersion, name);
        if (fact == nullptr) {
            throw std::runtime_error("the facts name no " + std::string(name));
        }
        Place(fact->value, stub);
    }
}

FakeProcess::~FakeProcess() {
    *dispatch_ = nullptr;
    ::munmap(Pointer(begin_), end_ - begin_);
    if (trampolines_ != nullptr) {
        ::munmap(trampolines_, kTrampolinePage);
    }
}

std::uint32_t FakeProcess::StubAddress(FakeStub stub) const {
    return stubAddress_(stub);
}

namespace {

void WriteTrampoline(std::uint8_t* code, const std::uint32_t* targetWord, std::uint32_t target,
                     std::uint32_t stub) {
    const std::uint32_t word = binding::abi::AddressOf(targetWord);
    const std::uint32_t at = binding::abi::AddressOf(code);
    const std::uint32_t displacement = stub - (at + kTrampolineSize);
    std::memcpy(code, kStoreWord.data(), kStoreWord.size());
    std::memcpy(code + 2, &word, sizeof word);
    std::memcpy(code + 6, &target, sizeof target);
    code[10] = kJump;
    std::memcpy(code + 11, &displacement, sizeof displacement);
}

}  // namespace

void FakeProcess::Place(std::uint32_t address, FakeStub stub) const {
    if (address < begin_ + kPage || address + kTrampolineSize > end_) {
        throw std::runtime_error("an engine address outside the game's image");
    }
    WriteTrampoline(static_cast<std::uint8_t*>(Pointer(address)), target_, address,
                    StubAddress(stub));
}

std::uint32_t FakeProcess::Trampoline(std::uint32_t target, FakeStub stub) {
    if (trampolines_ == nullptr) {
        void* page = ::mmap(nullptr, kTrampolinePage, PROT_READ | PROT_WRITE | PROT_EXEC,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (page == MAP_FAILED) {
            throw std::runtime_error("no room for the fake game's trampolines");
        }
        trampolines_ = static_cast<std::uint8_t*>(page);
        std::memset(trampolines_, kTrap, kTrampolinePage);
    }
    constexpr std::uint32_t kStride = 16;
    if (trampolinesUsed_ + kStride > kTrampolinePage) {
        throw std::runtime_error("too many trampolines for the fake game");
    }
    std::uint8_t* code = trampolines_ + trampolinesUsed_;
    trampolinesUsed_ += kStride;
    WriteTrampoline(code, target_, target, StubAddress(stub));
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(code));
}

void FakeProcess::SetDispatch(FakeDispatch dispatch) const {
    *dispatch_ = dispatch;
}

void FakeProcess::WriteWord(std::uint32_t address, std::uint32_t value) const {
    if (address < begin_ || address + 4 > end_) {
        throw std::runtime_error("a global outside the game's image");
    }
    std::memcpy(Pointer(address), &value, sizeof value);
}

namespace {

sigjmp_buf gGuard;
volatile sig_atomic_t gSignal = 0;
volatile std::uint32_t gFaultAt = 0;

void OnFault(int signal, siginfo_t* /*info*/, void* context) {
    gSignal = signal;
    // Where the program stood: after the trap's byte, or at the instruction that faulted.
    gFaultAt =
        static_cast<std::uint32_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EIP]);
    siglongjmp(gGuard, 1);
}

std::string Hex(std::uint32_t value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%08X", value);
    return text.data();
}

// The function of this process an address lies in, where the loader knows it.
std::string Place(std::uint32_t address) {
    Dl_info info{};
    if (::dladdr(Pointer(address), &info) == 0) {
        return "";
    }
    const std::uint32_t base = binding::abi::AddressOf(info.dli_fbase);
    return std::string(" in ") + (info.dli_sname != nullptr ? info.dli_sname : "?") + ", " +
           (info.dli_fname != nullptr ? info.dli_fname : "?") + "+" + Hex(address - base);
}

}  // namespace

std::string RunGuarded(const std::function<void()>& body) {
    static std::array<char, 1 << 16> alternateStack{};
    stack_t stack{};
    stack.ss_sp = alternateStack.data();
    stack.ss_size = alternateStack.size();
    ::sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = &OnFault;
    action.sa_flags = SA_ONSTACK | SA_NODEFER | SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    constexpr std::array kFaults{SIGSEGV, SIGBUS, SIGILL, SIGTRAP, SIGFPE};
    std::array<struct sigaction, kFaults.size()> previous{};
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        ::sigaction(kFaults[i], &action, &previous[i]);
    }
    gSignal = 0;
    std::string stopped;
    if (sigsetjmp(gGuard, 1) == 0) {
        body();
    } else {
        stopped =
            gSignal == SIGTRAP
                ? "it reached an engine address nothing was placed at (" + Hex(gFaultAt - 1) + ")"
                : "it faulted (signal " + std::to_string(gSignal) + ", at " + Hex(gFaultAt) +
                      Place(gFaultAt) + "): the stack or a pointer went wrong";
    }
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        ::sigaction(kFaults[i], &previous[i], nullptr);
    }
    return stopped;
}

}  // namespace pilfern::fakegame
