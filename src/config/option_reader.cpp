#include "config/option_reader.h"

namespace pilfern {
namespace {

zSTRING Section() {
    return zSTRING(kOptionSection);
}

}  // namespace

int ReadIntOption(Instance& instance, const OptionEntry& entry) {
    return ReadIntOption(instance, entry, entry.defaultNumber);
}

int ReadIntOption(Instance& instance, const OptionEntry& entry, int fallback) {
    Engine& engine = instance.engine;
    return engine.eng_options_read_int(engine.eng_options(), Section(), zSTRING(entry.key),
                                       fallback);
}

bool ReadBoolOption(Instance& instance, const OptionEntry& entry) {
    Engine& engine = instance.engine;
    return engine.eng_options_read_bool(engine.eng_options(), Section(), zSTRING(entry.key),
                                        entry.defaultNumber != 0);
}

CStringA ReadTextOption(Instance& instance, const OptionEntry& entry) {
    Engine& engine = instance.engine;
    const zSTRING fallback(DefaultTextFor(entry, instance.framework.GetSystemLanguage()));
    return ToCString(engine.eng_options_read_string(engine.eng_options(), Section(),
                                                    zSTRING(entry.key), fallback));
}

int ReadKeyOption(Instance& instance, const OptionEntry& entry) {
    return KeyCodeFromOptionText(ReadTextOption(instance, entry));
}

zCOLOR ReadColorOption(Instance& instance, const OptionEntry& entry) {
    return ParseColor(instance, ReadTextOption(instance, entry));
}

void ReadUnusedOption(Instance& instance, const OptionEntry& entry) {
    switch (ReaderOf(entry.kind)) {
    case OptionReader::Int:
        static_cast<void>(ReadIntOption(instance, entry));
        break;
    case OptionReader::Bool:
        static_cast<void>(ReadBoolOption(instance, entry));
        break;
    case OptionReader::Text:
        static_cast<void>(ReadTextOption(instance, entry));
        break;
    }
}

bool ReadSystemPackOption(Instance& instance, const OptionEntry& entry) {
    return instance.framework.ReadSysPackOption(CStringA(kSystemPackSection), CStringA(entry.key),
                                                entry.defaultNumber != 0);
}

}  // namespace pilfern
