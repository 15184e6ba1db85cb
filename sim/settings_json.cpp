#include "sim/settings_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

std::string Utf8Of(std::string_view text, int codePage) {
    return platform::CodePageToUtf8(text, codePage);
}

Json ColorJson(const zCOLOR& color) {
    return Json::array({color.r, color.g, color.b, color.alpha});
}

Json NamesJson(const std::vector<CStringA>& names, int codePage) {
    Json list = Json::array();
    for (const CStringA& name : names) {
        list.push_back(Utf8Of(name.Str(), codePage));
    }
    return list;
}

Json FloatJson(float value) {
    return Json(std::strtod(FloatText(value).c_str(), nullptr));
}

}  // namespace

std::string FloatText(float value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    std::string text(buffer.data(), result.ptr);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

Json SettingsToJson(const PluginSettings& s, int codePage) {
    Json json;
    json["textureIdx"] = s.textureIdx;
    json["keyLightQuickLoot"] = s.keyLightQuickLoot;
    json["rareItemNames"] = NamesJson(s.rareItemNames, codePage);
    json["colorQuickLootRare"] = ColorJson(s.colorQuickLootRare);
    json["colorQuickLoot"] = ColorJson(s.colorQuickLoot);
    json["colorQuickLootWeapon"] = ColorJson(s.colorQuickLootWeapon);
    json["colorQuickLootArmorRings"] = ColorJson(s.colorQuickLootArmorRings);
    json["colorQuickLootBooksScrools"] = ColorJson(s.colorQuickLootBooksScrools);
    json["sizeTarget"] = s.sizeTarget;
    json["allowPilfernGround"] = s.allowPilfernGround;
    json["allowPilfernNpc"] = s.allowPilfernNpc;
    json["allowQuickLootChests"] = s.allowQuickLootChests;
    json["allowQuickLootInBattle"] = s.allowQuickLootInBattle;
    json["allowQuickLootInTransform"] = s.allowQuickLootInTransform;
    json["sizeLootIcon"] = s.sizeLootIcon;
    json["historyCntRowsInColumn"] = s.historyCntRowsInColumn;
    json["autoLootDistance"] = s.autoLootDistance;
    json["needFastLootX2Mode"] = s.needFastLootX2Mode;
    json["autoLootInterval"] = s.autoLootInterval;
    json["startQuickLootTextPosX"] = s.startQuickLootTextPosX;
    json["startQuickLootTextPosY"] = s.startQuickLootTextPosY;
    json["quickLootTimeDelay"] = s.quickLootTimeDelay;
    json["quickLootNumberRecordsCustom"] = s.quickLootNumberRecordsCustom;
    json["quickLootNumberRecordsIdx"] = s.quickLootNumberRecordsIdx;
    json["messageRowCount"] = s.messageRowCount;
    json["isRMBTakeAllow"] = s.isRMBTakeAllow;
    json["allowMarkQuestItems"] = s.allowMarkQuestItems;
    json["needDirectViewAutoloot"] = s.needDirectViewAutoloot;
    json["newBalanceMode"] = s.newBalanceMode;
    json["autoLootEnabledBase"] = s.autoLootEnabledBase;
    json["autoLootEnabledSecond"] = s.autoLootEnabledSecond;
    json["historyQuickLootBase"] = s.historyQuickLootBase;
    json["historyQuickLootSecond"] = s.historyQuickLootSecond;
    json["wispText"] = Utf8Of(s.wispText.Str(), codePage);
    json["prefixMode"] = s.prefixMode;
    json["fontMultiplier"] = FloatJson(s.fontMultiplier);
    json["showArmor"] = s.showArmor;
    json["autoLootExcludedNames"] = NamesJson(s.autoLootExcludedNames, codePage);
    json["summonedItemNames"] = NamesJson(s.summonedItemNames, codePage);
    return json;
}

}  // namespace pilfern::sim
