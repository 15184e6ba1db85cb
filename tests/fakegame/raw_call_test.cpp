// The raw call layer against the fake engine, for each engine version: every convention the
// facts name reaches a stub built for the engine's compiler's rules at one of that version's
// own addresses, with the right object and arguments, its result comes back, and the stack is
// where it was. A thunk of the wrong convention fails the same checks.

#include "binding/abi/raw_call.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "binding/engine_facts.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"

namespace pilfern::fakegame {
namespace {

using binding::CallConvention;
using binding::EngineFact;
using binding::FactKind;
namespace abi = binding::abi;

// An engine object for the stubs to receive: a virtual table at +0 whose every slot sends
// the call to one stub.
struct FakeObject {
    alignas(16) std::array<std::uint32_t, 64> words{};
    std::array<std::uint32_t, 256> table{};

    explicit FakeObject(std::uint32_t everySlot) {
        table.fill(everySlot);
        words[0] = abi::AddressOf(table.data());
    }
};

// The first function (or virtual slot) of a version whose facts name the convention.
const EngineFact* FirstOf(int version, CallConvention convention) {
    for (const EngineFact& fact : binding::EngineFacts(version)) {
        if (fact.convention == convention &&
            (fact.kind == FactKind::Function || fact.kind == FactKind::VirtualSlot)) {
            return &fact;
        }
    }
    return nullptr;
}

// What a call must have done, checked after it ran twice from one place: the problems found,
// none when the call was right.
struct Expected {
    FakeStub stub;
    std::uint32_t self;
    std::vector<std::uint32_t> args;
};

std::vector<std::string> Check(const FakeProcess& process, const Expected& expected,
                               const std::function<bool()>& call) {
    std::vector<std::string> problems;
    std::uint32_t firstEntry = 0;
    bool answered = true;
    const std::string stopped = RunGuarded([&] {
        answered = call();
        firstEntry = process.LastCall().entryStack;
        answered = call() && answered;
    });
    if (!stopped.empty()) {
        return {"the call did not come back: " + stopped};
    }
    const FakeCall& last = process.LastCall();
    if (last.stub != static_cast<std::uint32_t>(expected.stub)) {
        problems.emplace_back("another stub was reached");
    }
    if (last.self != expected.self) {
        problems.emplace_back("the stub received another object");
    }
    for (std::size_t i = 0; i < expected.args.size(); ++i) {
        if (last.args[i] != expected.args[i]) {
            problems.emplace_back("argument " + std::to_string(i + 1) + " arrived wrong");
        }
    }
    if (last.entryStack != firstEntry) {
        problems.emplace_back("the stack moved between two calls from one place");
    }
    if (!answered) {
        problems.emplace_back("the result came back wrong");
    }
    return problems;
}

using abi::EngineAddress;

// One way of calling an engine function, right or wrong, and what it must find.
// What the stub must find on arrival: the object in ECX and the argument on the stack, the
// object alone (in ECX), or both on the stack.
enum class Arrival { ObjectAndArgument, ObjectAlone, BothOnTheStack };

struct CallCase {
    const char* name;
    CallConvention convention;  // whose address of the version is used
    FakeStub stub;
    std::function<bool(EngineAddress, FakeObject&, const FakeProcess&)> call;
    bool right;
    Arrival arrival = Arrival::ObjectAndArgument;
};

constexpr std::uint32_t kArgument = 0x1234ABCD;
constexpr std::uint32_t kAnswer = 0x0BADF00D;

std::uint32_t Word(const void* pointer) {
    return abi::AddressOf(pointer);
}

bool StringAnswered(const EngineStringBytes& result, const FakeProcess& process) {
    const std::string_view text = process.Answers().text;
    return result.text != nullptr && result.length == static_cast<int>(text.size()) &&
           std::string_view(result.text, text.size()) == text;
}

const std::vector<CallCase>& Cases() {
    static const std::vector<CallCase> cases{
        {"member", CallConvention::ThisCall, kStubMember1,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallMember<int>(at, &object, kArgument) == static_cast<int>(kAnswer);
         },
         true},
        {"member with a float", CallConvention::ThisCall, kStubMember2,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallMember<int>(at, &object, kArgument, 2.5F) == static_cast<int>(kAnswer);
         },
         true},
        {"member giving a float", CallConvention::ThisCall, kStubMemberFloat1,
         [](EngineAddress at, FakeObject& object, const FakeProcess& process) {
             return abi::CallMember<float>(at, &object, kArgument) == process.Answers().real;
         },
         true},
        {"member giving a string, as the compiler returns it", CallConvention::ThisCallHiddenReturn,
         kStubMemberString1Compiled,
         [](EngineAddress at, FakeObject& object, const FakeProcess& process) {
             EngineStringBytes result{};
             void* back = abi::CallMemberInto(at, &object, &result, kArgument);
             return back == &result && StringAnswered(result, process);
         },
         true},
        {"member giving a string", CallConvention::ThisCallHiddenReturn, kStubMemberString1,
         [](EngineAddress at, FakeObject& object, const FakeProcess& process) {
             EngineStringBytes result{};
             void* back = abi::CallMemberInto(at, &object, &result, kArgument);
             return back == &result && StringAnswered(result, process);
         },
         true},
        {"member giving a vector, as the compiler returns it", CallConvention::ThisCallHiddenReturn,
         kStubMemberVec3Compiled,
         [](EngineAddress at, FakeObject& object, const FakeProcess& process) {
             std::array<float, 3> result{};
             void* back = abi::CallMemberInto(at, &object, result.data());
             return back == result.data() && result[0] == process.Answers().vector[0] &&
                    result[2] == process.Answers().vector[2];
         },
         true, Arrival::ObjectAlone},
        {"fastcall", CallConvention::FastCall, kStubFast1,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallFast<int>(at, &object) == static_cast<int>(kAnswer);
         },
         true, Arrival::ObjectAlone},
        {"cdecl", CallConvention::Cdecl, kStubPlain2,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallPlain<std::uint32_t>(at, Word(&object), kArgument) == kAnswer;
         },
         true, Arrival::BothOnTheStack},
        {"virtual member", CallConvention::Virtual, kStubMember1,
         [](EngineAddress slot, FakeObject& object, const FakeProcess&) {
             return abi::CallVirtual<int>(&object, slot, kArgument) == static_cast<int>(kAnswer);
         },
         true},
        {"virtual member giving a string", CallConvention::VirtualHiddenReturn, kStubMemberString1,
         [](EngineAddress slot, FakeObject& object, const FakeProcess& process) {
             EngineStringBytes result{};
             abi::CallVirtualInto(&object, slot, &result, kArgument);
             return StringAnswered(result, process);
         },
         true},
        // Wrong on purpose: the checks must catch each.
        {"member called as cdecl", CallConvention::ThisCall, kStubMember1,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallPlain<int>(at, &object, kArgument) == static_cast<int>(kAnswer);
         },
         false},
        {"string taken back in registers", CallConvention::ThisCallHiddenReturn, kStubMemberString1,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             using InRegisters =
                 std::uint64_t(__attribute__((thiscall))*)(const void*, std::uint32_t);
             const std::uint64_t answer =
                 reinterpret_cast<InRegisters>(abi::AddressOf(at))(&object, kArgument);
             return answer != 0;
         },
         false},
        {"fastcall called as a member", CallConvention::FastCall, kStubFast1,
         [](EngineAddress at, FakeObject& object, const FakeProcess&) {
             return abi::CallMember<int>(at, &object, kArgument) == static_cast<int>(kAnswer);
         },
         false, Arrival::ObjectAlone},
    };
    return cases;
}

