#pragma once

#include "core/instance.h"

namespace pilfern {

// Draws the queued loot messages and drops the expired ones; once per frame.
void DrawLootMessages(Instance& instance);

// Replacement of the engine's zCFont::GetFontData.
int GetFontData_Hook(Instance& instance, zCFont* font, unsigned char character, int& width,
                     zVEC2& uv0, zVEC2& uv1);
// Replacement of the engine's zCView::PrintChars. `text` is the engine's own string object,
// which the replacement hands on to the engine's function as it came, never copied or
// rebuilt; where the plugin needs its characters it reads them in place (Text()).
void PrintChars_Hook(Instance& instance, zCView* view, int x, int y, const zSTRING_Engine& text);

}  // namespace pilfern
