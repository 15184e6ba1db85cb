#include "sim/config_report.h"

#include <stdlib.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/option_catalogue.h"
#include "sim/stop_request.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// A player's Gothic.ini (and SystemPack.ini) and the report on them.
class ConfigReport : public ::testing::Test {
protected:
    ConfigReportRequest Request(std::string_view gothicIni) {
        folder.Write("Gothic.ini", gothicIni);
        ConfigReportRequest request;
        request.gothicIni = folder.Path() / "Gothic.ini";
        return request;
    }
    static std::string Text(const ConfigReportRequest& request) {
        std::ostringstream out;
        WriteConfigReport(request, out);
        return out.str();
    }
    static Json JsonOf(ConfigReportRequest request) {
        request.json = true;
        return Json::parse(Text(request));
    }
    // The report's line of a key, and the explanation below it if there is one.
    static std::string LineOf(const std::string& report, std::string_view key) {
        const std::size_t start = report.find("\n  " + std::string(key) + " ");
        if (start == std::string::npos) {
            return {};
        }
        std::size_t end = report.find('\n', start + 1);
        if (report.compare(end + 1, 6, "      ") == 0) {
            end = report.find('\n', end + 1);
        }
        return report.substr(start + 1, end - start - 1);
    }

    test::TempFolder folder;
};

TEST_F(ConfigReport, AGothicIniWithoutTheSectionShowsEveryDefault) {
    const ConfigReportRequest request = Request("[GAME]\nsubTitles=1\n");
    const std::string report = Text(request);
    EXPECT_NE(report.find("no key in this section: every option takes its default"),
              std::string::npos);
    for (const OptionEntry& entry : kOptionCatalogue) {
        const std::string line = LineOf(report, entry.key);
        SCOPED_TRACE(line);
        ASSERT_FALSE(line.empty()) << entry.key;
        EXPECT_NE(line.find(entry.source == OptionSource::SystemPack ? "no file given" : "missing"),
                  std::string::npos);
        // Defaults need no explanation; only the radius, whose reload passes another default,
        // says that applying options keeps the one the game added at its start.
        EXPECT_EQ(line.find('\n') == std::string::npos, entry.key != "maxDistanceAutoLoot");
    }
    EXPECT_NE(LineOf(report, "keyLightQuickLoot").find("-> 47 (KEY_V)"), std::string::npos);
    EXPECT_NE(LineOf(report, "maxDistanceAutoLoot").find("-> 600 world units (index 2)"),
              std::string::npos);
    EXPECT_NE(LineOf(report, "maxDistanceAutoLoot")
                  .find("missing: the game adds it with 2 when it starts, so applying options "
                        "keeps 600"),
              std::string::npos);
    EXPECT_NE(LineOf(report, "autoLootEnabledBaseNewBalance").find("not read"), std::string::npos);

    const Json settings = JsonOf(request);
    EXPECT_EQ(settings.at("autoLootDistance"), 600);
    EXPECT_EQ(settings.at("keyLightQuickLoot"), 47);
    EXPECT_EQ(settings.at("colorQuickLootRare"), Json::array({255, 105, 0, 255}));
    EXPECT_EQ(settings.at("rareItemNames").size(), 12U);
}

