#include "sim/scenario/base64.h"

#include <algorithm>
#include <cstdint>

namespace pilfern::sim {

std::string Base64(std::string_view bytes) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    // Each group of three bytes becomes four characters of six bits; a last group of one or
    // two bytes gives two or three characters and is padded to four.
    for (std::size_t start = 0; start < bytes.size(); start += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - start);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t byte =
                k < count ? static_cast<unsigned char>(bytes[start + k]) : 0U;
            group = (group << 8) | byte;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3FU] : '=';
        }
    }
    return text;
}

}  // namespace pilfern::sim
