#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

// Appends one character as UTF-8.
inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character of one UTF-8 piece; none when the piece is broken, overlong, a surrogate or
// beyond U+10FFFF, which the other systems refuse as well.
inline std::optional<char32_t> DecodeUtf8(std::string_view piece) {
    const auto lead = static_cast<unsigned char>(piece.front());
    if (piece.size() == 1) {
        return lead < 0x80 ? std::optional<char32_t>(lead) : std::nullopt;
    }
    if (piece.size() != Utf8SequenceLength(lead)) {
        return std::nullopt;  // cut off by the end of the text
    }
    constexpr std::array<unsigned char, 5> kLeadBits{0, 0, 0x1F, 0x0F, 0x07};
    constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    char32_t c = lead & kLeadBits.at(piece.size());
    for (const char byte : piece.substr(1)) {
        const auto next = static_cast<unsigned char>(byte);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (lead >= 0xF8 || c < kSmallest.at(piece.size()) || c > 0x10FFFF ||
        (c >= 0xD800 && c <= 0xDFFF)) {
        return std::nullopt;
    }
    return c;
}

}  // namespace pilfern::platform
