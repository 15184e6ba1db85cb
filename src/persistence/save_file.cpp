#include "persistence/save_file.h"

namespace pilfern {
namespace {

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
    if (trimmed.empty() || ContainsIgnoringCase(trimmed, kSaveFileHeader)) {
        return SaveLine::Skip;
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

}  // namespace pilfern
