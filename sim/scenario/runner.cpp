#include "sim/scenario/runner.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "config/key_names.h"
#include "frame/plugin.h"
#include "host/engine_profile.h"
#include "host/ini_file.h"
#include "platform/platform.h"
#include "sim/game_installation.h"
#include "sim/plugin_module.h"
#include "sim/scenario/explain.h"
#include "sim/scenario/game_event_report.h"
#include "sim/scenario/state_dump.h"
#include "sim/scenario/world_builder.h"
#include "sim/settings_json.h"
#include "sim/sim_game.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kKeyEscape = 1;

std::string CategoryName(int category) {
    static const std::map<int, std::string> kNames{{1, "plain"},
                                                   {2, "rare"},
                                                   {3, "weapon"},
                                                   {4, "armour or jewellery"},
                                                   {5, "book, scroll or rune"}};
    const auto found = kNames.find(category);
    return found == kNames.end() ? "category " + std::to_string(category) : found->second;
}

std::string KeyLabel(int code) {
    const std::string_view name = KeyNameFromCode(code);
    return name.empty() ? "key " + std::to_string(code) : std::string(name);
}

// The slot the framework's record names instead of the one saved or loaded, in the step's
// line.
void AddRecordSlot(const std::optional<int>& recordSlot, Json& fields, std::string& words) {
    if (!recordSlot) {
        return;
    }
    fields["recordSlot"] = *recordSlot;
    words += *recordSlot == kSaveSlotNone
                 ? " (the framework's record names no slot)"
                 : " (the framework's record names slot " + std::to_string(*recordSlot) + ")";
}

std::string KeyList(const std::vector<int>& keys) {
    std::string text;
    for (const int key : keys) {
        text += (text.empty() ? "" : " + ") + KeyLabel(key);
    }
    return text;
}

// What the brief log tells: the story a player follows. Frames tell only when keys go down.
constexpr std::array kBriefEvents{
    "start",          "note",          "loot",    "messageExpired", "autoLoot",
    "historyOverlay", "notice",        "save",    "load",           "newGame",
    "changeLevel",    "historyLoaded", "options", "settings",       "screenshot",
};

bool InBriefLog(const std::string& kind, const Json& fields) {
    if (kind == "frames") {
        return !fields.at("hold").empty() || !fields.at("press").empty();
    }
    return std::find(kBriefEvents.begin(), kBriefEvents.end(), kind) != kBriefEvents.end();
}

// Writes events as plain lines or as JSON Lines; the brief plain form tells only the first
// line of the story's events.
class Report {
public:
    Report(std::ostream& out, bool json, bool brief) : out_(out), json_(json), brief_(brief) {}

    void Event(std::uint32_t time, const std::string& kind, Json fields, const std::string& words) {
        if (brief_ && !json_) {
            if (InBriefLog(kind, fields)) {
                out_ << Stamp(time) << "  " << words.substr(0, words.find('\n')) << '\n';
            }
            return;
        }
        if (json_) {
            Json line{{"t", time}, {"event", kind}};
            for (auto& [key, value] : fields.items()) {
                line[key] = std::move(value);
            }
            out_ << line.dump() << '\n';
        } else {
            out_ << Stamp(time) << "  " << words << '\n';
        }
    }

