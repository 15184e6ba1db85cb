#include "platform/platform.h"
#include "platform/utf8_pieces.h"

namespace pilfern::platform {

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        // Where wide characters have 16 bits, a pair of surrogates is one character.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            const auto low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace pilfern::platform
