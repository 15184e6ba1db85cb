#include "binding/engine_facts.h"

#include <algorithm>
#include <array>

#include "binding/engine_facts_table.h"

namespace pilfern::binding {
namespace {

struct VersionTable {
    int engineVersion;
    std::span<const EngineFact> facts;
};

constexpr std::array<VersionTable, 4> kTables{{
    {1, kGothic_I_ClassicFacts},
    {2, kGothic_I_AddonFacts},
    {3, kGothic_II_ClassicFacts},
    {4, kGothic_II_AddonFacts},
}};

}  // namespace

std::span<const EngineFact> EngineFacts(int engineVersion) {
    const auto* table = std::find_if(
        kTables.begin(), kTables.end(),
        [engineVersion](const VersionTable& t) { return t.engineVersion == engineVersion; });
    return table == kTables.end() ? std::span<const EngineFact>() : table->facts;
}

const EngineFact* FindEngineFact(int engineVersion, std::string_view operation) {
    const std::span<const EngineFact> facts = EngineFacts(engineVersion);
    const auto fact = std::find_if(facts.begin(), facts.end(), [operation](const EngineFact& f) {
        return f.operation == operation;
    });
    return fact == facts.end() ? nullptr : &*fact;
}

}  // namespace pilfern::binding
