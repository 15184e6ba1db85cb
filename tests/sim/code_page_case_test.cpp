#include "sim/code_page_case.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"

// Letter case as the game's code pages have it: every capital of the alphabets the games
// print finds its small letter and back, and signs that merely sit where letters would in
// another alphabet stay apart.
namespace pilfern::sim {
namespace {

struct FoldCase {
    int codePage;
    std::string a;  // UTF-8, every character in the code page
    std::string b;
    bool sameLetters;
};

TEST(CodePageCase, EachCapitalMeetsItsSmallLetterInItsCodePageAndNothingElse) {
    const std::vector<FoldCase> cases{
        {1250, "ĄĆĘŁŃÓŚŹŻ ČĎĚŇŘŠŤŮŽ ĹĽŔ ŐŰ ÂÄÇÉËÍÎÔÖÚÜÝĂŞŢ",
         "ąćęłńóśźż čďěňřšťůž ĺľŕ őű âäçéëíîôöúüýăşţ", true},
        {1251, "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЃЄЅІЇЈЉЊЋЌЎЏҐ",
         "абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђѓєѕіїјљњћќўџґ", true},
        {1252, "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ ŠŒŽŸ QUICK",
         "àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ šœžÿ quick", true},
        // Sixteen rows apart in the code page, as capitals and small letters are, but signs.
        {1252, "×", "÷", false},
        {1251, "Ё", "е", false},
        {1250, "Ł", "l", false},
        // The same byte is another letter in another code page: Я in 1251 is ß in 1252.
        {1252, "ß", "ÿ", false},
    };
    for (const FoldCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.a + " / " + c.b);
        const std::string a = platform::Utf8ToCodePage(c.a, c.codePage);
        const std::string b = platform::Utf8ToCodePage(c.b, c.codePage);
        ASSERT_EQ(platform::CodePageToUtf8(a, c.codePage), c.a) << "not all in the code page";
        ASSERT_EQ(platform::CodePageToUtf8(b, c.codePage), c.b) << "not all in the code page";
        const CaseFold fold = CaseFoldOf(c.codePage);
        EXPECT_EQ(ContainsFolded(a, b, fold), c.sameLetters);
        EXPECT_EQ(ContainsFolded(b, a, fold), c.sameLetters);
    }
}

}  // namespace
}  // namespace pilfern::sim
