#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/framework.h"

namespace pilfern {

// Where the log lies in the game folder, beside the game's own files, and how large it may
// grow.
inline constexpr std::string_view kPluginLogPath = "System\\Pilfern.log";
inline constexpr std::size_t kPluginLogLimit = std::size_t{64} * 1024;

// The log a player can send: a line each, the lines of this session after those of earlier
// ones, written through the framework at once, so that a game that ends suddenly keeps every
// line before. Never larger than the limit: the oldest whole lines go first. Plain ASCII, so
// that the file reads the same in every code page; any other byte becomes '?'. Nothing is
// shown to the player and nothing is thrown.
class PluginLog {
public:
    explicit PluginLog(Framework& framework) : framework_(framework) {}

    // Appends one line (a line break inside it becomes a space).
    void Line(std::string_view text);
    // What the log holds now, earlier sessions included, once a line was written.
    [[nodiscard]] const std::string& Text() const { return text_; }

private:
    Framework& framework_;
    std::string text_;
    bool loaded_ = false;
};

}  // namespace pilfern
