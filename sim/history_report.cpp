#include "sim/history_report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/platform.h"
#include "sim/code_page_case.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// The overlay's colour classes, in the words a player knows them by.
struct CategoryName {
    std::int32_t category;
    std::string_view name;
};

constexpr std::array kCategoryNames{
    CategoryName{1, "ordinary"},
    CategoryName{2, "rare/quest"},
    CategoryName{3, "weapon"},
    CategoryName{4, "armour/rings/amulets"},
    CategoryName{5, "books/scrolls/runes"},
};
constexpr std::size_t kCategoryColumn = 20;

// What a row without source came from, in the totals for a player.
constexpr std::string_view kGroundLabel = "(ground)";
constexpr std::string_view kCsvHeader = "slot,index,text,source,category";

std::string CategoryWord(std::int32_t category) {
    const auto* const found = std::ranges::find(kCategoryNames, category, &CategoryName::category);
    return found != kCategoryNames.end() ? std::string(found->name)
                                         : "category " + std::to_string(category);
}

// The row as the overlay lists it: the text, and the source in brackets when there is one.
std::string LineText(const HistoryFileRow& row) {
    return row.source.empty() ? row.text : row.text + " (" + row.source + ")";
}

struct Totals {
    std::map<std::int32_t, std::size_t> categories;            // by category number
    std::vector<std::pair<std::string, std::size_t>> sources;  // most rows first
};

// One file and the rows of it the report shows.
struct SlotReport {
    SlotHistory history;
    std::vector<HistoryFileRow> rows;
    Totals totals;
};

Totals TotalsOf(const std::vector<HistoryFileRow>& rows) {
    Totals totals;
    std::map<std::string, std::size_t> sources;
    for (const HistoryFileRow& row : rows) {
        ++totals.categories[row.category];
        ++sources[row.source];
    }
    totals.sources.assign(sources.begin(), sources.end());
    std::ranges::stable_sort(totals.sources,
                             [](const auto& a, const auto& b) { return a.second > b.second; });
    return totals;
}

// Which rows a search keeps: it looks in the game's own text, where letter case is the code
// page's.
class RowFilter {
public:
    explicit RowFilter(const HistoryReportRequest& request)
        : codePage_(request.codePage), fold_(CaseFoldOf(request.codePage)) {
        if (request.grep) {
            word_ = platform::Utf8ToCodePage(*request.grep, codePage_);
            // A character the game cannot print is in no line the overlay shows.
            shownAsGiven_ = platform::CodePageToUtf8(*word_, codePage_) == *request.grep;
        }
    }

    [[nodiscard]] bool Keeps(const HistoryFileRow& row) const {
        if (!word_) {
            return true;
        }
        return shownAsGiven_ &&
               ContainsFolded(platform::Utf8ToCodePage(LineText(row), codePage_), *word_, fold_);
    }

private:
    int codePage_;
    CaseFold fold_;
    std::optional<std::string> word_;  // in the code page
    bool shownAsGiven_ = true;
};

std::vector<SlotReport> Collect(const HistoryReportRequest& request) {
    std::vector<SlotReport> slots;
    for (const std::filesystem::path& file : FindHistoryFiles(request.path)) {
        slots.push_back(SlotReport{ReadHistoryFile(file, request.codePage), {}, {}});
    }
    const RowFilter filter(request);
    for (SlotReport& slot : slots) {
        std::ranges::copy_if(slot.history.rows, std::back_inserter(slot.rows),
                             [&filter](const HistoryFileRow& row) { return filter.Keeps(row); });
        slot.totals = TotalsOf(slot.rows);
    }
    return slots;
}

// ---- For the player ----

std::string SourceLabel(const std::string& source) {
    return source.empty() ? std::string(kGroundLabel) : source;
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string RowCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " row" : " rows");
}

std::string Heading(const SlotReport& slot, const std::optional<std::string>& grep) {
    const std::size_t all = slot.history.rows.size();
    std::string heading = slot.history.slot + " (" + PathText(slot.history.file) + "): ";
    if (all == 0) {
        return heading + "empty history";
    }
    if (!grep) {
        return heading + RowCount(all);
    }
    const std::string pattern = "\"" + ValidUtf8(*grep) + "\"";
    if (slot.rows.empty()) {
        return heading + "none of " + RowCount(all) + " matches " + pattern;
    }
    return heading + std::to_string(slot.rows.size()) + " of " + RowCount(all) +
           (slot.rows.size() == 1 ? " matches " : " match ") + pattern;
}

