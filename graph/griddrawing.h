#pragma once

#include "graph/graphsettings.h"

class Surface;

// Clears the surface to the background colour and draws the small, medium and large scale lines
// both ways from the origin, then the two axes, as the settings say. width and height are the
// sheet size in pixels.
void DrawGrid(Surface& surface, const GraphSettings& settings, float width, float height);
