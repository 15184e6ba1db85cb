#include <algorithm>

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

std::wstring Utf8ToWide(std::string_view text) {
    constexpr char32_t kReplacement = 0xFFFD;
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const auto decoded = DecodeUtf8(text.substr(i, length));
        char32_t c = kReplacement;
        if (decoded) {
            c = *decoded;
            i += length;
        } else {
            // One replacement for the broken start and the continuation bytes that follow it,
            // so that the characters after a broken sequence are kept.
            ++i;
            while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
                ++i;
            }
        }
        if constexpr (sizeof(wchar_t) == 2) {
            // Where wide characters have 16 bits, a character beyond them is a surrogate pair.
            if (c >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
                continue;
            }
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

}  // namespace pilfern::platform