void WriteTotals(const Totals& totals, std::ostream& out) {
    std::string categories;
    for (const auto& [category, count] : totals.categories) {
        categories +=
            (categories.empty() ? "" : ", ") + std::to_string(count) + " " + CategoryWord(category);
    }
    std::string sources;
    for (const auto& [source, count] : totals.sources) {
        sources +=
            (sources.empty() ? "" : ", ") + std::to_string(count) + " " + SourceLabel(source);
    }
    out << "  by category: " << categories << '\n' << "  by source: " << sources << '\n';
}

void WriteText(const std::vector<SlotReport>& slots, const HistoryReportRequest& request,
               std::ostream& out) {
    bool first = true;
    for (const SlotReport& slot : slots) {
        out << (first ? "" : "\n") << Heading(slot, request.grep) << '\n';
        first = false;
        const std::size_t indexWidth = std::to_string(slot.history.rows.size()).size();
        for (const HistoryFileRow& row : slot.rows) {
            out << "  " << std::string(indexWidth - std::to_string(row.index).size(), ' ')
                << row.index << "  " << Padded(CategoryWord(row.category), kCategoryColumn) << "  "
                << LineText(row) << '\n';
        }
        if (!slot.rows.empty()) {
            WriteTotals(slot.totals, out);
        }
        for (const std::size_t line : slot.history.skippedLines) {
            out << "  line " << line << " is not a history row: the game skips it\n";
        }
        if (slot.history.stoppedAtLine) {
            out << "  line " << *slot.history.stoppedAtLine
                << " starts with a comma: the game reads no rows from there on\n";
        }
    }
}

// ---- For spreadsheets ----

// A field as RFC 4180 has it: in quotes, with its quotes doubled, when it holds a comma, a
// quote or a line break; as it is otherwise.
std::string CsvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

void WriteCsv(const std::vector<SlotReport>& slots, std::ostream& out) {
    out << kCsvHeader << '\n';
    for (const SlotReport& slot : slots) {
        for (const HistoryFileRow& row : slot.rows) {
            out << CsvField(slot.history.slot) << ',' << row.index << ',' << CsvField(row.text)
                << ',' << CsvField(row.source) << ',' << row.category << '\n';
        }
    }
}

// ---- For programs ----

Json TotalsJson(const Totals& totals, std::size_t rows) {
    Json categories = Json::array();
    for (const auto& [category, count] : totals.categories) {
        categories.push_back(
            {{"category", category}, {"name", CategoryWord(category)}, {"rows", count}});
    }
    Json sources = Json::array();
    for (const auto& [source, count] : totals.sources) {
        sources.push_back({{"source", source}, {"rows", count}});
    }
    return {{"rows", rows}, {"categories", categories}, {"sources", sources}};
}

Json SlotJson(const SlotReport& slot) {
    Json rows = Json::array();
    for (const HistoryFileRow& row : slot.rows) {
        rows.push_back({{"index", row.index},
                        {"line", LineText(row)},
                        {"text", row.text},
                        {"source", row.source},
                        {"category", row.category},
                        {"categoryName", CategoryWord(row.category)}});
    }
    Json json = {{"slot", slot.history.slot},
                 {"file", PathText(slot.history.file)},
                 {"rowsInFile", slot.history.rows.size()},
                 {"rows", rows},
                 {"totals", TotalsJson(slot.totals, slot.rows.size())},
                 {"skippedLines", slot.history.skippedLines}};
    json["stoppedAtLine"] =
        slot.history.stoppedAtLine ? Json(*slot.history.stoppedAtLine) : Json(nullptr);
    return json;
}

void WriteJson(const std::vector<SlotReport>& slots, const HistoryReportRequest& request,
               std::ostream& out) {
    Json json = Json::object();
    json["grep"] = request.grep ? Json(ValidUtf8(*request.grep)) : Json(nullptr);
    json["slots"] = Json::array();
    for (const SlotReport& slot : slots) {
        json["slots"].push_back(SlotJson(slot));
    }
    out << json.dump(2) << '\n';
}

}  // namespace

void WriteHistoryReport(const HistoryReportRequest& request, std::ostream& out) {
    const std::vector<SlotReport> slots = Collect(request);
    if (request.format == HistoryFormat::Csv) {
        WriteCsv(slots, out);
    } else if (request.format == HistoryFormat::Json) {
        WriteJson(slots, request, out);
    } else {
        WriteText(slots, request, out);
    }
}

}  // namespace pilfern::sim
