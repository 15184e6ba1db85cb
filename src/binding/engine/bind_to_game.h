#pragma once

#include <memory>
#include <string>

#include "binding/engine/bound_engine.h"
#include "binding/engine_detection.h"
#include "binding/patching/code_references.h"

namespace pilfern::binding {

// This process's own memory, read without faulting where nothing is mapped.
class LiveProcessMemory final : public ProcessMemory {
public:
    [[nodiscard]] bool Read(std::uint32_t address, std::span<std::uint8_t> bytes) const override;
};

// This process's own code and data, written with the system's protection lifted.
class LiveCodeWriter final : public CodeWriter {
public:
    [[nodiscard]] bool Write(std::uint32_t address, std::span<const std::uint8_t> bytes) override;
};

// What binding to the running game found: the engine of its executable, or none, and the one
// line the plugin writes to its log about it.
struct GameBinding {
    std::unique_ptr<BoundEngine> engine;
    std::string line;
    int version = 0;  // the engine version value (1 to 4) of a bound engine
};

// Tells which executable runs, looks twice, and binds the engine contract to it. An executable
// that is none of the four, or fails the second look, gets no engine: nothing of the game is
// read beyond the looks and nothing is written.
[[nodiscard]] GameBinding BindToGame(const ProcessMemory& memory);

}  // namespace pilfern::binding
