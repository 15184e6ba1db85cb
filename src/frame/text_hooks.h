#pragma once

#include "core/instance.h"

namespace pilfern {

// Draws the queued loot messages and drops the expired ones; once per frame.
void DrawLootMessages(Instance& instance);

// Replacement of the engine's zCFont::GetFontData.
int GetFontData_Hook(Instance& instance, zCFont* font, unsigned char character, int& width,
                     zVEC2& uv0, zVEC2& uv1);
// Replacement of the engine's zCView::PrintChars.
void PrintChars_Hook(Instance& instance, zCView* view, int x, int y, const zSTRING& text);

}  // namespace pilfern
