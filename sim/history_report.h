#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "sim/history_files.h"

namespace pilfern::sim {

enum class HistoryFormat {
    Text,  // for the player: each slot's rows as the overlay lists them, then totals
    Csv,   // one line a row: slot, index, text, source, category
    Json,  // one document: the slots, their rows and totals
};

struct HistoryReportRequest {
    std::filesystem::path path;  // a PILFERN.SAV, a slot folder or a game folder
    HistoryFormat format = HistoryFormat::Text;
    // Keeps only the rows whose overlay line (which holds the source) contains it, ignoring
    // letter case; totals count the rows kept.
    std::optional<std::string> grep;
};

// Tells what the loot histories a path names hold, as the plugin reads them. Every file is
// read before anything is written, so a file that is not a history stops the report before it
// begins. Throws HistoryPathError or HistoryReadError.
void WriteHistoryReport(const HistoryReportRequest& request, std::ostream& out);

}  // namespace pilfern::sim