    void State(const Json& state) {
        if (json_) {
            out_ << state.dump() << '\n';
            return;
        }
        const Json& s = state.at("state");
        out_ << "\nAt the end:\n";
        out_ << "  auto-loot " << (s.at("autoLootActive").get<bool>() ? "on" : "off")
             << ", loot history " << (s.at("historyVisible").get<bool>() ? "shown" : "hidden")
             << '\n';
        if (brief_) {
            out_ << "  " << s.at("lootHistory").size() << " rows in the loot history, "
                 << s.at("lootMessages").size() << " messages on screen\n";
            return;
        }
        out_ << "  loot history, newest first (" << s.at("lootHistory").size() << " rows):\n";
        for (const Json& row : s.at("lootHistory")) {
            const std::string source = row.at("source").get<std::string>();
            out_ << "    " << row.at("text").get<std::string>()
                 << (source.empty() ? "" : "  from " + source) << "  ["
                 << CategoryName(row.at("category").get<int>()) << "]\n";
        }
        out_ << "  messages on screen: " << s.at("lootMessages").size() << '\n';
        for (const auto& [npc, items] : s.at("inventories").items()) {
            out_ << "  " << npc << " carries:";
            if (items.empty()) {
                out_ << " nothing";
            }
            for (const Json& item : items) {
                out_ << ' ' << item.at("amount").get<int>() << "x "
                     << item.at("instance").get<std::string>();
            }
            out_ << '\n';
        }
        out_ << "  items on the ground: " << s.at("worldItems").size() << '\n';
        for (const auto& [id, chest] : s.at("containers").items()) {
            out_ << "  chest " << id << " holds:";
            if (chest.at("items").empty()) {
                out_ << " nothing";
            }
            for (const Json& item : chest.at("items")) {
                out_ << ' ' << item.at("amount").get<int>() << "x "
                     << item.at("instance").get<std::string>();
            }
            out_ << "; " << (chest.at("locked").get<bool>() ? "locked" : "unlocked") << ", state "
                 << chest.at("state").get<int>() << '\n';
        }
    }

private:
    static std::string Stamp(std::uint32_t time) {
        std::ostringstream stamp;
        stamp << time / 1000 << '.' << std::to_string(1000 + time % 1000).substr(1) << " s";
        std::string text = stamp.str();
        return std::string(text.size() < 10 ? 10 - text.size() : 0, ' ') + text;
    }

    std::ostream& out_;
    bool json_;
    bool brief_;
};

// Draws the frame just played into the screenshot folder and tells where it went.
void TakeScreenshot(const SimGame& game, Report& report, const RunOptions& options,
                    const std::string& name) {
    const std::filesystem::path file = *options.shotsDir / (name + ".png");
    WriteScreenshot(game, options.shotSize, file);
    report.Event(game.clock, "screenshot", {{"name", name}, {"file", file.generic_string()}},
                 "screenshot " + name + ": " + file.generic_string());
}

// The screenshots taken every so many frames are named by the frame: frame-000120.
std::string FrameShotName(long long frame) {
    std::string number = std::to_string(frame);
    return "frame-" + std::string(number.size() < 6 ? 6 - number.size() : 0, '0') + number;
}

// A message as the runner keeps it: in UTF-8 and in the runner's own memory, so that watching
// the plugin takes nothing from the framework's heap.
struct SeenMessage {
    std::string text;
    int category = 0;
};

// What the runner watches between frames.
struct Observed {
    bool autoLootActive = false;
    bool historyVisible = false;
    std::vector<SeenMessage> messages;
    std::map<std::string, std::map<std::string, int>> inventories;  // NPC id -> instance -> amount
    std::map<std::string, std::map<std::string, int>> containers;  // chest id -> instance -> amount
    std::vector<std::string> worldItems;
    std::vector<std::string> timedTexts;
};

Observed Observe(const SimGame& game, const Instance* instance) {
    Observed seen;
    if (instance != nullptr) {
        seen.autoLootActive = instance->autoLootActive;
        seen.historyVisible = instance->historyVisible;
        for (const MessageData& message : instance->lootMessages) {
            seen.messages.push_back({Utf8(game, message.text.Str()), message.category});
        }
    }
    for (const auto& npc : game.engine.Npcs()) {
        auto& amounts = seen.inventories[npc->vob.id];
        for (const oCItem* held : npc->inventory.Held()) {
            if (const auto* item = dynamic_cast<const SimItem*>(held)) {
                amounts[item->vob.instanceName] += item->amount;
            }
        }
    }
    for (const oCItem* listed : game.engine.WorldItems().Objects()) {
        const auto* item = dynamic_cast<const SimItem*>(listed);
        if (item != nullptr && game.engine.OnGround(item)) {
            seen.worldItems.push_back(item->vob.id);
        }
    }
    for (const auto& chest : game.engine.Containers()) {
        auto& amounts = seen.containers[chest->vob.id];
        for (const oCItem* held : chest->items.Objects()) {
            if (const auto* item = dynamic_cast<const SimItem*>(held)) {
                amounts[item->vob.instanceName] += item->amount;
            }
        }
    }
    for (const auto& view : game.engine.Views()) {
        for (const ViewText& line : view->texts) {
            if (line.expiresAt) {
                seen.timedTexts.push_back(line.text);
            }
        }
    }
    return seen;
}

