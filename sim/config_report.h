#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "config/settings.h"

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
// why a text became no key or an index fell back. Throws ConfigReportError.
void WriteConfigReport(const ConfigReportRequest& request, std::ostream& out);

// The settings as one JSON object keyed by the PluginSettings field names, in field order:
// colours as [red, green, blue, alpha], name lists as arrays, texts converted from the game's
// code page to UTF-8, floats by their shortest decimal (1.0, 0.4).
[[nodiscard]] nlohmann::ordered_json SettingsToJson(const PluginSettings& settings, int codePage);

// The shortest decimal that reads back as the same float, with ".0" for whole numbers.
[[nodiscard]] std::string FloatText(float value);

}  // namespace pilfern::sim
