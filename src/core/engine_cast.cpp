#include "core/engine_cast.h"

#include <array>
#include <utility>

namespace pilfern {
namespace {

template <class Target>
void* CastTo(zCObject* object) {
    return dynamic_cast<Target*>(object);
}

constexpr std::array<std::pair<EngineClass, void* (*)(zCObject*)>, 4> kConversions{{
    {EngineClass::oCItem, &CastTo<oCItem>},
    {EngineClass::oCNpc, &CastTo<oCNpc>},
    {EngineClass::oCNpcEx, &CastTo<oCNpcEx>},
    {EngineClass::oCMobContainer, &CastTo<oCMobContainer>},
}};

}  // namespace

void* EngineCast(zCObject* object, EngineClass target) {
    for (const auto& [engineClass, convert] : kConversions) {
        if (engineClass == target) {
            return convert(object);
        }
    }
    return nullptr;
}

const oCNpcEx* ExtendedNpcOf(const oCNpc& npc) {
    return static_cast<const oCNpcEx*>(EngineCast(const_cast<oCNpc*>(&npc), EngineClass::oCNpcEx));
}

}  // namespace pilfern
