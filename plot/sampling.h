#pragma once

#include "graph/graphsettings.h"
#include "script/scriptresult.h"

#include <QtCore/QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Progress;
class ScriptEvaluator;

// How a computation went: the columns of the range, those that got a value, and the
// evaluator's first complaint when some did not. A computation the user cancelled
// says so, and from which column of the sheet on (counted from 0 at the left edge) it left the
// rows without a value. emptyVariables are the names the expression read as 0 because they
// hold no value (never x or pi, which the computation sets); none when no column was computed.
struct SampleReport {
    int columns = 0;
    int withValue = 0;
    ScriptError firstError;
    bool cancelled = false;
    int stoppedAtColumn = -1;
    std::vector<std::string> emptyVariables;
    // The parameters the expression reads (names without a value of their own, which took the
    // values the user gave them), when the computation was given parameters.
    std::vector<std::string> parameters;
    // The expression computed, which the texts about the computation quote.
    QString expression;
};

// The columns a sampling computes: c = start, start + 1, ... while c <= end, counted in single
// precision (a one-sided range with a fractional origin has fractional columns), each stored at
// its nearest whole column. Empty (start > end) when nothing is computed.
struct SampleColumns {
    float start = 0.0f;
    float end = -1.0f;
};
SampleColumns SampledColumns(const GraphSettings& settings, const GraphState& state);

// The columns a curve is drawn over: a piece from each c to c + 1, for c = start, start + 1, ...
// while c <= end - 1, the pieces' ends read from the sampled columns they round to. The same
// side of the origin and the same skip of columns left of the sheet as SampledColumns, up to the
// sheet's last column rather than one further. Empty (start > end) when nothing is drawn.
SampleColumns DrawnColumns(const GraphSettings& settings, const GraphState& state);

// The column a sampling computed for a whole pixel column of the table (the last one, where two
// land on it), so that a value read at the mouse is the one the curve was drawn from; nothing
// when the sampling leaves that pixel out.
std::optional<float> SampledColumnAt(const GraphSettings& settings, const GraphState& state,
                                     int pixel);

// Computes a slot's rows from the axis values and units in state: for every column of the
// covered range, the value the expression has there, as a row clamped to ±PlotLimit, or the
// no-value mark where it has none. Columns outside the range keep what they held. After each
// column it tells progress (when given) how far it got; when progress asks to stop, the
// columns not yet computed get the no-value mark.
SampleReport SampleFunction(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            GraphState& state, int slot, const QString& expression,
                            Progress* progress = nullptr);

// The same walk with the expression's slope at every column instead of its value (a derivative
// curve): SlopeAt with SlopeStep, no value where the slope has a problem. The report counts the
// columns with a slope; it names no error.
SampleReport SampleDerivative(ScriptEvaluator& evaluator, const GraphSettings& settings,
                              GraphState& state, int slot, const QString& expression,
                              Progress* progress = nullptr);

// The first step of a slope on a sheet: the x of two of its columns, as the expression sees x.
double SlopeStep(const GraphSettings& settings, const GraphState& state);

// The number of occurrences of pattern in text, overlapping ones included.
std::int32_t ChrCount(const QString& text, const QString& pattern);

// The bracket check that guards every draw: as many "(" as ")", in whatever order.
bool BracketsMatch(const QString& text);
