#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "sim/settings_json.h"

namespace pilfern::sim {

// What the player's game looks like to the report.
struct ConfigReportRequest {
    std::filesystem::path gothicIni;
    std::optional<std::filesystem::path> systemPack;  // the framework's SystemPack.ini
    bool newBalance = false;  // the game carries the NewBalance modification
    int language = 0;         // the framework's system language; 1 is Russian
    bool json = false;        // one JSON object of the PluginSettings fields
};

// A file of the request that cannot be read; the message is one line naming the file.
class ConfigReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads the plugin into a simulated game with the request's files, lets its own option
// loading run, and tells for every option what was found and what the plugin will use, and
// why a text became no key or an index fell back. Throws ConfigReportError, and RunInterrupted
// when a stop was requested (its scratch folder removed).
void WriteConfigReport(const ConfigReportRequest& request, std::ostream& out);

}  // namespace pilfern::sim
