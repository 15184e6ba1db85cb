#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "binding/engine/bind_to_game.h"
#include "binding/patching/code_references.h"
#include "host/framework.h"

namespace pilfern::binding {

// The framework's record of one engine patch in the game, over the references to the engine
// function in the game's image: put in force, every reference reaches the replacement, and
// the replacement reaches the engine's own function, intact, at its own address.
class ReferencePatchRecord final : public ModulePatchCallInfo {
public:
    // Told after each change the record makes to the game's image.
    using Report = std::function<void(const ReferencePatchRecord&)>;

    explicit ReferencePatchRecord(std::uint32_t imageBase, Report report = {})
        : imageBase_(imageBase), report_(std::move(report)) {}

    void SetTemporary(std::uintptr_t engineFunction, std::uintptr_t replacement) override;
    // Finds the references to `origin` in the image's sections and rewrites them to reach
    // `address`; a patch already in force is taken out first.
    void SetCallPatch(std::uintptr_t origin, std::uintptr_t address) override;
    [[nodiscard]] std::uintptr_t GetOrigin() const override { return origin_; }
    [[nodiscard]] std::uintptr_t GetAddress() const override { return address_; }
    [[nodiscard]] std::uintptr_t GetReturnAddress() const override { return origin_; }
    void RemoveCallPatch() override;
    void Release() override { RemoveCallPatch(); }

    // What the last SetCallPatch or RemoveCallPatch did, for the log.
    [[nodiscard]] const PatchOutcome& LastOutcome() const { return outcome_; }
    [[nodiscard]] bool InForce() const { return patch_.InForce(); }

private:
    std::uint32_t imageBase_;
    Report report_;
    std::uintptr_t origin_ = 0;
    std::uintptr_t address_ = 0;
    ReferencePatch patch_;
    PatchOutcome outcome_;
    LiveProcessMemory memory_;
    LiveCodeWriter writer_;
};

// An address as the log writes it: "0x" and eight hexadecimal digits.
[[nodiscard]] std::string HexAddress(std::uintptr_t address);

// The address of an engine function the plugin replaces, by the framework's lookup name
// ("&zCView::PrintChars"), from the engine facts of a version; 0 when the facts name none.
[[nodiscard]] std::uint32_t ReplacedFunctionAddress(int engineVersion, std::string_view lookupName);

}  // namespace pilfern::binding
