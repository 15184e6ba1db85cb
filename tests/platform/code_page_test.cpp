#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace pilfern::platform {
namespace {

// Text in a code page, with one character whose byte in that code page is known.
struct CodePageText {
    int codePage;
    std::string_view utf8;
    std::string_view character;
    char byte;
};

std::string CodePageName(const ::testing::TestParamInfo<CodePageText>& tested) {
    return "CodePage" + std::to_string(tested.param.codePage);
}

void PrintTo(const CodePageText& text, std::ostream* out) {
    *out << text.utf8 << " in code page " << text.codePage;
}

class CodePageRoundTrip : public ::testing::TestWithParam<CodePageText> {};

std::size_t CodePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

TEST_P(CodePageRoundTrip, EveryCharacterBecomesOneByteAndComesBack) {
    const CodePageText& text = GetParam();
    const std::string encoded = Utf8ToCodePage(text.utf8, text.codePage);
    EXPECT_EQ(encoded.size(), CodePoints(text.utf8));
    EXPECT_EQ(encoded.find('?'), std::string::npos) << "a character was lost";
    EXPECT_EQ(CodePageToUtf8(encoded, text.codePage), text.utf8);
    EXPECT_EQ(Utf8ToCodePage(text.character, text.codePage), std::string(1, text.byte));
}

INSTANTIATE_TEST_SUITE_P(
    GameLanguages, CodePageRoundTrip,
    ::testing::Values(CodePageText{1251, "Найден огонек, автолут выключается", "Н", '\xCD'},
                      CodePageText{1250, "Zażółć gęślą jaźń; Příliš žluťoučký kůň", "ż", '\xBF'},
                      CodePageText{1252, "Königsschlüssel für Gärtner – 5 € «Œuvre»", "€", '\x80'}),
    CodePageName);

TEST(CodePage, CharacterTheCodePageLacksBecomesQuestionMark) {
    // 'Ā' has a look-alike in 1252 ('A'), which must not stand in for it.
    const struct {
        int codePage;
        std::string_view utf8;
        std::string_view expected;
    } cases[] = {
        {1252, "Ж", "?"},           {1252, "Āx", "?x"},   {1251, "ä", "?"},
        {1250, "mañana", "ma?ana"}, {1251, "日本", "??"}, {1252, "\xC2\x81", "?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCodePage(c.utf8, c.codePage), c.expected) << c.utf8 << " in " << c.codePage;
    }
}

TEST(CodePage, BytesTheCodePageLeavesUndefinedBecomeQuestionMarks) {
    const struct {
        int codePage;
        std::string_view undefinedBytes;
    } cases[] = {
        {1250, "\x81\x83\x88\x90\x98"},
        {1251, "\x98"},
        {1252, "\x81\x8D\x8F\x90\x9D"},
    };
    for (const auto& c : cases) {
        for (int value = 0; value < 256; ++value) {
            const char byte = static_cast<char>(value);
            const bool undefined = c.undefinedBytes.find(byte) != std::string_view::npos;
            const std::string utf8 = CodePageToUtf8(std::string(1, byte), c.codePage);
            EXPECT_EQ(utf8 == "?", undefined || byte == '?')
                << "byte " << value << " of " << c.codePage << " gives " << utf8;
        }
    }
}

TEST(CodePage, BrokenUtf8BecomesOneQuestionMarkPerPiece) {
    // A piece spans as many bytes as its lead byte announces, whatever follows.
    const struct {
        std::string_view utf8;
        std::string_view expected;
    } cases[] = {
        {"ab\xC3", "ab?"},        // cut off by the end
        {"\xE0xyz", "?z"},        // a three-byte piece holding ASCII
        {"\x80x", "?x"},          // a stray continuation byte
        {"\xC0\xAFx", "?x"},      // an overlong '/'
        {"\xED\xA0\x80x", "?x"},  // a surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCodePage(c.utf8, 1252), c.expected);
    }
}

TEST(CodePage, WideTextBecomesUtf8WhateverTheWidthOfWideCharacters) {
    // The coin lies beyond 16 bits: one surrogate pair where wide characters have 16 bits.
    EXPECT_EQ(WideToUtf8(L"Gold \U0001F4B0 x25"), "Gold \xF0\x9F\x92\xB0 x25");
    EXPECT_EQ(WideToUtf8(L"\u041D\u0430\u0439\u0434\u0435\u043D"),
              "\xD0\x9D\xD0\xB0\xD0\xB9\xD0\xB4\xD0\xB5\xD0\xBD");
    EXPECT_EQ(Utf8ToCodePage(WideToUtf8(L"G\u00E4rtner"), 1252), "G\xE4rtner");
}

TEST(CodePage, UnknownCodePageLeavesTextAsItIs) {
    EXPECT_EQ(Utf8ToCodePage("Gärtner", 99999), "Gärtner");
    EXPECT_EQ(CodePageToUtf8("G\xE4rtner", 99999), "G\xE4rtner");
}

}  // namespace
}  // namespace pilfern::platform
