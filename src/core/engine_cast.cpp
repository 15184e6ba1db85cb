#include "core/engine_cast.h"

namespace pilfern {
namespace {

// Every class the engine's class test knows reaches zCObject through plain single bases, so
// that the engine's object and the plugin's view of it share one address. A virtual or
// ambiguous base would make the downcast below ill-formed; this is the check, at compile
// time, that the engine classes keep the engine's layout.
template <class Target>
concept SameAddressAsObject = requires(zCObject* object) {
    static_cast<Target*>(object);
};
static_assert(SameAddressAsObject<oCItem> && SameAddressAsObject<oCNpc> &&
              SameAddressAsObject<oCNpcEx> && SameAddressAsObject<oCMobContainer>);

}  // namespace

void* EngineCast(Engine& engine, zCObject* object, EngineClass target) {
    if (object == nullptr || !engine.eng_object_class_is(object, target)) {
        return nullptr;
    }
    return object;
}

const oCNpcEx* ExtendedNpcOf(Engine& engine, const oCNpc& npc) {
    return static_cast<const oCNpcEx*>(
        EngineCast(engine, const_cast<oCNpc*>(&npc), EngineClass::oCNpcEx));
}

}  // namespace pilfern
