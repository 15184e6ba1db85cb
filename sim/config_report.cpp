#include "sim/config_report.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "config/key_names.h"
#include "config/option_catalogue.h"
#include "config/option_conversions.h"
#include "frame/plugin.h"
#include "host/ini_file.h"
#include "platform/platform.h"
#include "sim/sim_framework.h"
#include "sim/sim_game.h"
#include "sim/stop_request.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// The NewBalance modification's scripts define this symbol with this value.
constexpr std::string_view kNewBalanceSymbol = "RX_UpdateVersionValue";
constexpr int kNewBalanceValue = 45379177;
// The options are the same under every engine; the report plays a Gothic II Addon game.
constexpr int kReportEngine = 4;
constexpr int kRussian = 1;
constexpr std::size_t kKeyColumn = 34;
constexpr std::size_t kFoundColumn = 22;

std::string ReadFile(const std::filesystem::path& path) {
    std::error_code error;
    std::ifstream file(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, error) || !file) {
        throw ConfigReportError(path.string() + ": cannot be read");
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// A game folder of its own for the report, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("pilfern-config-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_ / "System");
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ScratchFolder(ScratchFolder&&) = delete;
    ScratchFolder& operator=(ScratchFolder&&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    void Write(std::string_view name, const std::string& content) const {
        std::ofstream(path_ / "System" / std::string(name), std::ios::binary) << content;
    }

private:
    std::filesystem::path path_;
};

// The player's game as far as options go: their files, the plugin loaded and initialised.
class ReportGame {
public:
    ReportGame(const ConfigReportRequest& request, const std::string& gothicIni,
               const std::optional<std::string>& systemPack)
        : playerIni_(IniFile::Parse(gothicIni)) {
        folder_.Write("Gothic.ini", gothicIni);
        if (systemPack) {
            folder_.Write("SystemPack.ini", *systemPack);
        }
        game_ = std::make_unique<SimGame>(folder_.Path(), kReportEngine);
        game_->framework.systemLanguage = request.language;
        game_->framework.codePage = CodePageOfLanguage(request.language);
        if (request.newBalance) {
            game_->engine.SetSymbol(kNewBalanceSymbol, kNewBalanceValue);
        }
        plugin_ = std::make_unique<PluginLibrary>(game_->framework, game_->engine);
        OnLibraryAttach(game_->framework, 1);
        game_->Init();
    }

    [[nodiscard]] SimGame& Game() { return *game_; }
    [[nodiscard]] const Instance& Plugin() const { return *plugin_->Find(kReportEngine); }
    // The player's Gothic.ini as given. The game's options object has more keys by the time
    // the report is made: the game adds each key it misses with its default.
    [[nodiscard]] const IniFile& PlayerIni() const { return playerIni_; }

private:
    IniFile playerIni_;
    ScratchFolder folder_;
    std::unique_ptr<SimGame> game_;
    std::unique_ptr<PluginLibrary> plugin_;
};

// ---- Telling what became of one option ----

// One line of the report: what the plugin uses, and a sentence why when it is not what the
// player may have meant.
struct Outcome {
    std::string uses;
    std::string why;
};

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string Joined(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) {
        text += (text.empty() ? "" : "; ") + note;
    }
    return text;
}

std::string KeyLabel(int code) {
    if (code == 0) {
        return "0, no key";
    }
    const std::string_view name = KeyNameFromCode(code);
    return std::to_string(code) + (name.empty() ? "" : " (" + std::string(name) + ")");
}

std::string JsonText(const Json& value) {
    if (value.is_number_float()) {
        return FloatText(static_cast<float>(value.get<double>()));
    }
    return value.dump();
}

