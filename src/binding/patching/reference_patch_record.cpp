#include "binding/patching/reference_patch_record.h"

#include <array>
#include <charconv>
#include <string>

#include "binding/engine_facts.h"

namespace pilfern::binding {

void ReferencePatchRecord::SetTemporary(std::uintptr_t engineFunction, std::uintptr_t replacement) {
    origin_ = engineFunction;
    address_ = replacement;
}

void ReferencePatchRecord::SetCallPatch(std::uintptr_t origin, std::uintptr_t address) {
    RemoveCallPatch();
    origin_ = origin;
    address_ = address;
    const auto sections = ReadSections(memory_, imageBase_);
    outcome_ = patch_.Apply(memory_, writer_,
                            FindReferences(memory_, sections, static_cast<std::uint32_t>(origin)),
                            static_cast<std::uint32_t>(address));
    if (report_) {
        report_(*this);
    }
}

void ReferencePatchRecord::RemoveCallPatch() {
    if (patch_.InForce()) {
        outcome_ = patch_.Undo(memory_, writer_);
        if (report_) {
            report_(*this);
        }
    }
}

std::string HexAddress(std::uintptr_t address) {
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), address, 16).ptr;
    const std::string text(digits.data(), end);
    return "0x" + std::string(text.size() < 8 ? 8 - text.size() : 0, '0') + text;
}

std::uint32_t ReplacedFunctionAddress(int engineVersion, std::string_view lookupName) {
    if (!lookupName.starts_with('&')) {
        return 0;
    }
    const std::string fact = "hook:replace(" + std::string(lookupName.substr(1)) + ")";
    const EngineFact* found = FindEngineFact(engineVersion, fact);
    return found != nullptr && found->kind == FactKind::Function ? found->value : 0;
}

}  // namespace pilfern::binding
