#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "core/settings.h"

namespace pilfern::sim {

// The settings as one JSON object keyed by the PluginSettings field names, in field order:
// colours as [red, green, blue, alpha], name lists as arrays, texts converted from the game's
// code page to UTF-8, floats by their shortest decimal (1.0, 0.4).
[[nodiscard]] nlohmann::ordered_json SettingsToJson(const PluginSettings& settings, int codePage);

// The shortest decimal that reads back as the same float, with ".0" for whole numbers.
[[nodiscard]] std::string FloatText(float value);

}  // namespace pilfern::sim
