#include "host/ini_file.h"

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

struct FindCase {
    std::string name;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

class IniFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(IniFind, ReadsTheValueAsTheGameDoes) {
    const FindCase& c = GetParam();
    EXPECT_EQ(IniFile::Parse(c.text).Find(c.section, c.key), c.expected);
}

const std::vector<FindCase> kFindCases{
    {"PlainKey", "[GAME]\nsubTitles=1\n", "GAME", "subTitles", "1"},
    {"BlanksAroundEqualsAndValue", "[GAME]\n  subTitles \t=  1 0 \n", "GAME", "subTitles", "1 0"},
    {"CrLfLineEnds", "[GAME]\r\nsubTitles=1\r\nzLang=2\r\n", "GAME", "zLang", "2"},
    {"LastLineWithoutLineEnd", "[GAME]\nsubTitles=1", "GAME", "subTitles", "1"},
    {"SemicolonComment", "[GAME]\n;subTitles=1\n", "GAME", "subTitles", std::nullopt},
    {"SlashComment", "[GAME]\n// subTitles=1\n", "GAME", "subTitles", std::nullopt},
    {"IndentedComment", "[GAME]\n   ; subTitles=1\n", "GAME", "subTitles", std::nullopt},
    {"CommentDoesNotEndTheSection", "[GAME]\n; note\nsubTitles=1\n", "GAME", "subTitles", "1"},
    {"MissingKey", "[GAME]\nsubTitles=1\n", "GAME", "zLang", std::nullopt},
    {"MissingSection", "[GAME]\nsubTitles=1\n", "VIDEO", "subTitles", std::nullopt},
    {"KeyOfAnotherSection", "[VIDEO]\nsubTitles=1\n[GAME]\nzLang=1\n", "GAME", "subTitles",
     std::nullopt},
    {"NamesIgnoreLetterCase", "[Game]\nSUBTITLES=1\n", "GAME", "subTitles", "1"},
    {"FirstOccurrenceCounts", "[GAME]\nsubTitles=1\nsubTitles=0\n", "GAME", "subTitles", "1"},
    {"ValueMayHoldEquals", "[GAME]\nformula=a=b\n", "GAME", "formula", "a=b"},
    {"EmptyValueIsFound", "[GAME]\nsubTitles=\n", "GAME", "subTitles", ""},
    {"BlanksInsideHeader", "[ GAME ]\nsubTitles=1\n", "GAME", "subTitles", "1"},
    {"InnerBlanksOfValueKept", "[P]\ncolor=255, 105 ,0\n", "P", "color", "255, 105 ,0"},
    {"LineWithoutEqualsIgnored", "[GAME]\nsubTitles\nzLang=3\n", "GAME", "zLang", "3"},
    {"KeysBeforeAnySectionBelongToNone", "subTitles=1\n[GAME]\n", "GAME", "subTitles",
     std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, IniFind, ::testing::ValuesIn(kFindCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(IniFile, KeysComeInFileOrderWithoutComments) {
    const IniFile ini = IniFile::Parse("[S]\nb=1\n;x=2\na=3\n[T]\nc=4\n[s]\nd=5\n");
    EXPECT_EQ(ini.Keys("S"), (std::vector<std::string>{"b", "a", "d"}));
    EXPECT_TRUE(ini.Keys("NONE").empty());
}

// Setting a key as the game's options object does, and the text it writes back.
struct SetCase {
    std::string name;
    std::string text;
    std::string section;
    std::string key;
    std::string value;
    std::string written;
};

void PrintTo(const SetCase& c, std::ostream* out) {
    *out << c.name;
}

class IniSet : public ::testing::TestWithParam<SetCase> {};

TEST_P(IniSet, ChangesOnlyItsLineAndWritesTheRestBackAsRead) {
    const SetCase& c = GetParam();
    IniFile ini = IniFile::Parse(c.text);
    ini.Set(c.section, c.key, c.value);
    EXPECT_EQ(ini.Text(), c.written);
    EXPECT_EQ(IniFile::Parse(ini.Text()).Find(c.section, c.key), c.value);
}

const std::vector<SetCase> kSetCases{
    {"ReplacesTheKeyLineKeepingComments", "[A]\r\n; k=old\r\nk = 1\r\nj=2\r\n", "a", "K", "5",
     "[A]\r\n; k=old\r\nK=5\r\nj=2\r\n"},
    {"AddsAMissingKeyAtTheEndOfItsSection", "[A]\nk=1\n\n[B]\nm=2\n", "A", "n", "3",
     "[A]\nk=1\nn=3\n\n[B]\nm=2\n"},
    {"AddsAMissingSectionAtTheEnd", "[A]\nk=1", "B", "n", "3", "[A]\nk=1\n[B]\nn=3\n"},
    {"AnEmptyFileGetsTheGamesLineEnds", "", "B", "n", "3", "[B]\r\nn=3\r\n"},
    {"AnEmptySectionGetsTheKeyAfterItsHeader", "[A]\n\n[B]\nm=2\n", "A", "n", "3",
     "[A]\nn=3\n\n[B]\nm=2\n"},
    {"OnlyTheFirstOccurrenceChanges", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, IniSet, ::testing::ValuesIn(kSetCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(IniFile, AFileReadAndWrittenUnchangedIsTheSameBytes) {
    for (const std::string text :
         {"; Gothic\r\n[GAME]\r\n  subTitles = 1 \r\n\r\nx\r\n", "[A]\nk=1", ""}) {
        EXPECT_EQ(IniFile::Parse(text).Text(), text);
    }
}

// The engine's readers over the parsed file: a missing key gives the caller's default.
class OptionReaders : public ::testing::Test {
protected:
    OptionReaders() : engine(clock, redirects) {}

    void Use(std::string_view text, bool addMissingKeys = true) {
        engine.options.ini = IniFile::Parse(text);
        engine.options.addMissingKeys = addMissingKeys;
    }
    int Int(std::string_view key, int fallback) {
        return engine.eng_options_read_int(&engine.options, zSTRING("S"), zSTRING(key), fallback);
    }
    bool Bool(std::string_view key, bool fallback) {
        return engine.eng_options_read_bool(&engine.options, zSTRING("S"), zSTRING(key), fallback);
    }

    std::uint32_t clock = 0;
    RedirectTable redirects;
    SimEngine engine;
};

TEST_F(OptionReaders, IntegersAreTheLeadingNumberOfTheText) {
    Use("[S]\nplain=42\nsigned=-7\ntrailing=12abc\nword=abc\nempty=\n");
    EXPECT_EQ(Int("plain", 1), 42);
    EXPECT_EQ(Int("signed", 1), -7);
    EXPECT_EQ(Int("trailing", 1), 12);
    EXPECT_EQ(Int("word", 1), 0);
    EXPECT_EQ(Int("empty", 1), 0);
    EXPECT_EQ(Int("missing", 99), 99);
}

TEST_F(OptionReaders, IntegersBeyondThirtyTwoBitsSaturate) {
    // The game's 32-bit reader stops at the limits; it never wraps to a small number.
    Use("[S]\nhuge=4294967297\ntiny=-4294967297\n");
    EXPECT_EQ(Int("huge", 0), INT_MAX);
    EXPECT_EQ(Int("tiny", 0), INT_MIN);
}

TEST_F(OptionReaders, BooleansAreTrueOrANonzeroNumber) {
    Use("[S]\na=1\nb=TRUE\nc=true\nd=0\ne=false\nf=yes\ng=2\n");
    const std::vector<std::pair<std::string, bool>> expected{
        {"a", true},  {"b", true},  {"c", true}, {"d", false},
        {"e", false}, {"f", false}, {"g", true}};
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(Bool(key, !value), value) << key;
    }
    EXPECT_TRUE(Bool("missingTrue", true));
    EXPECT_FALSE(Bool("missingFalse", false));
}

TEST_F(OptionReaders, TextsComeAsWrittenOrAsTheDefault) {
    Use("[S]\nname=KEY_V\n");
    const zSTRING section("S");
    EXPECT_EQ(
        engine.eng_options_read_string(&engine.options, section, zSTRING("name"), zSTRING("x"))
            .Text(),
        "KEY_V");
    EXPECT_EQ(engine
                  .eng_options_read_string(&engine.options, section, zSTRING("other"),
                                           zSTRING("fallback"))
                  .Text(),
              "fallback");
}

// The game's readers add a key they miss with the default they were given, in the text the
// game writes for it; from then on the key is found, whatever default a later read brings.
TEST_F(OptionReaders, AMissingKeyIsAddedWithTheDefaultItWasReadWith) {
    Use("[GAME]\r\nsubTitles=1\r\n");
    EXPECT_EQ(Int("radius", 2), 2);
    EXPECT_EQ(Int("radius", 4), 2);
    EXPECT_FALSE(Bool("fast", false));
    EXPECT_FALSE(Bool("fast", true));
    EXPECT_EQ(engine
                  .eng_options_read_string(&engine.options, zSTRING("S"), zSTRING("name"),
                                           zSTRING("KEY_V"))
                  .Text(),
              "KEY_V");
    EXPECT_EQ(engine.options.ini.Text(),
              "[GAME]\r\nsubTitles=1\r\n[S]\r\nradius=2\r\nfast=0\r\nname=KEY_V\r\n");
}

TEST_F(OptionReaders, AnEngineThatDoesNotAddMissingKeysGivesEachReadItsOwnDefault) {
    Use("[GAME]\r\nsubTitles=1\r\n", false);
    EXPECT_EQ(Int("radius", 2), 2);
    EXPECT_EQ(Int("radius", 4), 4);
    EXPECT_EQ(engine.options.ini.Text(), "[GAME]\r\nsubTitles=1\r\n");
}

}  // namespace
}  // namespace pilfern::sim
