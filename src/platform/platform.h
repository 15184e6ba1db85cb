#pragma once

#include <string>
#include <string_view>

#include "host/framework.h"

// What differs between Windows and the other systems. Nothing outside this folder knows
// which system it runs on.
namespace pilfern::platform {

// The renderer's text-scale export: takes the new factor, answers the one in force before.
#if defined(_WIN32)
using RendererScaleFn = float(__stdcall*)(float);
#else
using RendererScaleFn = float (*)(float);
#endif

// A path with the game's backslashes turned into this system's separators.
[[nodiscard]] std::string NativePath(std::string_view path);
[[nodiscard]] bool FileExists(std::string_view path);
// Loads a module by file name or path; none when it cannot be loaded.
[[nodiscard]] ModuleHandle LoadModule(std::string_view name);
[[nodiscard]] ProcAddress FindExport(ModuleHandle module, std::string_view name);

// Conversions between UTF-8 and an 8-bit Windows code page (1250, 1251, 1252, ...). A byte
// or character the code page cannot express becomes '?'.
[[nodiscard]] std::string CodePageToUtf8(std::string_view text, int codePage);
[[nodiscard]] std::string Utf8ToCodePage(std::string_view text, int codePage);

}  // namespace pilfern::platform