// The changes of the amount of each instance between two looks at one holder.
std::map<std::string, int> AmountChanges(const std::map<std::string, int>& before,
                                         const std::map<std::string, int>& now) {
    std::map<std::string, int> changes;
    for (const auto& [instance, amount] : now) {
        changes[instance] += amount;
    }
    for (const auto& [instance, amount] : before) {
        changes[instance] -= amount;
    }
    std::erase_if(changes, [](const auto& change) { return change.second == 0; });
    return changes;
}

// Plays the timeline and reports what happens. It watches the plugin's records as the plugin
// makes them, so that each is reported once, in its place among the game events.
class Player final : public LootWatcher {
public:
    Player(SimGame& game, const Instance* instance, Report& report, const RunOptions& options)
        : game_(game),
          instance_(instance),
          report_(report),
          options_(options),
          seen_(Observe(game, instance)),
          settings_(Settings()) {}

    // Reports the engine calls the plugin made in the game step just played (a frame, or the
    // event named by `step`) and what the framework's heap did, when asked to.
    void ReportCalls(const std::string& step) {
        if (!options_.calls && !options_.callLog) {
            return;
        }
        Json engine = Json::object();
        std::uint64_t total = 0;
        std::string counts;
        const auto& calls = game_.engine.StepCalls();
        for (std::size_t op = 0; op < calls.size(); ++op) {
            if (calls.at(op) != 0) {
                const std::string name(kEngineOperations.at(op));
                engine[name] = calls.at(op);
                total += calls.at(op);
                counts +=
                    (counts.empty() ? " (" : ", ") + name + " " + std::to_string(calls.at(op));
            }
        }
        const SimGame::StepHeap heap = game_.LastStepHeap();
        Json fields{{"step", step},
                    {"engineCalls", total},
                    {"engine", engine},
                    {"heap",
                     {{"allocations", heap.allocations},
                      {"releases", heap.releases},
                      {"bytesChange", heap.bytesChange},
                      {"bytesInUse", heap.bytesInUse}}}};
        std::string words = step + ": " + std::to_string(total) + " engine calls" +
                            (counts.empty() ? "" : counts + ")") +
                            "; framework heap: " + std::to_string(heap.allocations) +
                            " allocations, " + std::to_string(heap.releases) + " releases, " +
                            std::to_string(heap.bytesInUse) + " bytes in use (" +
                            (heap.bytesChange >= 0 ? "+" : "") + std::to_string(heap.bytesChange) +
                            ")";
        if (options_.callLog) {
            Json log = Json::array();
            for (const EngineCall& call : game_.engine.CallLog()) {
                const std::string text = Utf8(game_, CallText(call));
                log.push_back(text);
                words += "\n" + std::string(14, ' ') + text;
            }
            fields["log"] = log;
        }
        report_.Event(game_.clock, "calls", fields, words);
    }

    // Reports the plugin's settings that changed since the last look: options are read at init
    // and again when options are applied, never in a frame.
    void LookAtSettings() {
        Json now = Settings();
        Json changed = Json::object();
        std::string words;
        for (const auto& [field, value] : now.items()) {
            if (!settings_.contains(field) || settings_.at(field) != value) {
                changed[field] = value;
                words += (words.empty() ? "" : ", ") + field + " " + value.dump();
            }
        }
        if (!changed.empty()) {
            report_.Event(game_.clock, "settings", {{"changed", changed}},
                          "the plugin now uses " + words);
        }
        settings_ = std::move(now);
    }

