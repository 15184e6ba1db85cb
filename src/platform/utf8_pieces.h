#pragma once

#include <cstddef>

// How the code page conversions of every system cut UTF-8 into pieces, so that a broken
// sequence is skipped by the same number of bytes everywhere.
namespace pilfern::platform {

// The bytes a UTF-8 sequence with this lead byte spans (a stray continuation byte is one).
[[nodiscard]] constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

}  // namespace pilfern::platform
