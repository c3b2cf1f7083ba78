#pragma once

#include "graph/graphsettings.h"
#include "plot/calculus.h"

#include <QtCore/QPointF>
#include <QtCore/QString>
#include <vector>

class Progress;
class ScriptEvaluator;

// A curve for output finer than the sheet's pixels (print-quality export): the expression is
// evaluated again between the sheet's columns, through the same evaluator and the same mapping
// of columns to values and values to rows as the sheet's sampling. Each run is a polyline in sheet
// pixels that a pen draws without lifting; runs are broken where the sheet leaves a gap: at a
// point without a value, where the curve lies wholly above or below the sheet, and where it jumps
// from above the sheet to below it (or back) between neighbouring points.
using CurveRuns = std::vector<std::vector<QPointF>>;

// Every column piece of the sheet's range (as the sheet's curve covers it) is cut into
// stepsPerColumn pieces. A piece steeper than a pixel is halved again and again, so that a
// pole between two points is found and left out instead of drawn as a stroke across the sheet,
// within an evaluation budget that keeps a wildly oscillating expression from taking long.
// progress, when given, is told how far the points got and may stop them: the runs so far are
// returned. A derivative curve (of Slope) takes the expression's slope at each point as its
// sampling does.
CurveRuns SampleCurveFinely(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            const GraphState& state, const QString& expression, int stepsPerColumn,
                            Progress* progress = nullptr, CurveOf of = CurveOf::Values);

// Leaves out the points of each run that lie within tolerance (sheet pixels) of the line through
// the points kept around them: the same strokes with far fewer points to write into a file.
void SimplifyRuns(CurveRuns& runs, double tolerance);

// The points per sheet column that make a curve look smooth at a resolution (dots per inch):
// about one per device pixel, and never fewer than one.
int StepsPerColumnFor(double dotsPerInch);
