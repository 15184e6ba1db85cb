#include "binding/engine/bind_to_game.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>

#include "platform/platform.h"

namespace pilfern::binding {
namespace {

constexpr std::array<std::string_view, 4> kExecutables{"Gothic I 1.08k_mod", "Gothic Sequel 1.12f",
                                                       "Gothic II 1.30",
                                                       "Gothic II Night of the Raven 2.6 (fix)"};

}  // namespace

bool LiveProcessMemory::Read(std::uint32_t address, std::span<std::uint8_t> bytes) const {
    return platform::ReadOwnMemory(address, bytes);
}

bool LiveCodeWriter::Write(std::uint32_t address, std::span<const std::uint8_t> bytes) {
    return platform::WriteOwnCode(address, bytes);
}

GameBinding BindToGame(const ProcessMemory& memory) {
    const std::optional<int> version = DetectEngineVersion(memory);
    if (!version) {
        return {nullptr,
                "Pilfern: this game's executable is none of the four it knows (Gothic I "
                "1.08k_mod, Gothic Sequel 1.12f, Gothic II 1.30, Gothic II Night of the Raven "
                "2.6); Pilfern does nothing in this game"};
    }
    const std::string_view name = kExecutables.at(static_cast<std::size_t>(*version - 1));
    if (!ConfirmEngineVersion(*version, memory)) {
        return {nullptr, "Pilfern: the executable looks like " + std::string(name) +
                             " but its image does not hold what that version holds; Pilfern "
                             "does nothing in this game"};
    }
    std::unique_ptr<BoundEngine> engine;
    try {
        engine = std::make_unique<BoundEngine>(*version);
    } catch (const std::exception& error) {
        return {nullptr, "Pilfern: " + std::string(name) + " is recognised, but " + error.what() +
                             "; Pilfern does nothing in this game"};
    }
    return {std::move(engine), "Pilfern: bound to " + std::string(name), *version};
}

}  // namespace pilfern::binding
