#include "persistence/save_file.h"

#include <utility>

#include "platform/platform.h"

namespace pilfern {
namespace {

// No row the plugin writes comes near this: an item's text and a source are names of the
// game's, tens of characters each. A longer line is no row and is passed over; the limit only
// keeps a damaged file from costing the game its memory.
constexpr std::size_t kLongestSaveLine = std::size_t{64} * 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Line by line: a file of any size costs one line of memory, and a read error ends the rows
// with those read so far.
bool ReadLines(platform::LineReader& file, const SaveLineToGameText& toGameText,
               const SaveLineSeen& seen) {
    std::size_t told = 0;
    // The lines the reader passed over for their length are no rows.
    const auto passedOver = [&](std::size_t upTo) {
        while (told < upTo) {
            seen(++told, SaveLine::Skip, HistoryEntity{});
        }
    };
    std::string line;
    while (file.Next(line)) {
        passedOver(file.LinesRead() - 1);
        ++told;
        if (line.empty()) {
            seen(told, SaveLine::Blank, HistoryEntity{});
            continue;
        }
        // The file is UTF-8; the game's text is 8-bit in its code page. The line goes through
        // wide text and the game's conversion, so a character the code page cannot hold, or a
        // broken byte sequence, becomes a stand-in character instead of breaking the row.
        const CStringA text = toGameText(platform::Utf8ToWide(line));
        HistoryEntity row;
        const SaveLine read = ReadSaveLine(text.Str(), row);
        seen(told, read, std::move(row));
        if (read == SaveLine::Stop) {
            return true;
        }
    }
    passedOver(file.LinesRead());
    return !file.Failed();
}

}  // namespace

CStringA SaveFileContent(const std::vector<HistoryEntity>& history) {
    const CStringA comma(",");
    const CStringA lineEnd("\n");
    CStringA content = CStringA(kSaveFileHeader) + lineEnd;
    for (const HistoryEntity& row : history) {
        content += row.text;
        content += comma;
        content += CStringA(row.category, 10);
        content += comma;
        content += row.source.IsEmpty() ? CStringA(kSaveFileNoSource) : row.source;
        content += lineEnd;
    }
    return content;
}

SaveLine ReadSaveLine(std::string_view line, HistoryEntity& row) {
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty()) {
        return SaveLine::Blank;
    }
    if (ContainsIgnoringCase(trimmed, kSaveFileHeader)) {
        return SaveLine::Header;
    }
    const std::size_t firstComma = trimmed.find(',');
    if (firstComma == 0) {
        return SaveLine::Stop;
    }
    if (firstComma == std::string_view::npos || trimmed.back() == ',') {
        return SaveLine::Skip;
    }
    const std::size_t lastComma = trimmed.rfind(',');
    if (lastComma == firstComma) {
        return SaveLine::Skip;
    }
    const auto field = [trimmed](std::size_t before, std::size_t after) {
        return trimmed.substr(before + 1, after - before - 1);
    };
    // The category is the whole number nearest the end with text before it and a source after
    // it: usually the next-to-last field, further left when the source holds a comma ("Chest,
    // old"). Without any whole number the next-to-last field is taken as before, read as far
    // as it is a number.
    std::size_t sourceComma = lastComma;
    std::size_t categoryComma = trimmed.rfind(',', lastComma - 1);
    for (std::size_t after = sourceComma, before = categoryComma;;) {
        if (CStringA(field(before, after)).IsNumber()) {
            sourceComma = after;
            categoryComma = before;
            break;
        }
        if (before == firstComma) {
            break;
        }
        after = before;
        before = trimmed.rfind(',', after - 1);
    }
    const std::string_view source = trimmed.substr(sourceComma + 1);
    row.text = CStringA(trimmed.substr(0, categoryComma));
    row.category = CStringA(field(categoryComma, sourceComma)).ToInt32(10);
    row.source = EqualsIgnoringCase(source, kSaveFileNoSource) ? CStringA() : CStringA(source);
    return SaveLine::Row;
}

bool ReadSaveFile(std::string_view path, const SaveLineToGameText& toGameText,
                  const SaveLineSeen& seen) {
    platform::LineReader file(path, kLongestSaveLine);
    return ReadLines(file, toGameText, seen);
}

bool ReadSaveFile(const std::filesystem::path& path, const SaveLineToGameText& toGameText,
                  const SaveLineSeen& seen) {
    platform::LineReader file(path, kLongestSaveLine);
    return ReadLines(file, toGameText, seen);
}

}  // namespace pilfern
