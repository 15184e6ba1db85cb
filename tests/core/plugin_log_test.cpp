// The log a player can send: a line each, written at once, after earlier sessions' lines,
// plain ASCII, and never larger than its limit.

#include "core/plugin_log.h"

#include <string>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

constexpr std::string_view kFile = "System/Pilfern.log";

class PluginLogTest : public testing::Test {
protected:
    [[nodiscard]] std::string File() const { return game_.ReadGameFile(kFile).value_or(""); }

    test::TempFolder folder_;
    sim::SimGame game_{folder_.Path(), 4};
};

TEST_F(PluginLogTest, EachLineIsWrittenAtOnceAfterEarlierSessions) {
    folder_.Write(kFile, "an earlier session's line");  // cut off without its line break
    PluginLog log(game_.framework);
    log.Line("bound to Gothic II Night of the Raven 2.6 (fix)");
    EXPECT_EQ(File(),
              "an earlier session's line\n"
              "bound to Gothic II Night of the Raven 2.6 (fix)\n");
    log.Line("Game_Init received");
    EXPECT_EQ(File(),
              "an earlier session's line\n"
              "bound to Gothic II Night of the Raven 2.6 (fix)\n"
              "Game_Init received\n");
}

TEST_F(PluginLogTest, ALineIsOneLineOfPlainAscii) {
    PluginLog log(game_.framework);
    log.Line("two\nlines\tand a \x01 control, \xE4 and \xC3\xA4");
    EXPECT_EQ(File(), "two lines and a ? control, ? and ??\n");
}

TEST_F(PluginLogTest, TheOldestWholeLinesGoWhenTheLimitIsReached) {
    std::string earlier;
    for (int i = 0; earlier.size() <= kPluginLogLimit; ++i) {
        earlier += "earlier line " + std::to_string(i) + "\n";
    }
    folder_.Write(kFile, earlier);
    PluginLog log(game_.framework);
    log.Line("the newest line");
    const std::string file = File();
    EXPECT_LE(file.size(), kPluginLogLimit);
    EXPECT_TRUE(file.starts_with("earlier line ")) << file.substr(0, 40);
    EXPECT_TRUE(file.ends_with("\nthe newest line\n"));
    // What is kept is the end of what was there, cut at a line's start.
    const std::string kept = file.substr(0, file.size() - std::string("the newest line\n").size());
    EXPECT_TRUE(earlier.ends_with(kept));
    EXPECT_EQ(earlier[earlier.size() - kept.size() - 1], '\n');
}

}  // namespace
}  // namespace pilfern
