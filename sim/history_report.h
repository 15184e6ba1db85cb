#pragma once

#include <array>
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
    // letter case as the game's code page has it; totals count the rows kept.
    std::optional<std::string> grep;
    // The code page the game prints in, which the rows are read in as the game reads them.
    int codePage = 1252;
};

// The code pages of the games the command knows: 1250 (Central European), 1251 (Cyrillic),
// 1252 (Western European).
inline constexpr std::array kHistoryCodePages{1250, 1251, 1252};

// Tells what the loot histories a path names hold, as the plugin reads them. Every file is
// read before anything is written, so a file that is not a history stops the report before it
// begins. Throws HistoryPathError or HistoryReadError.
void WriteHistoryReport(const HistoryReportRequest& request, std::ostream& out);

}  // namespace pilfern::sim
