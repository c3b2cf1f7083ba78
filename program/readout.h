#pragma once

#include "graph/graphsettings.h"
#include "platform/colorref.h"

#include <QtCore/QPointF>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <optional>
#include <vector>

class ScriptEvaluator;
struct CurvaneState;

// One line of the readout of values at the mouse, in its colour.
struct ReadoutLine {
    QString text;
    ColorRef colour = Rgb(0, 0, 0);
};

// What follows a value or a title in an axis's own unit: " [deg]", " [π]", and nothing for the
// plain unit "単位 1".
QString UnitSuffix(const QString& unit);

// A value in an axis's own unit, as the tick numbers and the axis's unit label show it:
// "90 [deg]", "0.5 [π]", and the number alone for the plain unit "単位 1".
QString AxisValueText(double value, const QString& unit);

// What the readout needs to show the values at a point, copied from the state so that the
// values can be computed on another thread: the point, the mapping, and every function whose
// curve is on the sheet.
struct ReadoutFunction {
    int slot = 1;
    QString expression;
    ColorRef colour = Rgb(0, 0, 0);
};
struct ReadoutRequest {
    int pixel = 0;       // the column under the mouse
    double row = 0.0;    // the row under the mouse
    float column = 0.0f; // the column the sampling computed for that pixel
    GraphSettings settings;
    GraphState graph;
    std::vector<ReadoutFunction> functions;
};
// Nothing when the point is not on the drawing.
std::optional<ReadoutRequest> MakeReadoutRequest(const CurvaneState& state, QPointF sheetPoint);
// The lines of a request, each function's value computed by an evaluator of the caller's.
std::vector<ReadoutLine> ComputeReadout(const ReadoutRequest& request, ScriptEvaluator& evaluator);
// The lines while the values are being computed: x and y, and "F1 = 計算中…" (computing) for
// every function.
std::vector<ReadoutLine> PendingReadout(const ReadoutRequest& request);

// What the readout shows for the mouse at a point of the drawing: "x = ..." for the pixel column
// under it and "y = ..." for the pixel row, in the axes' values and units, then, for every
// function whose curve is on the sheet (drawn and not erased), its value at that x in the Y
// axis's unit, "F1 = 0.841470984807897" in the function's colour, or "F1 = 値なし" (no value)
// with the reason. Each of those functions is evaluated once, at the very column the sampling
// computed for that pixel, so the number is the one its curve was drawn from. Empty when the
// point is not on the drawing.
std::vector<ReadoutLine> ReadoutAt(CurvaneState& state, QPointF sheetPoint);

// Where the readout goes over the visible part of the sheet when the free area under the axis
// frames is too low for its lines: in the corner farthest from the mouse, a few pixels in, so
// that it covers no control and never the point being read. Sizes beyond the sheet are cut to it.
QRect ReadoutCorner(const QRect& visibleSheet, QPoint mouse, QSize size);
