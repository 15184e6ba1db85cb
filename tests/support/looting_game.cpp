#include "support/looting_game.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pilfern::test {

LootingGame::LootingGame(const std::string& json, int engineVersion)
    : world_(json, engineVersion), engineVersion_(engineVersion) {
    plugin_.emplace(Game().framework, Game().engine);
    OnLibraryAttach(Game().framework, 1);
    Game().Init();
    Plugin().lootWatcher = this;
}

LootingGame::~LootingGame() {
    Plugin().lootWatcher = nullptr;
}

void LootingGame::Frame(const std::set<int>& keys, std::uint32_t ms) {
    Game().HoldKeys(keys);
    Game().Frame(ms);
}

void LootingGame::PressLootKey() {
    Frame({kKeyV});
    Frame();
}

int LootingGame::AmountIn(const std::string& place, const std::string& instance) const {
    return TakeCensus(world_.Game().engine).AmountIn(place, instance);
}

void LootingGame::OnLootMessage(const MessageData& message) {
    records_.push_back(RecordOf(message));
}

void LootingGame::OnHistoryRow(const HistoryEntity& row) {
    records_.push_back(RecordOf(row));
}

void LootingGame::OnCorpseJudged(const oCNpc& npc, CorpseVerdict verdict) {
    if (verdict != CorpseVerdict::Take) {
        return;
    }
    if (&npc == lastChosenCorpse_ && records_.size() == recordsAtLastChoice_) {
        ++corpseStalls_;
    }
    lastChosenCorpse_ = &npc;
    recordsAtLastChoice_ = records_.size();
}

LootingGame::Ledger::Ledger(const LootingGame& game)
    : game_(game),
      before_(TakeCensus(game.world_.Game().engine)),
      recordsBefore_(game.records_.size()) {}

int LootingGame::Ledger::StacksMoved() const {
    // A stack moved when it is no longer, or no longer whole, where it was: the ground, a
    // corpse's inventory or a chest. The receivers' own stacks only grow.
    const ItemCensus after = TakeCensus(game_.world_.Game().engine);
    int moved = 0;
    for (const auto& [item, places] : before_.places) {
        const auto now = after.places.find(item);
        const bool left = now == after.places.end() || now->second != places;
        const bool fromHero = places.front() == "inventory of " + game_.Hero().vob.id;
        if (left && !fromHero) {
            ++moved;
        }
    }
    return moved;
}

void LootingGame::Ledger::ExpectConserved(const std::map<std::string, int>& extraCopies) const {
    const ItemCensus after = TakeCensus(game_.world_.Game().engine);
    EXPECT_TRUE(after.InSeveralPlaces().empty());
    std::map<std::string, int> expected = before_.amounts;
    for (const auto& [instance, amount] : extraCopies) {
        expected[instance] += amount;
    }
    std::erase_if(expected, [](const auto& entry) { return entry.second == 0; });
    std::map<std::string, int> now = after.amounts;
    std::erase_if(now, [](const auto& entry) { return entry.second == 0; });
    EXPECT_EQ(now, expected) << "amounts per instance";

    const auto first = game_.records_.begin() + static_cast<std::ptrdiff_t>(recordsBefore_);
    const auto rows = std::count_if(first, game_.records_.end(),
                                    [](const LootRecord& record) { return record.history; });
    const auto messages = std::distance(first, game_.records_.end()) - rows;
    EXPECT_EQ(rows, StacksMoved()) << "one history row per stack taken";
    EXPECT_EQ(messages, StacksMoved()) << "one message per stack taken";
}

}  // namespace pilfern::test