TEST_F(ConfigReport, WrongValuesAreExplained) {
    const std::string report =
        Text(Request("[VARKO_UNION_PILFERN]\r\n"
                     "keyLightQuickLoot=KEY_V0\r\n"
                     "autoLootEnabledBase=EMPTY\r\n"
                     "autoLootEnabledSecond=999\r\n"
                     "maxDistanceAutoLoot=12\r\n"
                     "possibleFontsMultiplierIdx=-1\r\n"
                     "quickLootNumberRecordsCustom=40\r\n"
                     "colorQuickLoot=0, 207\r\n"
                     "colorQuickLootWeapon=300,248,x\r\n"
                     "lootIconPositions=8000\r\n"
                     "needFastLootX2Mode=yes\r\n"
                     "quickLootTimeDelay=5s\r\n"
                     "quickLootRareListNew=itpo_megadrink,itpo_perm_str\r\n"
                     "historyQuickLootSecnd=KEY_SEMICOLON\r\n"));
    const std::vector<std::pair<std::string_view, std::string>> expected{
        {"keyLightQuickLoot", "-> 0, no key\n      KEY_V0 is no key name: no key."},
        {"autoLootEnabledBase", "EMPTY is no key name: no key, so the second key of the pair"},
        {"autoLootEnabledSecond", "no key name has the code 999"},
        {"maxDistanceAutoLoot", "index 12 is outside 0..9: falls back to 1000."},
        {"possibleFontsMultiplierIdx", "index -1 is outside 0..21: falls back to 1.0."},
        {"quickLootNumberRecordsIdx", "not used: quickLootNumberRecordsCustom 40 sets the row"},
        {"colorQuickLoot", "-> 0,207,0\n      only 2 of the 3 parts red,green,blue: the missing"},
        {"colorQuickLootWeapon", "\"x\" is no number: reads as 0; 300 keeps its low 8 bits: 44."},
        {"lootIconPositions", "-> 8000,0 (icon view)\n      only 1 of the 2 parts x,y"},
        {"needFastLootX2Mode", "\"yes\" is neither true, false nor a number: false."},
        {"quickLootTimeDelay", "\"5s\" is no whole number: the game reads 5."},
        {"quickLootRareListNew", "-> 1 name\n      names are separated by |"},
    };
    for (const auto& [key, words] : expected) {
        SCOPED_TRACE(key);
        EXPECT_NE(LineOf(report, key).find(words), std::string::npos) << LineOf(report, key);
    }
    EXPECT_NE(report.find("historyQuickLootSecnd  (did you mean historyQuickLootSecond?)"),
              std::string::npos);
    // Keys written well get no explanation.
    EXPECT_EQ(LineOf(report, "historyQuickLootBase").find('\n'), std::string::npos);
}

TEST_F(ConfigReport, JsonHoldsEveryPluginSettingsFieldByName) {
    const Json settings =
        JsonOf(Request("[VARKO_UNION_PILFERN]\nkeyLightQuickLoot=KEY_V0\nmaxDistanceAutoLoot=2\n"
                       "possibleFontsMultiplierIdx=0\ncolorQuickLootRare=255, 105 ,0\n"));
    std::vector<std::string> fields;
    for (const auto& [field, value] : settings.items()) {
        fields.push_back(field);
    }
    EXPECT_EQ(fields, (std::vector<std::string>{"textureIdx",
                                                "keyLightQuickLoot",
                                                "rareItemNames",
                                                "colorQuickLootRare",
                                                "colorQuickLoot",
                                                "colorQuickLootWeapon",
                                                "colorQuickLootArmorRings",
                                                "colorQuickLootBooksScrools",
                                                "sizeTarget",
                                                "allowPilfernGround",
                                                "allowPilfernNpc",
                                                "allowQuickLootChests",
                                                "allowQuickLootInBattle",
                                                "allowQuickLootInTransform",
                                                "sizeLootIcon",
                                                "historyCntRowsInColumn",
                                                "autoLootDistance",
                                                "needFastLootX2Mode",
                                                "autoLootInterval",
                                                "startQuickLootTextPosX",
                                                "startQuickLootTextPosY",
                                                "quickLootTimeDelay",
                                                "quickLootNumberRecordsCustom",
                                                "quickLootNumberRecordsIdx",
                                                "messageRowCount",
                                                "isRMBTakeAllow",
                                                "allowMarkQuestItems",
                                                "needDirectViewAutoloot",
                                                "newBalanceMode",
                                                "autoLootEnabledBase",
                                                "autoLootEnabledSecond",
                                                "historyQuickLootBase",
                                                "historyQuickLootSecond",
                                                "wispText",
                                                "prefixMode",
                                                "fontMultiplier",
                                                "showArmor",
                                                "autoLootExcludedNames",
                                                "summonedItemNames"}));
    // Every field the catalogue names is one of them.
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (!entry.field.empty()) {
            EXPECT_TRUE(settings.contains(std::string(entry.field))) << entry.field;
        }
    }
    EXPECT_EQ(settings.at("keyLightQuickLoot"), 0);
    EXPECT_EQ(settings.at("autoLootDistance"), 600);
    EXPECT_EQ(settings.at("colorQuickLootRare"), Json::array({255, 105, 0, 255}));
    EXPECT_NE(settings.dump().find("\"fontMultiplier\":0.4,"), std::string::npos);
}

