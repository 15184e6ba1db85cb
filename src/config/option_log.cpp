#include "config/option_log.h"

#include <cmath>
#include <string>

#include "config/key_names.h"
#include "config/option_catalogue.h"
#include "config/option_conversions.h"
#include "config/option_reader.h"

namespace pilfern {
namespace {

bool ReadInThisGame(const OptionEntry& entry, bool newBalance) {
    return entry.source == OptionSource::GameIni &&
           (entry.mode == OptionMode::Always ||
            (entry.mode == OptionMode::NewBalance) == newBalance);
}

// A key option's text names a key, a code, or no key on purpose.
bool NamesAKey(const CStringA& text) {
    if (text.IsEmpty() || text.IsNumber() || text.CompareI(CStringA("EMPTY"))) {
        return true;
    }
    for (const KeyName& key : KeyNames()) {
        if (EqualsIgnoringCase(text.Str(), key.name)) {
            return true;
        }
    }
    return false;
}

std::string Decimal(float value) {
    const auto tenths = static_cast<int>(std::lround(value * 10.0F));
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

void LogOptions(Instance& instance, OptionsRead when) {
    if (!instance.log) {
        return;
    }
    const PluginSettings& settings = instance.settings;
    instance.log("Pilfern: options read: loot key " + std::to_string(settings.keyLightQuickLoot) +
                 ", auto-loot radius " + std::to_string(settings.autoLootDistance) + " every " +
                 std::to_string(settings.autoLootInterval) + " ms, message rows " +
                 std::to_string(settings.messageRowCount) + ", font multiplier " +
                 Decimal(settings.fontMultiplier) + ", ShowArmor " +
                 (settings.showArmor ? "on" : "off") +
                 (settings.newBalanceMode ? ", NewBalance keys" : ""));
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (!ReadInThisGame(entry, settings.newBalanceMode) ||
            (when == OptionsRead::Applied && !entry.reread)) {
            continue;
        }
        if (entry.kind == OptionKind::Index) {
            const int index = ReadIntOption(instance, entry);
            if (!IndexSelectsRow(index, entry.indexRows)) {
                instance.log("Pilfern: option " + std::string(entry.key) + "=" +
                             std::to_string(index) + " lies outside 0.." +
                             std::to_string(entry.indexRows - 1) + "; its fallback is taken");
            }
        } else if (entry.kind == OptionKind::Key) {
            const CStringA text = ReadTextOption(instance, entry);
            if (!NamesAKey(text)) {
                instance.log("Pilfern: option " + std::string(entry.key) + "=" +
                             std::string(text.Str()) + " names no key; no key is taken");
            }
        }
    }
}

}  // namespace pilfern
