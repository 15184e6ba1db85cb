#include "sim/scenario/state_dump.h"

#include <gtest/gtest.h>

#include "support/scenario_game.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

struct WrittenContent {
    std::string name;
    std::string bytes;
    nlohmann::ordered_json shown;
};

void PrintTo(const WrittenContent& written, std::ostream* out) {
    *out << written.name;
}

class DumpedFile : public ::testing::TestWithParam<WrittenContent> {};

// What the game wrote is shown as it is: UTF-8 as text, anything else as its bytes, never
// converted from a guessed code page. The JSON must stay printable either way.
TEST_P(DumpedFile, IsTextWhenUtf8ElseItsBytes) {
    const WrittenContent& written = GetParam();
    const test::TempFolder folder;
    SimGame game(folder.Path(), 4);
    ASSERT_TRUE(game.WriteGameFile("System/written.dat", written.bytes));

    const nlohmann::ordered_json state = DumpState(game, nullptr);
    EXPECT_EQ(state.at("state").at("files").at("System/written.dat"), written.shown);
    EXPECT_NO_THROW(static_cast<void>(state.dump()));
}

nlohmann::ordered_json Bytes(const std::string& base64) {
    return {{"bytes", base64}};
}

INSTANTIATE_TEST_SUITE_P(
    StateDump, DumpedFile,
    ::testing::Values(WrittenContent{"empty", "", ""},
                      WrittenContent{"ascii", "[GAME]\r\nsubTitles=1\r\n",
                                     "[GAME]\r\nsubTitles=1\r\n"},
                      WrittenContent{"utf8", "M\xC3\xBCnzen \xE2\x82\xAC \xF0\x9F\x97\xA1",
                                     "M\xC3\xBCnzen \xE2\x82\xAC \xF0\x9F\x97\xA1"},
                      // Windows-1252 text, whose code page the dump does not guess.
                      WrittenContent{"code_page", "M\xFCnzen", Bytes("TfxuemVu")},
                      WrittenContent{"one_byte", "\xE4", Bytes("5A==")},
                      WrittenContent{"two_bytes", "\xFF\xFE", Bytes("//4=")},
                      WrittenContent{"cut_sequence", "ok\xC3", Bytes("b2vD")},
                      // Forms a loose check would let through, and the JSON printer refuses.
                      WrittenContent{"overlong", "\xC0\x80", Bytes("wIA=")},
                      WrittenContent{"surrogate", "\xED\xA0\x80", Bytes("7aCA")},
                      WrittenContent{"beyond_unicode", "\xF4\x90\x80\x80", Bytes("9JCAgA==")},
                      WrittenContent{"zero_bytes", std::string("a\0b", 3), std::string("a\0b", 3)}),
    [](const ::testing::TestParamInfo<WrittenContent>& written) { return written.param.name; });

TEST(StateDump, FilesHoldsOnlyWhatTheGameWrote) {
    const test::TempFolder installed;
    installed.Write("System/Gothic.ini", "[GAME]\r\n");
    const test::TempFolder working;
    working.Write("System/notes.txt", "placed by the player");
    SimGame game(working.Path(), 4, installed.Path());
    game.Save(0);
    ASSERT_TRUE(game.WriteGameFile("System\\Gothic.ini", "[GAME]\r\nsubTitles=1\r\n"));

    // The save: the world written into "current", then copied into the quicksave's folder.
    nlohmann::ordered_json saved;
    for (const char* slot : {"current", "quicksave"}) {
        const std::string folder = std::string("SAVES/") + slot + "/";
        saved[folder + "NEWWORLD.SAV"] = "world NEWWORLD.ZEN\n";
        saved[folder + "SAVEDAT.SAV"] = "time 16\n";
        saved[folder + "SAVEINFO.SAV"] = "world NEWWORLD.ZEN\n";
    }
    saved["System/Gothic.ini"] = "[GAME]\r\nsubTitles=1\r\n";
    EXPECT_EQ(DumpState(game, nullptr).at("state").at("files"), saved);
}

// Chests by id: what they hold in list order, their lock, their state, who is bound to them and
// a state change begun and not ended.
TEST(StateDump, ContainersShowTheirItemsLockStateAndUse) {
    test::ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "containers": [
            {"id": "chest", "instance": "MOB_CHEST", "locked": true,
             "items": [{"id": "gold", "instance": "itmi_gold", "amount": 25},
                       {"id": "ring", "instance": "ITRI_PROT_POINT_01"}]},
            {"id": "crate", "instance": "MOB_CRATE", "states": 2, "state": 2}]}})");
    SimEngine& engine = world.Engine();
    SimContainer& chest = world.Container("chest");
    engine.eng_container_remove_item(&chest, &world.Item("ring"));
    engine.eng_npc_bind_mob(&world.Npc("hero"), &chest);
    engine.eng_mob_begin_state_change(&chest, &world.Npc("hero"), 0, 1);

    EXPECT_EQ(DumpState(world.Game(), nullptr).at("state").at("containers"),
              nlohmann::ordered_json::parse(R"({
        "chest": {"items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25}],
                  "locked": true, "state": 0, "user": "hero",
                  "changing": {"user": "hero", "from": 0, "to": 1}},
        "crate": {"items": [], "locked": false, "state": 2, "user": null, "changing": null}})"));
}

}  // namespace
}  // namespace pilfern::sim
