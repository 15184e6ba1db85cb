#pragma once

#include <span>
#include <string_view>

#include "host/cstring.h"

namespace pilfern {

// A key or mouse-button name of the option texts and the input code the engine takes.
struct KeyName {
    std::string_view name;
    int code;
};

// All names, mouse buttons first, then keyboard keys by code. Fifteen codes have two names.
[[nodiscard]] std::span<const KeyName> KeyNames();

// The code of a key name, ignoring letter case ("key_v" is "KEY_V"); 0, no key, for a text
// that names no key.
[[nodiscard]] int KeyCodeFromName(const CStringA& name);

// The first name of a code, or an empty text when no name has that code.
[[nodiscard]] std::string_view KeyNameFromCode(int code);

}  // namespace pilfern
