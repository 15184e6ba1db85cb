#include "sim/scenario/game_event_report.h"

#include <sstream>

#include "sim/scenario/state_dump.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::uint32_t kLockedBit = 1;

Json OrNull(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

template <class Number>
std::string Change(Number from, Number to) {
    return std::to_string(from) + " \u2192 " + std::to_string(to);
}

ReportedEvent Reported(const SimGame& game, const ScriptCalled& call) {
    const std::string function = Utf8(game, call.function);
    return {
        "scriptCall",
        {{"function", function}, {"result", call.result}, {"self", call.self}},
        "script " + function + " (SELF " + call.self + ") answered " + std::to_string(call.result)};
}

ReportedEvent Reported(const SimGame& game, const MessageReceived& message) {
    const std::optional<std::string> name =
        message.name ? std::optional(Utf8(game, *message.name)) : std::nullopt;
    return {"eventMessage",
            {{"npc", message.npc},
             {"subtype", message.subtype},
             {"name", OrNull(name)},
             {"target", OrNull(message.target)},
             {"flag", message.flag}},
            message.npc + "'s event manager gets " + (name ? *name : "a message without name") +
                " (subtype " + std::to_string(message.subtype) + ", flag " +
                std::to_string(message.flag) + ")" +
                (message.target ? " for " + *message.target : "")};
}

ReportedEvent Reported(const SimGame& /*game*/, const MobBound& binding) {
    std::string words = binding.npc + " is bound to " + binding.mob.value_or("nothing");
    if (!binding.mob && binding.previous) {
        words = binding.npc + " is no longer bound to " + *binding.previous;
    }
    return {"mobBinding",
            {{"npc", binding.npc},
             {"mob", OrNull(binding.mob)},
             {"previous", OrNull(binding.previous)}},
            words};
}

ReportedEvent Reported(const SimGame& /*game*/, const MobStateChanged& change) {
    const bool begins = change.phase == StatePhase::Begin;
    return {"mobState",
            {{"mob", change.mob},
             {"user", change.user},
             {"from", change.from},
             {"to", change.to},
             {"phase", begins ? "begin" : "end"},
             {"fault", change.fault.empty() ? Json(nullptr) : Json(change.fault)}},
            change.mob + ": state " + Change(change.from, change.to) +
                (begins ? " begins (" : " ends (") + change.user + ")" +
                (change.fault.empty() ? "" : "; fault: " + change.fault)};
}

ReportedEvent Reported(const SimGame& /*game*/, const MobLockSet& lock) {
    const bool was = (lock.before & kLockedBit) != 0;
    const bool is = (lock.after & kLockedBit) != 0;
    const std::string how = was == is ? (is ? " stays locked" : " stays unlocked")
                                      : (is ? " is locked" : " is unlocked");
    return {"mobLock",
            {{"mob", lock.mob}, {"before", lock.before}, {"after", lock.after}, {"locked", is}},
            lock.mob + how + " (lock flags " + Change(lock.before, lock.after) + ")"};
}

ReportedEvent Reported(const SimGame& /*game*/, const KeyBufferCleared& /*cleared*/) {
    return {"keyBufferCleared", Json::object(), "the key buffer is cleared"};
}

ReportedEvent Reported(const SimGame& game, const VisualEffectPlayed& effect) {
    const std::string name = Utf8(game, effect.effect);
    const auto [x, y, z] = effect.at;
    std::ostringstream where;
    where << "(" << x << ", " << y << ", " << z << ")";
    return {"visualEffect",
            {{"effect", name},
             {"origin", effect.origin},
             {"at", {x, y, z}},
             {"target", OrNull(effect.target)},
             {"level", effect.level},
             {"damage", effect.damage},
             {"damageType", effect.damageType},
             {"isProjectile", effect.isProjectile},
             {"shown", effect.shown}},
            "effect " + name + " plays at " + effect.origin + " " + where.str() +
                (effect.shown ? "" : ", but the game's scripts define no such effect")};
}

}  // namespace

ReportedEvent ReportGameEvent(const SimGame& game, const GameEvent& event) {
    return std::visit([&game](const auto& happened) { return Reported(game, happened); }, event);
}

}  // namespace pilfern::sim
