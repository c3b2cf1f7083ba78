#pragma once

#include "graph/graphsettings.h"

#include <QtCore/QString>
#include <cstdint>
#include <string>

class ScriptEvaluator;

// How a computation went: the columns computed, those that got a value, and the evaluator's
// first complaint (English) when some did not.
struct SampleReport {
    int columns = 0;
    int withValue = 0;
    std::string firstError;
};

// Computes a slot's rows from the axis values and units in state: for every column of the
// covered range, the value the expression has there, as a row clamped to ±PlotLimit, or the
// no-value mark where it has none. Columns outside the range keep what they held.
SampleReport SampleFunction(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            GraphState& state, int slot, const QString& expression);

// The number of occurrences of pattern in text, overlapping ones included.
std::int32_t ChrCount(const QString& text, const QString& pattern);

// The bracket check that guards every draw: as many "(" as ")", in whatever order.
bool BracketsMatch(const QString& text);