    // Reports what changed since the last look.
    void Look() {
        Observed now = Observe(game_, instance_);
        const std::uint32_t t = game_.clock;
        if (now.autoLootActive != seen_.autoLootActive) {
            report_.Event(t, "autoLoot", {{"active", now.autoLootActive}},
                          std::string("auto-loot switched ") + (now.autoLootActive ? "on" : "off"));
        }
        if (now.historyVisible != seen_.historyVisible) {
            report_.Event(t, "historyOverlay", {{"visible", now.historyVisible}},
                          std::string("loot history ") + (now.historyVisible ? "shown" : "hidden"));
        }
        ReportExpiredMessages(now, t);
        ReportInventories(now, t);
        ReportContainers(now, t);
        for (const std::string& id : seen_.worldItems) {
            if (std::find(now.worldItems.begin(), now.worldItems.end(), id) ==
                now.worldItems.end()) {
                report_.Event(t, "itemGone", {{"id", id}},
                              "item " + id + " is no longer on the ground");
            }
        }
        for (const std::string& text : now.timedTexts) {
            if (std::find(seen_.timedTexts.begin(), seen_.timedTexts.end(), text) ==
                seen_.timedTexts.end()) {
                const std::string utf8 = Utf8(game_, text);
                report_.Event(t, "notice", {{"text", utf8}}, "on screen: \"" + utf8 + "\"");
            }
        }
        seen_ = std::move(now);
    }

    void Frames(const FramesStep& step) {
        std::set<int> held(step.hold.begin(), step.hold.end());
        for (int frame = 0; frame < step.frames; ++frame) {
            std::set<int> down = held;
            if (frame == 0) {
                down.insert(step.press.begin(), step.press.end());
            }
            game_.HoldKeys(down);
            const std::vector<int> unhandled = game_.Frame(static_cast<std::uint32_t>(step.ms));
            ReportGameEvents();
            if (std::find(unhandled.begin(), unhandled.end(), kKeyEscape) != unhandled.end()) {
                report_.Event(game_.clock, "gameKey", {{"key", "KEY_ESCAPE"}},
                              "ESC reaches the game (its menu opens)");
            }
            ReportCalls("frame");
            ReportAutoLootLeft();
            Look();
            ++framesPlayed_;
            if (options_.shotsDir && options_.shotEvery > 0 &&
                framesPlayed_ % options_.shotEvery == 0) {
                TakeScreenshot(game_, report_, options_, FrameShotName(framesPlayed_));
            }
            StopIfRequested();
        }
        game_.HoldKeys({});
    }

    // Reports the game events of the step just played and the plugin's records, in the order
    // they happened.
    void ReportGameEvents() {
        const std::vector<GameEvent> events = game_.engine.TakeGameEvents();
        auto record = records_.begin();
        for (std::size_t at = 0; at <= events.size(); ++at) {
            for (; record != records_.end() && record->atEvent <= at; ++record) {
                report_.Event(game_.clock, record->reported.kind, record->reported.fields,
                              record->reported.words);
            }
            if (at < events.size()) {
                ReportedEvent reported = ReportGameEvent(game_, events[at]);
                report_.Event(game_.clock, reported.kind, std::move(reported.fields),
                              reported.words);
            }
        }
        records_.clear();
    }

    void OnLootMessage(const MessageData& message) override {
        const std::string text = Utf8(game_, message.text.Str());
        addedMessages_.push_back({text, message.category});
        Keep("message", {{"text", text}, {"category", message.category}}, "message: " + text);
    }

    void OnGroundItemJudged(const oCItem& item, GroundVerdict verdict) override {
        if (options_.explain) {
            decisions_.push_back({&item, verdict, std::nullopt});
        }
    }

    void OnCorpseJudged(const oCNpc& npc, CorpseVerdict verdict) override {
        if (options_.explain) {
            decisions_.push_back({&npc, std::nullopt, verdict});
        }
    }

    // What the auto-loot step of the frame just played left, and why.
    void ReportAutoLootLeft() {
        if (instance_ != nullptr && !decisions_.empty()) {
            for (ReportedEvent& left : ExplainAutoLootStep(game_, *instance_, decisions_)) {
                report_.Event(game_.clock, left.kind, std::move(left.fields), left.words);
            }
        }
        decisions_.clear();
    }

