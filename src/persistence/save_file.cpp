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
    const std::size_t sourceComma = trimmed.rfind(',');
    if (firstComma == std::string_view::npos) {
        return SaveLine::Skip;
    }
    const std::size_t categoryComma = trimmed.rfind(',', sourceComma - 1);
    if (categoryComma == std::string_view::npos || sourceComma == 0 ||
        categoryComma >= sourceComma) {
        return SaveLine::Skip;
    }
    const std::string_view source = trimmed.substr(sourceComma + 1);
    if (source.empty()) {
        return SaveLine::Skip;
    }
    row.text = CStringA(trimmed.substr(0, categoryComma));
    row.category =
        CStringA(trimmed.substr(categoryComma + 1, sourceComma - categoryComma - 1)).ToInt32(10);
    row.source = EqualsIgnoringCase(source, kSaveFileNoSource) ? CStringA() : CStringA(source);
    return SaveLine::Row;
}

}  // namespace pilfern
