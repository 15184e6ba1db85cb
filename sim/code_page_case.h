#pragma once

#include <array>
#include <string_view>

// Letter case in the game's 8-bit code page, so that a search finds a word in the game's text
// whatever the case of its letters, in Cyrillic or with umlauts as much as in ASCII.
namespace pilfern::sim {

// For every byte of a code page, the byte of its small letter, or the byte itself when it is
// no capital or the code page lacks its small letter. ASCII letters alone for a code page this
// system does not know.
using CaseFold = std::array<unsigned char, 256>;
[[nodiscard]] CaseFold CaseFoldOf(int codePage);

// Whether `text` contains `word`, both in the code page `fold` was made for, ignoring letter
// case. An empty word is in every text.
[[nodiscard]] bool ContainsFolded(std::string_view text, std::string_view word,
                                  const CaseFold& fold);

}  // namespace pilfern::sim
