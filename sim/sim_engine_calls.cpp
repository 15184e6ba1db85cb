// How the engine's call log names the arguments of a call.

#include <array>
#include <cmath>
#include <sstream>
#include <utility>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr std::string_view kNone = "none";

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string CallText(const EngineCall& call) {
    std::string text = std::string(kEngineOperations.at(call.op)) + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        text += (i == 0 ? "" : ", ") + call.arguments[i];
    }
    return text + ")";
}

std::string SimEngine::Describe(const zCObject* object) const {
    if (object == nullptr) {
        return std::string(kNone);
    }
    if (const auto* item = dynamic_cast<const SimItem*>(object)) {
        return item->vob.id;
    }
    if (const auto* npc = dynamic_cast<const SimNpc*>(object)) {
        return npc->vob.id;
    }
    if (const auto* container = dynamic_cast<const SimContainer*>(object)) {
        return container->vob.id;
    }
    if (const auto* message = dynamic_cast<const SimConversationMessage*>(object)) {
        return "message " + std::to_string(message->number);
    }
    if (const auto* texture = dynamic_cast<const SimTexture*>(object)) {
        return "texture " + texture->name;
    }
    if (object == &world_) {
        return "world";
    }
    if (object == &visual_) {
        return "visual";
    }
    return "object";
}

std::string SimEngine::Describe(const zCView* view) const {
    if (view == nullptr) {
        return std::string(kNone);
    }
    return view->isScreen ? "screen" : "view " + std::to_string(view->id);
}

std::string SimEngine::Describe(const zCFont* font) const {
    return font == nullptr ? std::string(kNone) : "font " + font->name;
}

std::string SimEngine::Describe(const oCNpcInventory* inventory) const {
    for (const auto& npc : npcs_) {
        if (&npc->inventory == inventory) {
            return "inventory of " + npc->vob.id;
        }
    }
    return inventory == nullptr ? std::string(kNone) : "inventory";
}

std::string SimEngine::Describe(const zCModel* model) const {
    for (const auto& npc : npcs_) {
        if (&npc->model == model) {
            return "model of " + npc->vob.id;
        }
    }
    return model == nullptr ? std::string(kNone) : "model";
}

std::string SimEngine::Describe(const zCEventManager* events) const {
    if (const SimNpc* owner = NpcOwning(events)) {
        return "event manager of " + owner->vob.id;
    }
    return events == nullptr ? std::string(kNone) : "event manager";
}

std::string SimEngine::Describe(const zCListSort<oCItem>* node) const {
    return node == nullptr ? std::string(kNone) : "node of " + Describe(node->data);
}

std::string SimEngine::Describe(const zCListSort<oCNpc>* node) const {
    return node == nullptr ? std::string(kNone) : "node of " + Describe(node->data);
}

std::string SimEngine::Describe(const zCPar_Symbol* symbol) const {
    return symbol == nullptr ? std::string(kNone) : "symbol " + symbol->name;
}

std::string SimEngine::Describe(const zSTRING& text) const {
    return text.HasBuffer() ? Quoted(text.Text()) : "no text";
}

std::string SimEngine::Describe(const zCOLOR& color) const {
    return "rgba(" + std::to_string(color.r) + "," + std::to_string(color.g) + "," +
           std::to_string(color.b) + "," + std::to_string(color.alpha) + ")";
}

std::string SimEngine::Describe(const zVEC3& vector) const {
    return "(" + DescribeNumber(vector.x, false) + ", " + DescribeNumber(vector.y, false) + ", " +
           DescribeNumber(vector.z, false) + ")";
}

std::string SimEngine::Describe(const std::optional<int>& number) const {
    return number ? std::to_string(*number) : std::string(kNone);
}

std::string SimEngine::Describe(EngineClass engineClass) const {
    constexpr std::array<std::pair<EngineClass, std::string_view>, 4> kNames{{
        {EngineClass::oCItem, "oCItem"},
        {EngineClass::oCNpc, "oCNpc"},
        {EngineClass::oCNpcEx, "oCNpcEx"},
        {EngineClass::oCMobContainer, "oCMobContainer"},
    }};
    for (const auto& [candidate, name] : kNames) {
        if (candidate == engineClass) {
            return std::string(name);
        }
    }
    return "class";
}

std::string SimEngine::DescribeNumber(double number, bool isBool) {
    if (isBool) {
        return number != 0.0 ? "true" : "false";
    }
    if (number == std::floor(number) && std::abs(number) < 1e15) {
        return std::to_string(static_cast<long long>(number));
    }
    std::ostringstream text;
    text << number;
    return text.str();
}

std::string SimEngine::DescribeStructure(const void* structure) const {
    const std::array<std::pair<const void*, std::string_view>, 7> kManagers{{
        {&game, "game"},
        {&camera, "camera"},
        {roomRegistry ? &*roomRegistry : nullptr, "room registry"},
        {&dialogs, "dialogs"},
        {&input, "input"},
        {&options, "options"},
        {&parser, "parser"},
    }};
    if (structure == nullptr) {
        return std::string(kNone);
    }
    constexpr std::array<std::string_view, 4> kFocusModeNames{
        "focus settings", "focus settings (melee)", "focus settings (ranged)",
        "focus settings (magic)"};
    for (std::size_t mode = 0; mode < focusModes.size(); ++mode) {
        if (structure == &focusModes.at(mode)) {
            return std::string(kFocusModeNames.at(mode));
        }
    }
    for (const auto& [manager, name] : kManagers) {
        if (manager != nullptr && manager == structure) {
            return std::string(name);
        }
    }
    return "structure";
}

}  // namespace pilfern::sim
