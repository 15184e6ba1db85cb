#pragma once

#include <vector>

#include "core/instance.h"

namespace pilfern {

// The engine objects option loading makes: the two marker textures and the plugin's views.
// Views are made once and kept for the life of the process; the textures are held by one
// reference each.

// Lets go of the held marker textures and loads both again.
void ReloadMarkerTextures(Instance& instance);
// Gives the marker view the texture of a "textureIdx" value: 1 blue, 2 green; any other value
// (3 draws the markers as an effect) leaves the view's texture as it is.
void ApplyMarkerTexture(Instance& instance, int textureIdx);

// The marker view, textured blue for "textureIdx" 1 and green otherwise.
void CreateTargetView(Instance& instance);
// The auto-loot icon at `position` (x, y), `width` wide and as many pixels high as wide.
void CreateLootIconView(Instance& instance, const std::vector<int>& position, int width);
void CreateHistoryBackgroundView(Instance& instance);
void CreateHistoryTextView(Instance& instance);
// A view for printed lines (loot messages, the wisp notice), attached to the screen.
[[nodiscard]] zCView* CreateScreenTextView(Instance& instance);

}  // namespace pilfern
