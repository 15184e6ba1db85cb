#include "host/cstring.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pilfern {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool EqualI(char a, char b) {
    return LowerAscii(a) == LowerAscii(b);
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

}  // namespace

CStringA::CStringA(int value, int radix) {
    if (radix < 2 || radix > 36) {
        radix = 10;
    }
    const bool negative = value < 0;
    // Work in 64 bits so that the most negative int has a magnitude.
    auto magnitude = static_cast<std::int64_t>(value);
    magnitude = negative ? -magnitude : magnitude;
    do {
        const auto digit = static_cast<int>(magnitude % radix);
        text_.push_back(static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10));
        magnitude /= radix;
    } while (magnitude > 0);
    if (negative) {
        text_.push_back('-');
    }
    std::reverse(text_.begin(), text_.end());
}

CStringA& CStringA::operator+=(const CStringA& other) {
    text_ += other.text_;
    return *this;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), EqualI);
}

bool CStringA::CompareI(const CStringA& other) const {
    return EqualsIgnoringCase(text_, other.text_);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), EqualI) != text.end();
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
    return first < last ? std::string_view(first, last) : std::string_view();
}

bool CStringA::HasWordI(const CStringA& word) const {
    return ContainsIgnoringCase(text_, word.text_);
}

std::vector<CStringA> CStringA::Split(const CStringA& separator) const {
    std::vector<CStringA> pieces;
    if (separator.IsEmpty()) {
        pieces.emplace_back(text_);
        return pieces;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t found = text_.find(separator.text_, start);
        if (found == std::string::npos) {
            pieces.emplace_back(text_.substr(start));
            return pieces;
        }
        pieces.emplace_back(text_.substr(start, found - start));
        start = found + separator.Length();
    }
}

CStringA& CStringA::Shrink() {
    text_ = Text(TrimBlanks(text_));
    return *this;
}

CStringA& CStringA::Upper() {
    std::transform(text_.begin(), text_.end(), text_.begin(), UpperAscii);
    return *this;
}

bool CStringA::IsNumber() const {
    CStringA trimmed = *this;
    trimmed.Shrink();
    const Text& t = trimmed.text_;
    std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i == t.size()) {
        return false;
    }
    return std::all_of(t.begin() + static_cast<std::ptrdiff_t>(i), t.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

int CStringA::ToInt32(int radix) const {
    if (radix < 2 || radix > 36) {
        radix = 10;
    }
    std::size_t i = 0;
    while (i < text_.size() && IsBlank(text_[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) {
        negative = text_[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text_.size() && DigitValue(text_[i]) < radix; ++i) {
        value = std::min(value * radix + DigitValue(text_[i]), kLimit);
    }
    value = negative ? -value : std::min<std::int64_t>(value, kLimit - 1);
    return static_cast<int>(value);
}

}  // namespace pilfern
