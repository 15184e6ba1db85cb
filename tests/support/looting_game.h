#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "frame/plugin.h"
#include "support/item_census.h"
#include "support/scenario_game.h"

namespace pilfern::test {

inline constexpr int kKeyV = 47;
inline constexpr int kMouseButtonRight = 525;

// One loot record as the plugin made it.
struct LootRecord {
    bool history = false;  // a history row, else a message
    std::string text;
    std::string source;
    int category = 0;
    friend bool operator==(const LootRecord&, const LootRecord&) = default;
};

// The records as the plugin tells its watcher of them.
inline LootRecord RecordOf(const MessageData& message) {
    return {false, std::string(message.text.Str()), "", message.category};
}
inline LootRecord RecordOf(const HistoryEntity& row) {
    return {true, std::string(row.text.Str()), std::string(row.source.Str()), row.category};
}

// How a failing test shows a record.
inline void PrintTo(const LootRecord& record, std::ostream* out) {
    *out << (record.history ? "history row \"" : "message \"") << record.text << "\" from \""
         << record.source << "\", category " << record.category;
}

// A game built from a scenario's JSON (its instances, world and game data) with the plugin
// loaded and initialised, the records it makes watched, and its items counted.
class LootingGame : private LootWatcher {
public:
    explicit LootingGame(const std::string& json, int engineVersion = 4);
    LootingGame(const LootingGame&) = delete;
    LootingGame& operator=(const LootingGame&) = delete;
    LootingGame(LootingGame&&) = delete;
    LootingGame& operator=(LootingGame&&) = delete;
    ~LootingGame() override;

    [[nodiscard]] sim::SimGame& Game() { return world_.Game(); }
    [[nodiscard]] sim::SimEngine& Engine() { return world_.Game().engine; }
    [[nodiscard]] Instance& Plugin() { return *plugin_->Find(engineVersion_); }
    [[nodiscard]] sim::SimNpc& Npc(std::string_view id) const { return world_.Npc(id); }
    [[nodiscard]] sim::SimItem& Item(std::string_view id) const { return world_.Item(id); }
    [[nodiscard]] sim::SimContainer& Container(std::string_view id) const {
        return world_.Container(id);
    }
    [[nodiscard]] sim::SimNpc& Hero() const { return *world_.Game().engine.Player(); }
    void Step(const std::string& worldStepJson) { world_.Step(worldStepJson); }

    // One frame with these keys down.
    void Frame(const std::set<int>& keys = {}, std::uint32_t ms = 16);
    // The loot key down for one frame, and up again.
    void PressLootKey();

    // The records made since the game started, in order.
    [[nodiscard]] const std::vector<LootRecord>& Records() const { return records_; }
    // The amount of an instance in a place ("inventory of hero", "ground", "chest c1").
    [[nodiscard]] int AmountIn(const std::string& place, const std::string& instance) const;

    // What a looting action must leave: every item in one place, the amount of each instance
    // kept (but for `extraCopies`, items the game made on purpose, by instance), and one
    // message and one history row for each stack that left the ground, a corpse or a chest.
    class Ledger {
    public:
        explicit Ledger(const LootingGame& game);
        void ExpectConserved(const std::map<std::string, int>& extraCopies = {}) const;
        [[nodiscard]] int StacksMoved() const;

    private:
        const LootingGame& game_;
        ItemCensus before_;
        std::size_t recordsBefore_;
    };
    [[nodiscard]] Ledger Open() const { return Ledger(*this); }

    // How often corpse auto-loot chose the corpse it had chosen last when nothing was taken
    // since: a corpse the looter refuses, blocking every corpse after it.
    [[nodiscard]] int CorpseStalls() const { return corpseStalls_; }

private:
    void OnLootMessage(const MessageData& message) override;
    void OnHistoryRow(const HistoryEntity& row) override;
    void OnCorpseJudged(const oCNpc& npc, CorpseVerdict verdict) override;

    ScenarioGame world_;
    int engineVersion_;
    std::optional<PluginLibrary> plugin_;
    std::vector<LootRecord> records_;
    const oCNpc* lastChosenCorpse_ = nullptr;
    std::size_t recordsAtLastChoice_ = 0;
    int corpseStalls_ = 0;
};

}  // namespace pilfern::test
