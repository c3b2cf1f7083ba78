#pragma once

#include "graph/graphsettings.h"

#include <vector>

class Surface;

// One scale or axis line of the grid: vertical at x = position from y = from to y = to, or
// horizontal at y = position from x = from to x = to, in sheet pixels. Both ends are meant to be
// covered; an end at size - 1 is the sheet's far edge.
struct GridLine {
    bool vertical;
    double position;
    double from;
    double to;
    ColorRef colour;
};

// Every line DrawGrid draws, in its drawing order (later lines over earlier ones): the vertical
// scale lines, the horizontal scale lines, the X axis, the Y axis. The pixel sheet and the
// vector export both draw from this list, so their grids agree line for line.
std::vector<GridLine> GridLines(const GraphSettings& settings, float width, float height);

// Clears the surface to the background colour and draws the small, medium and large scale lines
// both ways from the origin, then the two axes, as the settings say. width and height are the
// sheet size in pixels.
void DrawGrid(Surface& surface, const GraphSettings& settings, float width, float height);