bool Differs(std::string_view a, std::string_view b) {
    return !CStringA(a).CompareI(CStringA(b));
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The edit distance of two key names, ignoring letter case.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class OptionTeller {
public:
    OptionTeller(ReportGame& game, const ConfigReportRequest& request,
                 std::optional<IniFile> systemPack)
        : game_(game),
          request_(request),
          systemPack_(std::move(systemPack)),
          codePage_(CodePageOfLanguage(request.language)),
          settings_(SettingsToJson(game.Plugin().settings, codePage_)) {}

    [[nodiscard]] const Json& Settings() const { return settings_; }

    // The text found for an option, as the reader the plugin uses finds it.
    [[nodiscard]] std::optional<std::string> Found(const OptionEntry& entry) const {
        if (entry.source == OptionSource::SystemPack) {
            return systemPack_ ? systemPack_->Find(kSystemPackSection, entry.key) : std::nullopt;
        }
        return game_.PlayerIni().Find(kOptionSection, entry.key);
    }

    [[nodiscard]] Outcome Tell(const OptionEntry& entry) const {
        const std::optional<std::string> found = Found(entry);
        if (!ReadInThisGame(entry)) {
            return {
                std::string("not read: NewBalance mode is ") + (request_.newBalance ? "on" : "off"),
                ""};
        }
        switch (entry.kind) {
        case OptionKind::Int:
            return TellInt(entry, found);
        case OptionKind::Bool:
            return TellBool(entry, found);
        case OptionKind::Text:
            return {Quoted(settings_.at(entry.field).get<std::string>()),
                    !found && request_.language == kRussian ? "the Russian default" : ""};
        case OptionKind::NameList:
            return TellNames(entry, found);
        case OptionKind::Key:
            return TellKey(entry, found);
        case OptionKind::Colour:
            return TellColour(entry, found);
        case OptionKind::Position:
            return TellPosition(entry, found);
        case OptionKind::Index:
            return TellIndex(entry, found);
        }
        return {};
    }

private:
    [[nodiscard]] bool ReadInThisGame(const OptionEntry& entry) const {
        return entry.mode == OptionMode::Always ||
               (entry.mode == OptionMode::NewBalance) == request_.newBalance;
    }

    [[nodiscard]] std::string TextOf(const OptionEntry& entry,
                                     const std::optional<std::string>& found) const {
        return found ? *found : std::string(DefaultTextFor(entry, request_.language));
    }

    // What the engine's readers answer the plugin for this option.
    [[nodiscard]] int EngineInt(const OptionEntry& entry) const {
        SimEngine& engine = game_.Game().engine;
        return engine.eng_options_read_int(&engine.options, zSTRING(kOptionSection),
                                           zSTRING(entry.key), entry.defaultNumber);
    }
    [[nodiscard]] bool EngineBool(const OptionEntry& entry) const {
        SimEngine& engine = game_.Game().engine;
        return engine.eng_options_read_bool(&engine.options, zSTRING(kOptionSection),
                                            zSTRING(entry.key), entry.defaultNumber != 0);
    }

    [[nodiscard]] Outcome TellInt(const OptionEntry& entry,
                                  const std::optional<std::string>& found) const {
        const int read = EngineInt(entry);
        std::string why;
        if (found && !CStringA(*found).IsNumber()) {
            why = found->empty() ? "an empty value reads as 0"
                                 : Quoted(*found) + " is no whole number: the game reads " +
                                       std::to_string(read);
        }
        if (entry.field.empty()) {
            return {std::to_string(read) + ", read but not used by the plugin", why};
        }
        if (&entry == &Option("quickLootNumberRecordsCustom")) {
            const int rows = settings_.at("messageRowCount").get<int>();
            return {read == kMessageRowsFromIndex
                        ? "-1: the row count comes from quickLootNumberRecordsIdx"
                        : std::to_string(rows) + " message rows",
                    why};
        }
        return {JsonText(settings_.at(entry.field)), why};
    }

    [[nodiscard]] Outcome TellBool(const OptionEntry& entry,
                                   const std::optional<std::string>& found) const {
        std::string why;
        if (found) {
            const CStringA text(*found);
            if (!text.IsNumber() && !text.CompareI(CStringA("true")) &&
                !text.CompareI(CStringA("false"))) {
                why = Quoted(*found) + " is neither true, false nor a number: false";
            }
        }
        if (entry.field.empty()) {
            return {std::string(EngineBool(entry) ? "true" : "false") +
                        ", read but not used by the plugin",
                    why};
        }
        return {JsonText(settings_.at(entry.field)), why};
    }

    [[nodiscard]] Outcome TellNames(const OptionEntry& entry,
                                    const std::optional<std::string>& found) const {
        const std::size_t count = settings_.at(entry.field).size();
        std::string why;
        if (found && count == 1 && found->find_first_of(",;") != std::string::npos) {
            why = "names are separated by |, so this is one name";
        }
        return {std::to_string(count) + (count == 1 ? " name" : " names"), why};
    }

    [[nodiscard]] Outcome TellKey(const OptionEntry& entry,
                                  const std::optional<std::string>& found) const {
        const int code = settings_.at(entry.field).get<int>();
        const CStringA text(TextOf(entry, found));
        std::string why;
        if (code == 0) {
            const std::string shown = text.IsEmpty() ? "an empty text" : std::string(text.Str());
            why = text.IsNumber() ? "the number 0 means no key" : shown + " is no key name: no key";
            if (entry.key.find("Base") != std::string_view::npos) {
                why += ", so the second key of the pair works alone";
            }
        } else if (KeyNameFromCode(code).empty()) {
            why = "no key name has the code " + std::to_string(code) +
                  "; the game may not know such a key";
        }
        return {KeyLabel(code), why};
    }

    // Notes on a comma list of numbers: missing parts and parts that are no numbers.
    static std::vector<std::string> PartNotes(const CStringA& text, std::size_t wanted,
                                              std::string_view names) {
        std::vector<std::string> notes;
        const std::vector<CStringA> pieces = text.Split(CStringA(","));
        if (pieces.size() < wanted) {
            notes.push_back("only " + std::to_string(pieces.size()) + " of the " +
                            std::to_string(wanted) + " parts " + std::string(names) +
                            ": the missing ones read as 0");
        }
        for (std::size_t i = 0; i < wanted && i < pieces.size(); ++i) {
            if (!pieces[i].IsNumber()) {
                notes.push_back(Quoted(pieces[i].Str()) + " is no number: reads as " +
                                std::to_string(pieces[i].ToInt32(10)));
            }
        }
        return notes;
    }

    [[nodiscard]] Outcome TellColour(const OptionEntry& entry,
                                     const std::optional<std::string>& found) const {
        const CStringA text(TextOf(entry, found));
        std::vector<std::string> notes = PartNotes(text, 3, "red,green,blue");
        for (const int part : NumberParts(text, 3)) {
            if (part < 0 || part > 255) {
                notes.push_back(std::to_string(part) +
                                " keeps its low 8 bits: " + std::to_string(part & 0xFF));
            }
        }
        const Json& color = settings_.at(entry.field);
        return {JsonText(color[0]) + "," + JsonText(color[1]) + "," + JsonText(color[2]),
                Joined(notes)};
    }

    [[nodiscard]] Outcome TellPosition(const OptionEntry& entry,
                                       const std::optional<std::string>& found) const {
        const zCView* icon = game_.Plugin().statics.lootIconView;
        const std::string uses = icon == nullptr ? "no icon view"
                                                 : std::to_string(icon->x) + "," +
                                                       std::to_string(icon->y) + " (icon view)";
        return {uses, Joined(PartNotes(CStringA(TextOf(entry, found)), 2, "x,y"))};
    }

    [[nodiscard]] Outcome TellIndex(const OptionEntry& entry,
                                    const std::optional<std::string>& found) const {
        const int index = EngineInt(entry);
        const bool rowCount = &entry == &Option("quickLootNumberRecordsIdx");
        const Json& value = settings_.at(rowCount ? "messageRowCount" : entry.field);
        const std::string unit = rowCount                                   ? " message rows"
                                 : &entry == &Option("maxDistanceAutoLoot") ? " world units"
                                                                            : "";
        Outcome outcome{JsonText(value) + unit + " (index " + std::to_string(index) + ")", ""};
        const int custom = settings_.at("quickLootNumberRecordsCustom").get<int>();
        if (rowCount && custom != kMessageRowsFromIndex) {
            outcome.uses = JsonText(value) + unit;
            outcome.why = "not used: quickLootNumberRecordsCustom " + std::to_string(custom) +
                          " sets the row count";
        } else if (!IndexSelectsRow(index, entry.indexRows)) {
            outcome.why = "index " + std::to_string(index) + " is outside 0.." +
                          std::to_string(entry.indexRows - 1) + ": falls back to " +
                          JsonText(value);
        } else if (!found && entry.reloadDefault) {
            // ReloadOptions passes another default, but the game added the key with this one
            // when it started, so applying options finds it there.
            outcome.why = "missing: the game adds it with " + std::to_string(entry.defaultNumber) +
                          " when it starts, so applying options keeps " + JsonText(value);
        }
        return outcome;
    }

    ReportGame& game_;
    const ConfigReportRequest& request_;
    std::optional<IniFile> systemPack_;
    int codePage_;
    Json settings_;
};

std::string Padded(std::string text, std::size_t width) {
    text += text.size() < width ? std::string(width - text.size(), ' ') : std::string(" ");
    return text;
}

void WriteText(const ConfigReportRequest& request, ReportGame& game, const OptionTeller& teller,
               std::ostream& out) {
    const IniFile& ini = game.PlayerIni();
    const std::vector<std::string> keys = ini.Keys(kOptionSection);
    out << "Pilfern options of " << request.gothicIni.string() << ", section [" << kOptionSection
        << "]\n";
    if (keys.empty()) {
        out << "The file has no key in this section: every option takes its default.\n";
    }
    out << "NewBalance mode " << (request.newBalance ? "on" : "off") << ", system language "
        << request.language << ", texts in code page " << CodePageOfLanguage(request.language)
        << ".\n"
        << "A missing key takes its default.\n\n";
    out << "  " << Padded("key", kKeyColumn) << Padded("found", kFoundColumn) << "plugin uses\n";
    for (const OptionEntry& entry : kOptionCatalogue) {
        const std::optional<std::string> found = teller.Found(entry);
        const Outcome outcome = teller.Tell(entry);
        std::string label(entry.key);
        if (entry.source == OptionSource::SystemPack) {
            label += " (SystemPack.ini)";
        }
        std::string foundText = "missing";
        if (found) {
            foundText =
                Quoted(platform::CodePageToUtf8(*found, CodePageOfLanguage(request.language)));
        } else if (entry.source == OptionSource::SystemPack && !request.systemPack) {
            foundText = "no file given";
        }
        out << "  " << Padded(label, kKeyColumn) << Padded(foundText, kFoundColumn) << "-> "
            << outcome.uses << '\n';
        if (!outcome.why.empty()) {
            out << "      " << outcome.why << ".\n";
        }
    }
    std::vector<std::string> unknown;
    for (const std::string& key : keys) {
        StopIfRequested();
        const bool known = std::any_of(
            kOptionCatalogue.begin(), kOptionCatalogue.end(), [&key](const OptionEntry& entry) {
                return entry.source == OptionSource::GameIni && !Differs(entry.key, key);
            });
        if (!known) {
            unknown.push_back(key);
        }
    }
    if (!unknown.empty()) {
        out << "\nKeys of the section the plugin never reads:\n";
    }
    for (const std::string& key : unknown) {
        StopIfRequested();
        const auto nearest =
            std::min_element(kOptionCatalogue.begin(), kOptionCatalogue.end(),
                             [&key](const OptionEntry& a, const OptionEntry& b) {
                                 return Distance(key, a.key) < Distance(key, b.key);
                             });
        out << "  " << key;
        constexpr std::size_t kTypoDistance = 3;
        if (Distance(key, nearest->key) <= kTypoDistance) {
            out << "  (did you mean " << nearest->key << "?)";
        }
        out << '\n';
    }
}

}  // namespace

void WriteConfigReport(const ConfigReportRequest& request, std::ostream& out) {
    const std::string gothicIni = ReadFile(request.gothicIni);
    std::optional<std::string> systemPack;
    if (request.systemPack) {
        systemPack = ReadFile(*request.systemPack);
    }
    // A large file takes a while to read and to check: a stop asked for meanwhile ends the
    // report before it prints, and its scratch folder goes with the unwinding.
    StopIfRequested();
    ReportGame game(request, gothicIni, systemPack);
    StopIfRequested();
    const OptionTeller teller(
        game, request, systemPack ? std::optional(IniFile::Parse(*systemPack)) : std::nullopt);
    if (request.json) {
        out << teller.Settings().dump(2) << '\n';
        return;
    }
    WriteText(request, game, teller, out);
}

}  // namespace pilfern::sim