    void OnHistoryRow(const HistoryEntity& row) override {
        const std::string text = Utf8(game_, row.text.Str());
        const std::string source = Utf8(game_, row.source.Str());
        Keep("loot", {{"text", text}, {"source", source}, {"category", row.category}},
             "loot: " + text + (source.empty() ? "" : " from " + source) + "  [" +
                 CategoryName(row.category) + "]");
    }

    // The history as a load left it: the rows the plugin read from the slot's file, or what
    // it kept when it could not tell the slot.
    // The loot history as a load left it; `when` ends the line's first words ("after loading").
    void ReportLoadedHistory(const std::string& when) {
        if (instance_ == nullptr) {
            return;
        }
        Json rows = Json::array();
        std::string words =
            "loot history " + when + ": " + std::to_string(instance_->lootHistory.size()) + " rows";
        for (const HistoryEntity& row : instance_->lootHistory) {
            const std::string text = Utf8(game_, row.text.Str());
            const std::string source = Utf8(game_, row.source.Str());
            rows.push_back({{"text", text}, {"source", source}, {"category", row.category}});
            words += "\n             " + text + (source.empty() ? "" : " from " + source) + "  [" +
                     CategoryName(row.category) + "]";
        }
        report_.Event(game_.clock, "historyLoaded", {{"rows", rows}}, words);
    }

private:
    // A record of the plugin, kept until the step's game events are reported: it goes after the
    // events that happened before it.
    struct KeptRecord {
        std::size_t atEvent = 0;
        ReportedEvent reported;
    };

    void Keep(std::string kind, Json fields, std::string words) {
        records_.push_back({game_.engine.GameEvents().size(),
                            {std::move(kind), std::move(fields), std::move(words)}});
    }

    // Messages leave the list at its front: the ones seen before, then the ones made since.
    void ReportExpiredMessages(const Observed& now, std::uint32_t t) {
        std::vector<SeenMessage> all = seen_.messages;
        all.insert(all.end(), addedMessages_.begin(), addedMessages_.end());
        addedMessages_.clear();
        const std::size_t removed = all.size() - std::min(all.size(), now.messages.size());
        for (std::size_t i = 0; i < removed; ++i) {
            report_.Event(t, "messageExpired", {{"text", all[i].text}},
                          "message gone: " + all[i].text);
        }
    }

    void ReportInventories(const Observed& now, std::uint32_t t) {
        for (const auto& [npc, amounts] : now.inventories) {
            const auto& before = seen_.inventories[npc];
            std::set<std::string> instances;
            for (const auto& [instance, amount] : amounts) {
                instances.insert(instance);
            }
            for (const auto& [instance, amount] : before) {
                instances.insert(instance);
            }
            for (const std::string& instance : instances) {
                const auto was = before.find(instance);
                const auto is = amounts.find(instance);
                const int change = (is == amounts.end() ? 0 : is->second) -
                                   (was == before.end() ? 0 : was->second);
                if (change != 0) {
                    report_.Event(t, "inventory",
                                  {{"npc", npc}, {"instance", instance}, {"change", change}},
                                  npc + (change > 0 ? " gets " : " loses ") +
                                      std::to_string(std::abs(change)) + "x " + instance);
                }
            }
        }
    }

    void ReportContainers(const Observed& now, std::uint32_t t) {
        for (const auto& [chest, amounts] : now.containers) {
            for (const auto& [instance, change] : AmountChanges(seen_.containers[chest], amounts)) {
                report_.Event(t, "container",
                              {{"container", chest}, {"instance", instance}, {"change", change}},
                              "chest " + chest + (change > 0 ? " gets " : " loses ") +
                                  std::to_string(std::abs(change)) + "x " + instance);
            }
        }
    }

    [[nodiscard]] Json Settings() const {
        return instance_ == nullptr ? Json::object()
                                    : SettingsToJson(instance_->settings, game_.framework.codePage);
    }

    SimGame& game_;
    const Instance* instance_;
    Report& report_;
    const RunOptions& options_;
    Observed seen_;
    std::vector<KeptRecord> records_;
    std::vector<AutoLootDecision> decisions_;
    std::vector<SeenMessage> addedMessages_;
    Json settings_;
    long long framesPlayed_ = 0;
};

