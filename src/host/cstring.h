#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/framework_heap.h"
#include "host/heap_allocator.h"
#include "host/zstring.h"

namespace pilfern {

// The plugin's own 8-bit text, in the game's code page: the framework's string, whose
// characters live in the framework's heap. Equality is exact; the places that ignore letter
// case say so by calling CompareI or HasWordI.
class CStringA {
public:
    using Text =
        std::basic_string<char, std::char_traits<char>, HeapAllocator<char, FrameworkHeap>>;

    CStringA() = default;
    CStringA(const char* text) : text_(text == nullptr ? "" : text) {}
    CStringA(std::string_view text) : text_(text) {}
    CStringA(int value, int radix);

    [[nodiscard]] std::string_view Str() const { return text_; }
    [[nodiscard]] const char* ToChar() const { return text_.c_str(); }
    [[nodiscard]] std::size_t Length() const { return text_.size(); }
    [[nodiscard]] bool IsEmpty() const { return text_.empty(); }

    CStringA& operator+=(const CStringA& other);
    friend CStringA operator+(CStringA a, const CStringA& b) { return a += b; }
    friend bool operator==(const CStringA& a, const CStringA& b) = default;

    // Equality ignoring letter case (ASCII letters only, as the game's code pages agree there).
    [[nodiscard]] bool CompareI(const CStringA& other) const;
    // Whether the text contains `word` anywhere, ignoring letter case.
    [[nodiscard]] bool HasWordI(const CStringA& word) const;
    // Splits at every occurrence of `separator`; empty pieces are kept, so "a||b" gives three.
    [[nodiscard]] std::vector<CStringA> Split(const CStringA& separator) const;
    // Trims blanks, tabs and line ends at both ends, in place.
    CStringA& Shrink();
    // Upper-cases ASCII letters in place.
    CStringA& Upper();
    // A whole number: optional blanks, an optional sign, at least one digit, optional blanks.
    [[nodiscard]] bool IsNumber() const;
    // The leading number: blanks skipped, an optional sign, then digits up to the first
    // other character; 0 when there are no digits. Values beyond 32 bits saturate.
    [[nodiscard]] int ToInt32(int radix) const;

private:
    Text text_;
};

// Equality ignoring letter case (ASCII letters only), of texts in the game's code page, without
// copying them.
[[nodiscard]] bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Whether `text` contains `word` anywhere, ignoring letter case, without copying either.
[[nodiscard]] bool ContainsIgnoringCase(std::string_view text, std::string_view word);
// The part of `text` between blanks, tabs and line ends at both ends, without copying it: what
// Shrink keeps.
[[nodiscard]] std::string_view TrimBlanks(std::string_view text);

[[nodiscard]] inline CStringA ToCString(const zSTRING& text) {
    return CStringA(text.Text());
}
[[nodiscard]] inline zSTRING ToZString(const CStringA& text) {
    return zSTRING(text.Str());
}

}  // namespace pilfern
