#include "sim/code_page_case.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

// Capitals of the scripts the 8-bit Windows code pages hold, as runs of Unicode characters
// `step` apart, each with its small letter `offset` further on. A capital outside every run
// has no small letter of its own.
struct CapitalRun {
    char32_t first;
    char32_t last;
    char32_t step;
    std::int32_t offset;
};

constexpr std::array kCapitalRuns{
    CapitalRun{U'A', U'Z', 1, 0x20},
    CapitalRun{U'\u00C0', U'\u00D6', 1, 0x20},   // À .. Ö
    CapitalRun{U'\u00D8', U'\u00DE', 1, 0x20},   // Ø .. Þ
    CapitalRun{U'\u0100', U'\u012E', 2, 1},      // Ā .. Į
    CapitalRun{U'\u0132', U'\u0136', 2, 1},      // Ĳ .. Ķ
    CapitalRun{U'\u0139', U'\u0147', 2, 1},      // Ĺ .. Ň, Ł among them
    CapitalRun{U'\u014A', U'\u0176', 2, 1},      // Ŋ .. Ŷ, Ő Ś Š among them
    CapitalRun{U'\u0178', U'\u0178', 1, -0x79},  // Ÿ, whose small letter is ÿ
    CapitalRun{U'\u0179', U'\u017D', 2, 1},      // Ź Ż Ž
    CapitalRun{U'\u0400', U'\u040F', 1, 0x50},   // Ѐ .. Џ, Ё among them
    CapitalRun{U'\u0410', U'\u042F', 1, 0x20},   // А .. Я
    CapitalRun{U'\u048A', U'\u04BE', 2, 1},      // Ҋ .. Ҿ, Ґ among them
};

char32_t SmallLetter(char32_t c) {
    const auto* const run = std::ranges::find_if(kCapitalRuns, [c](const CapitalRun& r) {
        return c >= r.first && c <= r.last && (c - r.first) % r.step == 0;
    });
    return run == kCapitalRuns.end()
               ? c
               : static_cast<char32_t>(static_cast<std::int32_t>(c) + run->offset);
}

CaseFold AsciiFold() {
    CaseFold fold{};
    for (std::size_t byte = 0; byte < fold.size(); ++byte) {
        fold.at(byte) = static_cast<unsigned char>(
            byte < 0x80 ? SmallLetter(static_cast<char32_t>(byte)) : byte);
    }
    return fold;
}

}  // namespace

CaseFold CaseFoldOf(int codePage) {
    constexpr std::size_t kBytes = 256;
    std::string bytes(kBytes, '\0');
    for (std::size_t byte = 0; byte < kBytes; ++byte) {
        bytes[byte] = static_cast<char>(byte);
    }
    // Each byte is one piece of the code page's text, so it gives one character, '?' for a
    // byte the code page leaves undefined; a code page this system does not know gives back
    // the bytes unchanged, which is no text of 256 characters.
    const std::wstring characters = platform::Utf8ToWide(platform::CodePageToUtf8(bytes, codePage));
    if (characters.size() != kBytes) {
        return AsciiFold();
    }
    std::wstring smalls(characters);
    std::ranges::transform(smalls, smalls.begin(), [](wchar_t c) {
        return static_cast<wchar_t>(SmallLetter(static_cast<char32_t>(c)));
    });
    // Every small letter of a character of the code page is one character again, so one
    // byte: '?' where the code page lacks it.
    const std::string smallBytes = platform::Utf8ToCodePage(platform::WideToUtf8(smalls), codePage);
    if (smallBytes.size() != kBytes) {
        return AsciiFold();
    }
    CaseFold fold{};
    for (std::size_t byte = 0; byte < kBytes; ++byte) {
        const bool hasSmall = smalls[byte] != characters[byte] && smallBytes[byte] != '?';
        fold.at(byte) = hasSmall ? static_cast<unsigned char>(smallBytes[byte])
                                 : static_cast<unsigned char>(byte);
    }
    return fold;
}

bool ContainsFolded(std::string_view text, std::string_view word, const CaseFold& fold) {
    const auto sameLetter = [&fold](char a, char b) {
        return fold.at(static_cast<unsigned char>(a)) == fold.at(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), word.begin(), word.end(), sameLetter) !=
               text.end() ||
           word.empty();
}

}  // namespace pilfern::sim
