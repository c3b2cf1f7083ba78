#pragma once

#include "graph/graphsettings.h"
#include "plot/functionslot.h"

#include <QtCore/QString>
#include <cstdint>

class Surface;

// Pen style numbers of the line-style codes.
inline constexpr std::int16_t SolidPen = 0;
inline constexpr std::int16_t ChainPen = 1;
inline constexpr std::int16_t DottedPen = 2;

// "実n" solid, "鎖n" chain, "点n" dotted; anything else draws solid.
std::int16_t PenStyleOfCode(const QString& code);
// The width digit at the end of a code (0 when there is none).
std::int16_t PenWidthOfCode(const QString& code);

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

// Draws a slot's curve from its rows in PlotValues over what the sheet shows.
void DrawFunction(Surface& surface, const GraphSettings& settings, const GraphState& state,
                  const FunctionSlot& function, int slot, std::int16_t& patternPhase);