// An item given, taken or dropped by a world step.
void ReportInventoryStep(Report& report, std::uint32_t time, const InventoryChange& change) {
    using Words = std::string (*)(const std::string& npc, const std::string& item);
    struct StepReport {
        InventoryChange::Kind kind;
        std::string_view event;
        Words words;
    };
    static constexpr std::array<StepReport, 3> kSteps{{
        {InventoryChange::Kind::Give, "give",
         [](const std::string& npc, const std::string& item) { return npc + " is given " + item; }},
        {InventoryChange::Kind::Take, "take",
         [](const std::string& npc, const std::string& item) {
             return item + " is taken from " + npc + " and leaves the game";
         }},
        {InventoryChange::Kind::Drop, "drop",
         [](const std::string& npc, const std::string& item) { return npc + " drops " + item; }},
    }};
    const auto* step = std::find_if(kSteps.begin(), kSteps.end(), [&change](const StepReport& s) {
        return s.kind == change.kind;
    });
    Json fields{{"npc", change.npc},
                {"id", change.item},
                {"instance", change.instance},
                {"amount", change.amount}};
    std::string item =
        change.item + " (" + std::to_string(change.amount) + "x " + change.instance + ")";
    if (change.kind == InventoryChange::Kind::Drop) {
        fields["position"] = {change.at.x, change.at.y, change.at.z};
        item += " at (" + SimEngine::DescribeNumber(change.at.x, false) + ", " +
                SimEngine::DescribeNumber(change.at.y, false) + ", " +
                SimEngine::DescribeNumber(change.at.z, false) + ")";
    }
    report.Event(time, std::string(step->event), fields, step->words(change.npc, item));
}

std::string EngineName(int version) {
    const EngineProfile* profile = FindEngineProfile(version);
    return profile == nullptr ? "engine version " + std::to_string(version)
                              : std::string(profile->engineNamespace) + " (engine " +
                                    std::to_string(version) + ")";
}

// A new, empty folder of `root`. A folder that is already there belongs to someone else and
// is never touched.
std::filesystem::path FreshTemporaryFolder(const std::filesystem::path& root) {
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0;; ++attempt) {
        const std::filesystem::path folder =
            root / ("pilfern-sim-" + std::to_string(stamp) + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
        if (attempt == 100) {
            throw std::runtime_error("no fresh folder could be made in " + root.string());
        }
    }
}

bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto relative = path.lexically_relative(folder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

// Refuses a --game-dir the run must not write into, before anything is written: the
// scenario's own game folder, and any game installation, which a player's game is. Without
// one, the run's fresh working folder lies in the temporary folder, and a scenario's game
// folder that holds that (a game folder "/") would take the game's writes as writes into
// itself, which are never made: refused too, before anything is played.
void RefuseForeignGameDir(const Scenario& scenario, const RunOptions& options) {
    if (!options.gameDir) {
        const std::filesystem::path temporary =
            std::filesystem::absolute(
                options.temporaryRoot.value_or(std::filesystem::temp_directory_path()))
                .lexically_normal();
        if (scenario.gameFolder &&
            IsWithin(temporary, std::filesystem::absolute(*scenario.gameFolder))) {
            throw ScenarioError(scenario.file.generic_string(), "gameFolder",
                                "the game folder holds the temporary folder " +
                                    temporary.generic_string() +
                                    ", where the run would write; name a game folder that does "
                                    "not hold it, or give --game-dir a folder outside it");
        }
        return;
    }
    const std::filesystem::path dir =
        std::filesystem::absolute(*options.gameDir).lexically_normal();
    if (scenario.gameFolder && IsWithin(dir, std::filesystem::absolute(*scenario.gameFolder))) {
        throw ScenarioError(
            scenario.file.generic_string(), "gameFolder",
            "--game-dir lies in the scenario's own game folder, which is never written");
    }
    if (const auto installation = EnclosingGameInstallation(dir)) {
        throw GameDirError("--game-dir " + options.gameDir->string() +
                           " is in the game installation " + installation->string() +
                           ", which is never written; give a folder of its own");
    }
}

// The working game folder, laid over the scenario's game folder: what the game writes lands
// here. A fresh temporary folder is removed with this object, also when a run is cut short.
class WorkingFolder {
public:
    explicit WorkingFolder(const RunOptions& options) : keep_(options.gameDir.has_value()) {
        if (options.gameDir) {
            path_ = std::filesystem::absolute(*options.gameDir).lexically_normal();
            std::filesystem::create_directories(path_);
        } else {
            path_ = FreshTemporaryFolder(
                options.temporaryRoot.value_or(std::filesystem::temp_directory_path()));
        }
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    WorkingFolder(WorkingFolder&&) = delete;
    WorkingFolder& operator=(WorkingFolder&&) = delete;
    ~WorkingFolder() {
        if (!keep_) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    bool keep_;
};

// The player's own files, placed over the installation before the game starts or while it
// runs; the game did not write them.
void PlacePlayerFiles(const std::map<std::string, PlayerFile>& files, int codePage,
                      const std::filesystem::path& folder) {
    for (const auto& [relative, file] : files) {
        const std::filesystem::path target = folder / std::filesystem::path(relative);
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary)
            << (file.utf8 ? file.text : platform::Utf8ToCodePage(file.text, codePage));
    }
}

}  // namespace

void RunScenario(const Scenario& scenario, const RunOptions& options, std::ostream& out) {
    RefuseForeignGameDir(scenario, options);
    if (options.shotsDir) {
        if (!ScreenshotsAvailable()) {
            throw ScreenshotError("screenshots are not available in this build");
        }
        std::error_code error;
        std::filesystem::create_directories(*options.shotsDir, error);
        if (error) {
            throw ScreenshotError("cannot make the folder " + options.shotsDir->generic_string() +
                                  " for screenshots");
        }
    }
    const WorkingFolder folder(options);
    PlacePlayerFiles(scenario.files, scenario.codePage, folder.Path());
    SimGame game(folder.Path(), scenario.engineVersion, scenario.gameFolder);
    game.engine.LogCalls(options.callLog);
    SetUpGame(game, scenario);

    Report report(out, options.json, options.brief);
    // The plugin module as the framework loads it: its own copy of the plugin, its memory in
    // the framework's heap.
    LoadedPluginModule plugin(game);
    const Instance* instance = plugin.Running();
    const bool registered = game.framework.Registered();
    report.Event(game.clock, "start",
                 {{"scenario", scenario.name},
                  {"engine", scenario.engineVersion},
                  {"registered", registered}},
                 "Pilfern loaded into " + EngineName(scenario.engineVersion) + ": " +
                     (registered ? "its handlers are registered"
                                 : "no handlers registered, the plugin stays inactive"));
    game.Init();
    Player player(game, instance, report, options);
    const LoadedPluginModule::Watching watching(plugin, player);
    report.Event(game.clock, "init", Json::object(), "game initialised, options read");
    player.ReportGameEvents();
    player.ReportCalls("init");
    player.Look();

    for (std::size_t index = 0; index < scenario.timeline.size(); ++index) {
        const Step& step = scenario.timeline[index];
        if (const auto* frames = std::get_if<FramesStep>(&step)) {
            std::string words = std::to_string(frames->frames) + " frame" +
                                (frames->frames == 1 ? "" : "s") + " of " +
                                std::to_string(frames->ms) + " ms";
            if (!frames->hold.empty()) {
                words += ", holding " + KeyList(frames->hold);
            }
            if (!frames->press.empty()) {
                words += ", pressing " + KeyList(frames->press);
            }
            Json keys{{"frames", frames->frames}, {"ms", frames->ms}};
            Json hold = Json::array();
            Json press = Json::array();
            for (const int key : frames->hold) {
                hold.push_back(KeyLabel(key));
            }
            for (const int key : frames->press) {
                press.push_back(KeyLabel(key));
            }
            keys["hold"] = hold;
            keys["press"] = press;
            report.Event(game.clock, "frames", keys, words);
            player.Frames(*frames);
        } else if (const auto* save = std::get_if<SaveStep>(&step)) {
            Json fields{{"slot", save->slot}};
            std::string words = "saving slot " + std::to_string(save->slot);
            AddRecordSlot(save->recordSlot, fields, words);
            if (save->diskSpace) {
                fields["diskSpace"] = *save->diskSpace;
                words += " (the disk takes " + std::to_string(*save->diskSpace) + " bytes)";
            }
            report.Event(game.clock, "save", fields, words);
            game.Save(save->slot, {save->recordSlot, save->diskSpace});
            player.ReportGameEvents();
            player.ReportCalls("save");
            player.Look();
        } else if (const auto* load = std::get_if<LoadStep>(&step)) {
            Json fields{{"slot", load->slot}};
            std::string words = "loading slot " + std::to_string(load->slot);
            AddRecordSlot(load->recordSlot, fields, words);
            report.Event(game.clock, "load", fields, words);
            game.Load(load->slot, {load->recordSlot, std::nullopt});
            player.ReportGameEvents();
            player.ReportLoadedHistory("after loading");
            player.ReportCalls("load");
            player.Look();
        } else if (std::holds_alternative<NewGameStep>(step)) {
            report.Event(game.clock, "newGame", Json::object(), "starting a new game");
            game.NewGame();
            player.ReportGameEvents();
            player.ReportLoadedHistory("of the new game");
            player.ReportCalls("newGame");
            player.Look();
        } else if (const auto* level = std::get_if<ChangeLevelStep>(&step)) {
            std::string words = "changing level to " + level->world;
            if (!level->wayPoint.empty()) {
                words += " at " + level->wayPoint;
            }
            report.Event(game.clock, "changeLevel",
                         {{"world", level->world}, {"wayPoint", level->wayPoint}}, words);
            game.ChangeLevel(level->world, level->wayPoint);
            player.ReportGameEvents();
            player.ReportLoadedHistory("after the level change");
            player.ReportCalls("changeLevel");
            player.Look();
        } else if (const auto* optionsStep = std::get_if<OptionsStep>(&step)) {
            Json values = Json::object();
            std::string words = "options applied:";
            for (const auto& [section, keys] : optionsStep->values) {
                for (const auto& [key, value] : keys) {
                    values[section][key] = value;
                    words += " " + key + "=" + value;
                }
            }
            report.Event(game.clock, "options", {{"values", values}}, words);
            SimGame::OptionValues inGameCodePage;
            for (const auto& [section, keys] : optionsStep->values) {
                for (const auto& [key, value] : keys) {
                    inGameCodePage[section][key] =
                        platform::Utf8ToCodePage(value, scenario.codePage);
                }
            }
            game.ApplyOptions(inGameCodePage);
            player.ReportGameEvents();
            player.ReportCalls("options");
            player.LookAtSettings();
            player.Look();
        } else if (const auto* files = std::get_if<FilesStep>(&step)) {
            Json paths = Json::array();
            std::string words = "the player writes";
            for (const auto& [path, content] : files->files) {
                paths.push_back(path);
                words += " " + path;
            }
            report.Event(game.clock, "files", {{"paths", paths}}, words + " while the game runs");
            PlacePlayerFiles(files->files, scenario.codePage, folder.Path());
        } else if (const auto* world = std::get_if<WorldStep>(&step)) {
            report.Event(game.clock, "world", Json::object(), "the world changes");
            for (const InventoryChange& change : ApplyWorldStep(game, *world)) {
                ReportInventoryStep(report, game.clock, change);
            }
            player.Look();
        } else if (const auto* shot = std::get_if<ScreenshotStep>(&step)) {
            if (options.shotsDir) {
                TakeScreenshot(game, report, options, shot->name);
            }
        } else if (const auto* note = std::get_if<NoteStep>(&step)) {
            report.Event(game.clock, "note", {{"text", note->text}}, "-- " + note->text);
        }
        // A step's lines reach a file or a pipe when the step ends, not when a buffer fills.
        out.flush();
        StopIfRequested();
    }
    if (!game.Exit()) {
        throw std::runtime_error(
            "the working folder cannot take the Gothic.ini the game writes at exit");
    }
    report.State(DumpState(game, instance, options.calls || options.callLog));
}

}  // namespace pilfern::sim
