// The options object over Gothic.ini.

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>

#include "host/cstring.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// The engine reads numbers as the C library does: the leading number, 0 when there is none.
// Its long is 32 bits wide, so a number beyond that stops at the limit; read in 64 bits and
// clamped, the answer is the same whatever the width of this system's long.
int LeadingNumber(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// The value of a key, when Gothic.ini has it. A reader that does not find its key adds it
// with the default it was given, in the text the game writes for it, so the key is found
// from then on and appears in the file the game writes at exit.
std::optional<std::string> Lookup(zCOption& options, const zSTRING& section, const zSTRING& key,
                                  std::string_view defaultText) {
    std::optional<std::string> value = options.ini.Find(section.Text(), key.Text());
    if (!value && options.addMissingKeys) {
        options.ini.Set(section.Text(), key.Text(), defaultText);
    }
    return value;
}

}  // namespace

zCOption* SimEngine::eng_options() {
    Count(Op(__func__));
    return &options;
}

int SimEngine::eng_options_read_int(zCOption* opts, const zSTRING& section, const zSTRING& key,
                                    int fallback) {
    Count(Op(__func__), opts, section, key, fallback);
    if (opts == nullptr) {
        return fallback;
    }
    opts->reads.push_back({"int", std::string(section.Text()), std::string(key.Text())});
    const auto value = Lookup(*opts, section, key, std::to_string(fallback));
    return value ? LeadingNumber(*value) : fallback;
}

bool SimEngine::eng_options_read_bool(zCOption* opts, const zSTRING& section, const zSTRING& key,
                                      bool fallback) {
    Count(Op(__func__), opts, section, key, fallback);
    if (opts == nullptr) {
        return fallback;
    }
    opts->reads.push_back({"bool", std::string(section.Text()), std::string(key.Text())});
    const auto value = Lookup(*opts, section, key, fallback ? "1" : "0");
    if (!value) {
        return fallback;
    }
    return EqualsIgnoringCase(*value, "true") || LeadingNumber(*value) != 0;
}

zSTRING SimEngine::eng_options_read_string(zCOption* opts, const zSTRING& section,
                                           const zSTRING& key, const zSTRING& fallback) {
    Count(Op(__func__), opts, section, key, fallback);
    if (opts == nullptr) {
        return fallback;
    }
    opts->reads.push_back({"string", std::string(section.Text()), std::string(key.Text())});
    const auto value = Lookup(*opts, section, key, fallback.Text());
    return value ? zSTRING(*value) : fallback;
}

zSTRING SimEngine::eng_options_directory(const zCOption* opts, int setting) {
    Count(Op(__func__), opts, setting);
    if (opts == nullptr || setting < 0 || setting >= static_cast<int>(opts->directories.size())) {
        return zSTRING("");
    }
    return zSTRING(opts->directories.at(static_cast<std::size_t>(setting)));
}

}  // namespace pilfern::sim