class RawCall : public testing::TestWithParam<VersionCase> {};

TEST_P(RawCall, EveryConventionReachesTheEngineAsItsCompilerExpects) {
    const FakeProcess process(FakeEngine(), GetParam().version);
    process.Answers().word = kAnswer;
    process.Answers().real = 0.75F;
    process.Answers().text = "Goldmuenze";
    process.Answers().vector[0] = 1.5F;
    process.Answers().vector[1] = -2.0F;
    process.Answers().vector[2] = 300.25F;
    for (const CallCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const EngineFact* fact = FirstOf(GetParam().version, c.convention);
        ASSERT_NE(fact, nullptr) << "the facts name no function of this convention";
        FakeObject object(process.StubAddress(c.stub));
        const bool virtualSlot = fact->kind == FactKind::VirtualSlot;
        // A function's address, or a virtual slot's number.
        const EngineAddress at = fact->value;
        if (!virtualSlot) {
            process.Place(at, c.stub);
        }
        const std::uint32_t self = Word(&object);
        const Expected expected =
            c.arrival == Arrival::BothOnTheStack ? Expected{c.stub, 0, {self, kArgument}}
            : c.arrival == Arrival::ObjectAlone  ? Expected{c.stub, self, {}}
                                                 : Expected{c.stub, self, {kArgument}};
        const auto problems = Check(process, expected, [&] { return c.call(at, object, process); });
        if (c.right) {
            EXPECT_THAT(problems, testing::IsEmpty());
        } else {
            EXPECT_THAT(problems, testing::Not(testing::IsEmpty()));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FourEngines, RawCall, testing::ValuesIn(kVersions), VersionName);

}  // namespace
}  // namespace pilfern::fakegame