TEST_F(ConfigReport, NewBalanceLanguageAndSystemPackShapeTheGame) {
    ConfigReportRequest request = Request("[VARKO_UNION_PILFERN]\n");
    folder.Write("SystemPack.ini", "[PARAMETERS]\nShowArmor=1\n");
    request.systemPack = folder.Path() / "SystemPack.ini";
    request.newBalance = true;
    request.language = 1;
    const Json settings = JsonOf(request);
    EXPECT_EQ(settings.at("newBalanceMode"), true);
    EXPECT_EQ(settings.at("autoLootEnabledBase"), 0);
    EXPECT_EQ(settings.at("autoLootEnabledSecond"), 526);
    EXPECT_EQ(settings.at("showArmor"), true);
    EXPECT_EQ(settings.at("wispText"), "Найден огонек, автолут выключается");
    EXPECT_NE(LineOf(Text(request), "autoLootEnabledBase").find("not read: NewBalance mode is on"),
              std::string::npos);
}

TEST_F(ConfigReport, UnreadableFilesAreNamed) {
    ConfigReportRequest request;
    request.gothicIni = folder.Path() / "nowhere" / "Gothic.ini";
    EXPECT_THROW(
        {
            try {
                Text(request);
            } catch (const ConfigReportError& error) {
                EXPECT_EQ(std::string(error.what()),
                          request.gothicIni.string() + ": cannot be read");
                throw;
            }
        },
        ConfigReportError);

    request = Request("[GAME]\n");
    request.systemPack = folder.Path();  // a folder is no file
    EXPECT_THROW(Text(request), ConfigReportError);
}

// Points the system's temporary folder, where the report makes its scratch folder, at a folder
// of the test's own, so that what is left there is seen exactly.
class OwnTemporaryFolder {
public:
    explicit OwnTemporaryFolder(const std::filesystem::path& folder)
        : before_(std::filesystem::temp_directory_path()) {
        Point(folder);
    }
    OwnTemporaryFolder(const OwnTemporaryFolder&) = delete;
    OwnTemporaryFolder& operator=(const OwnTemporaryFolder&) = delete;
    OwnTemporaryFolder(OwnTemporaryFolder&&) = delete;
    OwnTemporaryFolder& operator=(OwnTemporaryFolder&&) = delete;
    ~OwnTemporaryFolder() { Point(before_); }

private:
    static void Point(const std::filesystem::path& folder) {
#ifdef _WIN32
        _putenv_s("TMP", folder.string().c_str());
#else
        setenv("TMPDIR", folder.c_str(), 1);
#endif
    }

    std::filesystem::path before_;
};

// A stop asked for while the report runs (a signal to pilfern-sim config) ends it before it
// prints, and takes the scratch folder with the copy of the player's Gothic.ini along.
TEST_F(ConfigReport, AStopRequestEndsTheReportAndRemovesItsScratchFolder) {
    const ConfigReportRequest request =
        Request("[VARKO_UNION_PILFERN]\nfontMultiplier=1.5\nmisspeltKey=1\n");
    std::filesystem::create_directory(folder.Path() / "tmp");
    const OwnTemporaryFolder temporary(folder.Path() / "tmp");
    RequestStop(SIGTERM);
    std::ostringstream out;
    EXPECT_THROW(WriteConfigReport(request, out), RunInterrupted);
    ClearStopRequest();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path() / "tmp"));
}

TEST(FloatText, ShortestDecimalWithAPoint) {
    const std::vector<std::pair<float, std::string>> cases{
        {1.0F, "1.0"}, {0.4F, "0.4"},     {0.7F, "0.7"},
        {2.5F, "2.5"}, {100.0F, "100.0"}, {-0.5F, "-0.5"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FloatText(value), text);
    }
}

}  // namespace
}  // namespace pilfern::sim
