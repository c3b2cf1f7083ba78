#pragma once

#include "program/curvanestate.h"

#include <QtCore/QString>
#include <cstdint>

// What the user does to the sheet itself: its size, the origin and the zoom.

enum class SizeRefusal {
    None,
    NotPositive, // 0 mm or less
    TooLarge,    // the sheet's outer size would pass 32767 twips
};

// "グラフサイズは 0 mm より大きくしてください" and "グラフサイズが大きすぎます（最大 576 mm）".
QString SizeRefusalText(SizeRefusal refusal);

// Whether the sheet can take a drawing size: at least a pixel, and an outer size (frame included)
// within the 32767 twips its scroll bars can express.
SizeRefusal CheckSheetSize(double widthPx, double heightPx);

// A width or height typed in millimetres (read by its leading number): the sheet takes the pixel
// size nearest to it, the curves are forgotten and the grid redrawn. A size the sheet cannot take
// changes nothing.
SizeRefusal ApplySheetWidth(CurvaneState& state, const QString& millimetres);
SizeRefusal ApplySheetHeight(CurvaneState& state, const QString& millimetres);

// Gives the sheet, GraphWidthPx/GraphHeightPx and PlotValues/PlotLimit one allowed pixel size,
// without redrawing.
void SetSheetSize(CurvaneState& state, int widthPx, int heightPx);

// Gives the sheet an exact pixel size and redraws (size editors, size matching).
SizeRefusal ResizeSheet(CurvaneState& state, int widthPx, int heightPx);

// The two red guide lines that preview the axes for an origin at (x, y), with the extents the
// side codes give; a side code the guide lines do not know keeps that line's previous ends.
GuideLines GuideLinesAt(const CurvaneState& state, double x, double y, const GuideLines& previous);

// The origin put where the left button was released; the grid is drawn anew.
void PlaceOrigin(CurvaneState& state, float x, float y);

// Escape: an armed zoom, an armed calculus tool (with an area being dragged) and an origin
// placement in progress end without a change (the guide lines go away). False when none was
// under way.
bool CancelMouseModes(CurvaneState& state);

// A zoom click at (x, y): the grid line nearest to the click keeps its place while the spacing
// grows (direction 1) or shrinks (-1, never below 1 pixel) by 2; the origin stays on the sheet.
void ZoomAt(CurvaneState& state, int direction, float x, float y);
