#pragma once

#include "graph/graphsettings.h"

#include <optional>

// Between sheet pixels and axis values.

// The value a pixel column stands for, converted for the expression: "deg" columns feed radians,
// "π" columns multiples of π. Nothing when the column has no finite value (a spacing of 0 from a
// settings file).
std::optional<double> PixelToValueX(const GraphSettings& settings, const GraphState& state,
                                    float column);

// The row of a function value, clamped to ±PlotLimit. Never fails: where the row cannot be worked
// out (a small-step value of 0, a row beyond single precision) a positive value lands at
// -PlotLimit (above the sheet) and a negative one at +PlotLimit.
float ValueToPixelY(const GraphSettings& settings, const GraphState& state, double y);
