#pragma once

#include "graph/graphsettings.h"
#include "plot/functionslot.h"
#include "plot/linestyle.h"

#include <QtCore/QString>
#include <cstdint>

class ColumnSpans;
class Surface;

// Everything a curve piece needs besides its position.
struct CurvePen {
    ColorRef colour;
    std::int16_t style;
    std::int16_t width;
};

// The sheet a curve is drawn on, with the pattern phase shared by every dotted and chain curve
// since the window opened.
struct CurveCanvas {
    Surface& surface;
    float plotLimit;
    float sheetHeight;
    std::int16_t& patternPhase;
};

// Draws the piece from (column, row0) to (column + 1, row1), or nothing when one end has no value,
// both ends lie above or below the sheet, or the piece jumps across the whole sheet.
void DrawSegment(CurveCanvas& canvas, float column, float row0, float row1, const CurvePen& pen);

// The pen of a colour and a line-style code.
CurvePen PenOf(ColorRef colour, const QString& styleCode);

// Draws a slot's curve from its rows in PlotValues over what the sheet shows.
void DrawFunction(Surface& surface, const GraphSettings& settings, const GraphState& state,
                  const FunctionSlot& function, int slot, std::int16_t& patternPhase);
// The same with the pen given; with spans, adds the pixels it may have set to them (as
// AddCurveReach does).
void DrawFunction(Surface& surface, const GraphSettings& settings, const GraphState& state,
                  const CurvePen& pen, int slot, std::int16_t& patternPhase,
                  ColumnSpans* reach = nullptr);

// Adds the pixels a slot's curve, drawn with the pen, may have set: a few more than it sets, never
// fewer.
void AddCurveReach(ColumnSpans& spans, const GraphSettings& settings, const GraphState& state,
                   const CurvePen& pen, int slot);
